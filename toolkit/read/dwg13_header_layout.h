// The header variables section of R13 to 2000 DWG files: the variables in file order, one
// layout for "AC1012" and "AC1014" and the 2000 form, shared by the reader and the writer
// (dwg13_field_io.h).
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/core/handle.h"
#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg13_common_layout.h"
#include "toolkit/read/dwg13_field_io.h"

namespace tracemill {

// The table-control objects in the order the header section lists them.
enum Dwg13ControlIndex : size_t {
    kDwgControlBlock,
    kDwgControlLayer,
    kDwgControlStyle,
    kDwgControlLinetype,
    kDwgControlView,
    kDwgControlUcs,
    kDwgControlVport,
    kDwgControlAppId,
    kDwgControlDimStyle,
    kDwgControlViewportEntityHeader,
    kDwgControlCount,
};

// The handles the header section carries besides the header's own current entries.
struct Dwg13HeaderHandles {
    Handle viewportEntityHeader; // the current viewport entity header
    std::array<Handle, kDwgControlCount> controls{};
    Handle groupDictionary;
    Handle mlineStyleDictionary;
    Handle namedObjectDictionary;
    Handle layoutDictionary;       // 2000
    Handle plotSettingsDictionary; // 2000
    Handle plotStyleDictionary;    // 2000
    Handle paperSpaceBlock;
    Handle modelSpaceBlock;
    Handle byLayerLinetype;
    Handle byBlockLinetype;
    Handle continuousLinetype;
    // 2000: the UCS references of paper and model space.
    Handle pucsOrthoRef;
    Handle pucsBase;
    Handle ucsOrthoRef;
    Handle ucsBase;
    Handle currentPlotStyle; // 2000, when CEPSNTYPE is 3
};

// The unit code of R13 and R14 files (DIMUNIT) and the DIMLUNIT / DIMFRAC pair it stands for:
// 6 and 7 are the fractional forms of 4 and 5 (DIMFRAC 2), 8 is 6.
inline void dwg13SplitDimUnit(int16_t unit, int16_t& lunit, int16_t& frac) {
    switch (unit) {
    case 4:
    case 5:
        lunit = unit;
        frac = 0;
        break;
    case 6:
    case 7:
        lunit = int16_t(unit - 2);
        frac = 2;
        break;
    case 8:
        lunit = 6;
        frac = 0;
        break;
    default:
        lunit = unit;
        break;
    }
}
inline int16_t dwg13JoinDimUnit(int16_t lunit, int16_t frac) {
    if ((lunit == 4 || lunit == 5) && frac == 2) return int16_t(lunit + 2);
    if (lunit == 6) return 8;
    return lunit;
}

namespace dwg13 {

// The paper-space or model-space block of variables: base point, extents, limits, elevation and
// the UCS; 2000 adds the orthographic references and origins. `paper` selects the P... set.
template <class Io, class H, class X> void headerSpaceVariables(Io& io, H& h, X& x, bool paper) {
    io.bd3(paper ? h.pinsbase : h.insbase);
    io.bd3(paper ? h.pextmin : h.extmin);
    io.bd3(paper ? h.pextmax : h.extmax);
    io.rd2(paper ? h.plimmin : h.limmin);
    io.rd2(paper ? h.plimmax : h.limmax);
    io.bd(paper ? h.pelevation : h.elevation);
    io.bd3(paper ? h.pucsorg : h.ucsorg);
    io.bd3(paper ? h.pucsxdir : h.ucsxdir);
    io.bd3(paper ? h.pucsydir : h.ucsydir);
    io.h(paper ? h.current.pucsname : h.current.ucsname, kHardPointer);
    if (!io.isR2000()) return;
    io.h(paper ? x.pucsOrthoRef : x.ucsOrthoRef, kHardPointer);
    io.bs(paper ? h.pucsorthoview : h.ucsorthoview);
    io.h(paper ? x.pucsBase : x.ucsBase, kHardPointer);
    io.bd3(paper ? h.pucsorgtop : h.ucsorgtop);
    io.bd3(paper ? h.pucsorgbottom : h.ucsorgbottom);
    io.bd3(paper ? h.pucsorgleft : h.ucsorgleft);
    io.bd3(paper ? h.pucsorgright : h.ucsorgright);
    io.bd3(paper ? h.pucsorgfront : h.ucsorgfront);
    io.bd3(paper ? h.pucsorgback : h.ucsorgback);
}

// The dimension variables of R13 and R14 files as the header section orders them; also the
// body of an R13/R14 DIMSTYLE record, which leaves out the text style handle (`withTextStyle`)
// and stores DIMUNIT in `unit`.
template <class Io, class D>
void dimensionVariablesR13(Io& io, D& d, int16_t& unit, Handle* textStyle, std::string& blk, std::string& blk1,
                           std::string& blk2) {
    io.b(d.dimtol);
    io.b(d.dimlim);
    io.b(d.dimtih);
    io.b(d.dimtoh);
    io.b(d.dimse1);
    io.b(d.dimse2);
    io.b(d.dimalt);
    io.b(d.dimtofl);
    io.b(d.dimsah);
    io.b(d.dimtix);
    io.b(d.dimsoxd);
    io.rc(d.dimaltd);
    io.rc(d.dimzin);
    io.b(d.dimsd1);
    io.b(d.dimsd2);
    io.rc(d.dimtolj);
    io.rc(d.dimjust);
    io.rc(d.dimatfit);
    io.b(d.dimupt);
    io.rc(d.dimtzin);
    io.rc(d.dimaltz);
    io.rc(d.dimalttz);
    io.rc(d.dimtad);
    io.bs(unit);
    io.bs(d.dimaunit);
    io.bs(d.dimdec);
    io.bs(d.dimtdec);
    io.bs(d.dimaltu);
    io.bs(d.dimalttd);
    if (textStyle) io.h(*textStyle, kHardPointer);
    io.bd(d.dimscale);
    io.bd(d.dimasz);
    io.bd(d.dimexo);
    io.bd(d.dimdli);
    io.bd(d.dimexe);
    io.bd(d.dimrnd);
    io.bd(d.dimdle);
    io.bd(d.dimtp);
    io.bd(d.dimtm);
    io.bd(d.dimtxt);
    io.bd(d.dimcen);
    io.bd(d.dimtsz);
    io.bd(d.dimaltf);
    io.bd(d.dimlfac);
    io.bd(d.dimtvp);
    io.bd(d.dimtfac);
    io.bd(d.dimgap);
    io.t(d.dimpost, kDwgNameLimit);
    io.t(d.dimapost, kDwgNameLimit);
    io.t(blk, kDwgNameLimit);
    io.t(blk1, kDwgNameLimit);
    io.t(blk2, kDwgNameLimit);
    io.bs(d.dimclrd);
    io.bs(d.dimclre);
    io.bs(d.dimclrt);
}

// The dimension variables of 2000 files from DIMPOST to DIMATFIT: the header section's order and
// the body of a 2000 DIMSTYLE record.
template <class Io, class D> void dimensionVariables2000(Io& io, D& d) {
    io.t(d.dimpost, kDwgNameLimit);
    io.t(d.dimapost, kDwgNameLimit);
    io.bd(d.dimscale);
    io.bd(d.dimasz);
    io.bd(d.dimexo);
    io.bd(d.dimdli);
    io.bd(d.dimexe);
    io.bd(d.dimrnd);
    io.bd(d.dimdle);
    io.bd(d.dimtp);
    io.bd(d.dimtm);
    io.b(d.dimtol);
    io.b(d.dimlim);
    io.b(d.dimtih);
    io.b(d.dimtoh);
    io.b(d.dimse1);
    io.b(d.dimse2);
    io.bs(d.dimtad);
    io.bs(d.dimzin);
    io.bs(d.dimazin);
    io.bd(d.dimtxt);
    io.bd(d.dimcen);
    io.bd(d.dimtsz);
    io.bd(d.dimaltf);
    io.bd(d.dimlfac);
    io.bd(d.dimtvp);
    io.bd(d.dimtfac);
    io.bd(d.dimgap);
    io.bd(d.dimaltrnd);
    io.b(d.dimalt);
    io.bs(d.dimaltd);
    io.b(d.dimtofl);
    io.b(d.dimsah);
    io.b(d.dimtix);
    io.b(d.dimsoxd);
    io.bs(d.dimclrd);
    io.bs(d.dimclre);
    io.bs(d.dimclrt);
    io.bs(d.dimadec);
    io.bs(d.dimdec);
    io.bs(d.dimtdec);
    io.bs(d.dimaltu);
    io.bs(d.dimalttd);
    io.bs(d.dimaunit);
    io.bs(d.dimfrac);
    io.bs(d.dimlunit);
    io.bs(d.dimdsep);
    io.bs(d.dimtmove);
    io.bs(d.dimjust);
    io.b(d.dimsd1);
    io.b(d.dimsd2);
    io.bs(d.dimtolj);
    io.bs(d.dimtzin);
    io.bs(d.dimaltz);
    io.bs(d.dimalttz);
    io.b(d.dimupt);
    io.bs(d.dimatfit);
}

} // namespace dwg13

// The header variables in file order. `lineweightFlags` is the 2000 flag word, which the caller
// splits into CELWEIGHT, ENDCAPS, JOINSTYLE, LWDISPLAY, XEDIT, EXTNAMES, PSTYLEMODE and the OLE
// start-up flag (and builds before writing); `dimUnit` is the R13/R14 DIMUNIT.
template <class Io>
void dwg13HeaderVariables(Io& io, HeaderBlock& h, Dwg13HeaderHandles& x, uint32_t& lineweightFlags, int16_t& dimUnit) {
    using namespace dwg13;
    const bool r2000 = io.isR2000();
    io.bd(h.dwgLeadingDouble);
    for (double& unit : h.dwgLeadingUnits)
        io.bd(unit);
    for (std::string& text : h.dwgLeadingTexts)
        io.t(text, kDwgNameLimit);
    io.bl(h.dwgLeadingLong);
    io.bl(h.dwgLeadingLong2);
    if (!r2000) io.bs(h.dwgLeadingShort);
    io.h(x.viewportEntityHeader, kHardPointer);

    uint8_t unkept = 0;
    io.b(h.dimaso);
    io.b(h.dimsho);
    if (!r2000) io.b(unkept);
    io.b(h.plinegen);
    io.b(h.orthomode);
    io.b(h.regenmode);
    io.b(h.fillmode);
    io.b(h.qtextmode);
    io.b(h.psltscale);
    io.b(h.limcheck);
    if (!r2000) io.b(h.blipmode);
    io.b(h.usrtimer);
    io.b(h.skpoly);
    io.b(h.angdir);
    io.b(h.splframe);
    if (!r2000) {
        io.b(h.attreq);
        io.b(h.attdia);
    }
    io.b(h.mirrtext);
    io.b(h.worldview);
    if (!r2000) io.b(unkept);
    io.b(h.tilemode);
    io.b(h.plimcheck);
    io.b(h.visretain);
    if (!r2000) io.b(h.delobj);
    io.b(h.dispsilh);
    io.b(h.dwgPolygonEllipse);

    io.bs(h.proxygraphics);
    if (!r2000) io.bs(h.dragmode);
    io.bs(h.treedepth);
    io.bs(h.lunits);
    io.bs(h.luprec);
    io.bs(h.aunits);
    io.bs(h.auprec);
    if (!r2000) io.bs(h.osmode);
    io.bs(h.attmode);
    if (!r2000) io.bs(h.coords);
    io.bs(h.pdmode);
    if (!r2000) io.bs(h.pickstyle);
    for (int16_t& value : h.useri)
        io.bs(value);
    io.bs(h.splinesegs);
    io.bs(h.surfu);
    io.bs(h.surfv);
    io.bs(h.surftype);
    io.bs(h.surftab1);
    io.bs(h.surftab2);
    io.bs(h.splinetype);
    io.bs(h.shadedge);
    io.bs(h.shadedif);
    io.bs(h.unitmode);
    io.bs(h.maxactvp);
    io.bs(h.dwgIsolines);
    io.bs(h.cmljust);
    io.bs(h.dwgTextQuality);

    io.bd(h.ltscale);
    io.bd(h.textsize);
    io.bd(h.tracewid);
    io.bd(h.sketchinc);
    io.bd(h.filletrad);
    io.bd(h.thickness);
    io.bd(h.angbase);
    io.bd(h.pdsize);
    io.bd(h.plinewid);
    for (double& value : h.userr)
        io.bd(value);
    io.bd(h.chamfera);
    io.bd(h.chamferb);
    io.bd(h.chamferc);
    io.bd(h.chamferd);
    io.bd(h.dwgFacetResolution);
    io.bd(h.cmlscale);
    io.bd(h.celtscale);
    io.t(h.menu, kDwgNameLimit);
    for (HeaderDate* date : {&h.tdcreate, &h.tdupdate, &h.tdindwg, &h.tdusrtimer}) {
        io.bl(date->day);
        io.bl(date->milliseconds);
    }
    io.bs(h.cecolor);
    io.h(h.handseed, 0);
    io.h(h.current.clayer, kHardPointer);
    io.h(h.current.textstyle, kHardPointer);
    io.h(h.current.celtype, kHardPointer);
    io.h(h.current.dimstyle, kHardPointer);
    io.h(h.current.cmlstyle, kHardPointer);
    if (r2000) io.bd(h.psvpscale);
    headerSpaceVariables(io, h, x, true);
    headerSpaceVariables(io, h, x, false);

    if (r2000) {
        dimensionVariables2000(io, h);
        io.h(h.current.dimtxsty, kHardPointer);
        io.h(h.arrowBlocks.dimldrblk, kHardPointer);
        io.h(h.arrowBlocks.dimblk, kHardPointer);
        io.h(h.arrowBlocks.dimblk1, kHardPointer);
        io.h(h.arrowBlocks.dimblk2, kHardPointer);
        io.bs(h.dimlwd);
        io.bs(h.dimlwe);
    } else {
        dimensionVariablesR13(io, h, dimUnit, &h.current.dimtxsty, h.dimblk, h.dimblk1, h.dimblk2);
    }

    for (Handle& control : x.controls)
        io.h(control, kHardOwner);
    io.h(x.groupDictionary, kHardPointer);
    io.h(x.mlineStyleDictionary, kHardPointer);
    io.h(x.namedObjectDictionary, kHardOwner);
    if (r2000) {
        io.bs(h.dwgStackedTextAlign);
        io.bs(h.dwgStackedTextSize);
        io.t(h.hyperlinkbase, kDwgNameLimit);
        io.t(h.stylesheet, kDwgNameLimit);
        io.h(x.layoutDictionary, kHardPointer);
        io.h(x.plotSettingsDictionary, kHardPointer);
        io.h(x.plotStyleDictionary, kHardPointer);
        io.bl(lineweightFlags);
        io.bs(h.insunits);
        io.bs(h.cepsntype);
        if (h.cepsntype == 3) io.h(x.currentPlotStyle, kHardPointer);
        io.t(h.fingerprintguid, kDwgNameLimit);
        io.t(h.versionguid, kDwgNameLimit);
    }
    io.h(x.paperSpaceBlock, kHardPointer);
    io.h(x.modelSpaceBlock, kHardPointer);
    io.h(x.byLayerLinetype, kHardPointer);
    io.h(x.byBlockLinetype, kHardPointer);
    io.h(x.continuousLinetype, kHardPointer);
    if (r2000)
        for (int16_t& value : h.dwgTrailingShorts)
            io.bs(value);
}

} // namespace tracemill
