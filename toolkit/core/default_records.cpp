#include "toolkit/core/default_records.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/plot_style_names.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

// The view of the header template: VIEWCTR (6.59129, 4.57918) is the middle of a view from
// the origin whose height is VIEWSIZE 9.15837, so its width is twice the centre's x.
constexpr double kTemplateViewHeight = 9.15837;
constexpr double kTemplateViewWidth = 2 * 6.59129;
constexpr Point2 kTemplateViewCentre{6.59129, 4.57918};
constexpr double kTemplateLensLength = 50.0;

template <class Record>
int addAt(Drawing& drawing, RecordList<StoredRecord<Record>>& list, Record&& record, uint16_t position) {
    const Handle handle = record.handle;
    return dbAddTableRecord(handle, drawing.handleIndex, StoredRecord<Record>(std::move(record)), &list, position,
                            nullptr) != nullptr;
}

} // namespace

void dbInitLinetypeRecord(LinetypeRecord& record) {
    record = LinetypeRecord{};
    record.alignment = 'A';
    record.flags = 64;
    for (LinetypeDash& dash : record.dashes) {
        dash = LinetypeDash{};
        dash.scale = 1.0;
    }
}

void dbInitStyleRecord(StyleRecord& record) {
    record = StyleRecord{};
    record.widthFactor = 1.0;
    record.flags = 0xFF; // not read yet; a reader or the default style sets the real flags
}

void dbInitVportRecord(VportRecord& record) {
    record = VportRecord{};
    record.lowerLeft = {0.0, 0.0};
    record.upperRight = {1.0, 1.0};
    record.snapBase = {0.0, 0.0};       // SNAPBASE
    record.snapSpacing = {1.0, 1.0};    // SNAPUNIT
    record.gridSpacing = {0.0, 0.0};    // GRIDUNIT
    record.centre = kTemplateViewCentre; // VIEWCTR
    record.direction = {0.0, 0.0, 1.0}; // VIEWDIR
    record.target = {0.0, 0.0, 0.0};
    record.snapAngle = 0.0;             // SNAPANG
    record.height = kTemplateViewHeight; // VIEWSIZE
    record.viewMode = 0;
    record.circleZoom = 100;
    record.fastZoom = 1;                // FASTZOOM
    record.ucsIcon = 3;
    record.aspect = kTemplateViewWidth / kTemplateViewHeight;
    record.snapStyle = 0;               // SNAPSTYLE
    record.lensLength = kTemplateLensLength;
    record.snapIsoPair = 0;             // SNAPISOPAIR
    record.snapOn = 0;                  // SNAPMODE
    record.twist = 0.0;                 // VIEWTWIST
    record.gridOn = 0;                  // GRIDMODE
    record.ucsPerViewport = 1;
    record.ucs.xAxis = {1.0, 0.0, 0.0};  // UCSXDIR
    record.ucs.yAxis = {0.0, 1.0, 0.0};  // UCSYDIR
}

void dbInitViewRecord(ViewRecord& record) {
    record = ViewRecord{};
    record.centre = kTemplateViewCentre;
    record.height = kTemplateViewHeight;
    record.width = kTemplateViewWidth;
    record.direction = {0.0, 0.0, 1.0};
    record.lensLength = kTemplateLensLength;
    record.ucs.xAxis = {1.0, 0.0, 0.0};
    record.ucs.yAxis = {0.0, 1.0, 0.0};
}

void dbInitUcsRecord(UcsRecord& record) {
    record = UcsRecord{};
    record.xAxis = {1.0, 0.0, 0.0};
    record.yAxis = {0.0, 1.0, 0.0};
}

void dbInitAppIdRecord(AppIdRecord& record) { record = AppIdRecord{}; }

void dbInitBlockRecord(BlockRecord& record) {
    record = BlockRecord{};
    record.flags = 0xFF; // not read yet; a reader or the space blocks set the real flags
}

void dbInitLayerRecord(Drawing& drawing, LayerRecord& record) {
    record = LayerRecord{};
    record.colour = 7;
    record.linetype = dbFirstRecordHandle(drawing.linetypes);
    record.plotStyle = dbDefaultLayerPlotStyle(&drawing);
    record.drawing = &drawing;
}

void dbInitDimStyleRecord(Drawing& drawing, DimStyleRecord& record) {
    record = DimStyleRecord{};
    dbDimStyleFromHeader(HeaderBlock{}, record);
    record.dimtxsty = dbFirstRecordHandle(drawing.styles);
}

void dbDimStyleFromHeader(const HeaderBlock& header, DimStyleRecord& record) {
    record.dimpost = header.dimpost;
    record.dimapost = header.dimapost;
    record.dimscale = header.dimscale;
    record.dimasz = header.dimasz;
    record.dimexo = header.dimexo;
    record.dimdli = header.dimdli;
    record.dimexe = header.dimexe;
    record.dimrnd = header.dimrnd;
    record.dimdle = header.dimdle;
    record.dimtp = header.dimtp;
    record.dimtm = header.dimtm;
    record.dimtol = header.dimtol;
    record.dimlim = header.dimlim;
    record.dimtih = header.dimtih;
    record.dimtoh = header.dimtoh;
    record.dimse1 = header.dimse1;
    record.dimse2 = header.dimse2;
    record.dimtad = header.dimtad;
    record.dimzin = header.dimzin;
    record.dimazin = header.dimazin;
    record.dimtxt = header.dimtxt;
    record.dimcen = header.dimcen;
    record.dimtsz = header.dimtsz;
    record.dimaltf = header.dimaltf;
    record.dimlfac = header.dimlfac;
    record.dimtvp = header.dimtvp;
    record.dimtfac = header.dimtfac;
    record.dimgap = header.dimgap;
    record.dimaltrnd = header.dimaltrnd;
    record.dimalt = header.dimalt;
    record.dimaltd = header.dimaltd;
    record.dimtofl = header.dimtofl;
    record.dimsah = header.dimsah;
    record.dimtix = header.dimtix;
    record.dimsoxd = header.dimsoxd;
    record.dimclrd = header.dimclrd;
    record.dimclre = header.dimclre;
    record.dimclrt = header.dimclrt;
    record.dimadec = header.dimadec;
    record.dimlunit = header.dimlunit;
    record.dimdec = header.dimdec;
    record.dimtdec = header.dimtdec;
    record.dimaltu = header.dimaltu;
    record.dimalttd = header.dimalttd;
    record.dimaunit = header.dimaunit;
    record.dimfrac = header.dimfrac;
    record.dimdsep = header.dimdsep;
    record.dimtmove = header.dimtmove;
    record.dimjust = header.dimjust;
    record.dimsd1 = header.dimsd1;
    record.dimsd2 = header.dimsd2;
    record.dimtolj = header.dimtolj;
    record.dimtzin = header.dimtzin;
    record.dimaltz = header.dimaltz;
    record.dimalttz = header.dimalttz;
    record.dimatfit = header.dimatfit;
    record.dimupt = header.dimupt;
    record.dimlwd = header.dimlwd;
    record.dimlwe = header.dimlwe;
}

} // namespace tracemill

namespace tracemill {

int dbAddNamedLinetype(Drawing& drawing, const char* name, Handle handle) {
    LinetypeRecord record;
    dbInitLinetypeRecord(record);
    record.name = name;
    record.handle = handle;
    if (record.handle.isNull() && !dbNewHandle(&drawing, record.handle)) return 0;
    record.owner = drawing.handles.linetypeControl;
    record.drawing = &drawing;
    return dbLtypeAdd(&drawing, record);
}

int dbAddByBlockByLayerLinetypes(Drawing& drawing, const HandleSet* handles) {
    const Handle byBlock = dbHandleFromSet(drawing, handles, kHandleSetByBlockLinetype);
    if (!dbAddNamedLinetype(drawing, "ByBlock", byBlock)) return 0;
    drawing.handles.byBlockLinetype = byBlock;
    const Handle byLayer = dbHandleFromSet(drawing, handles, kHandleSetByLayerLinetype);
    if (!dbAddNamedLinetype(drawing, "ByLayer", byLayer)) return 0;
    drawing.handles.byLayerLinetype = byLayer;
    return 1;
}

int dbAddContinuousLinetype(Drawing& drawing, const HandleSet* handles) {
    LinetypeRecord record;
    dbInitLinetypeRecord(record);
    record.name = "Continuous";
    record.description = "Solid line";
    record.handle = dbHandleFromSet(drawing, handles, kHandleSetContinuousLinetype);
    record.owner = drawing.handles.linetypeControl;
    record.drawing = &drawing;
    return addAt(drawing, drawing.linetypes, std::move(record), kInsertAtFront);
}

int dbAddLayerZero(Drawing& drawing, const HandleSet* handles) {
    LayerRecord record;
    dbInitLayerRecord(drawing, record);
    record.name = "0";
    record.handle = dbHandleFromSet(drawing, handles, kHandleSetLayerZero);
    record.owner = drawing.handles.layerControl;
    return addAt(drawing, drawing.layers, std::move(record), kInsertAtFront);
}

int dbAddActiveVport(Drawing& drawing, const HandleSet* handles) {
    const HeaderBlock& header = *drawing.header;
    VportRecord record;
    dbInitVportRecord(record);
    record.name = "*ACTIVE";
    record.direction = header.viewdir;
    record.height = header.viewsize;
    record.twist = header.viewtwist;
    record.centre = {header.viewctr.x, header.viewctr.y};
    record.handle = dbHandleFromSet(drawing, handles, kHandleSetActiveVport);
    record.owner = drawing.handles.vportControl;
    return addAt(drawing, drawing.vports, std::move(record), kInsertAtFront);
}

int dbAddAcadAppId(Drawing& drawing, const HandleSet* handles) {
    AppIdRecord record;
    dbInitAppIdRecord(record);
    record.name = "ACAD";
    record.handle = dbHandleFromSet(drawing, handles, kHandleSetAcadAppId);
    record.owner = drawing.handles.appIdControl;
    return addAt(drawing, drawing.appIds, std::move(record), kInsertAtFront);
}

int dbAddStandardStyle(Drawing& drawing, const HandleSet* handles) {
    StyleRecord record;
    dbInitStyleRecord(record);
    record.name = "Standard";
    record.fontFile = "txt";
    record.flags = 0; // a text style: neither a shape file nor vertical
    record.handle = dbHandleFromSet(drawing, handles, kHandleSetStandardStyle);
    record.owner = drawing.handles.styleControl;
    return addAt(drawing, drawing.styles, std::move(record), kInsertAtEnd);
}

int dbAddStandardDimStyle(Drawing& drawing, const HandleSet* handles) {
    DimStyleRecord record;
    dbInitDimStyleRecord(drawing, record);
    record.name = "Standard";
    record.handle = dbHandleFromSet(drawing, handles, kHandleSetStandardDimStyle);
    record.owner = drawing.handles.dimStyleControl;
    return addAt(drawing, drawing.dimStyles, std::move(record), kInsertAtFront);
}

} // namespace tracemill
