#include "toolkit/core/error_meanings.h"

#include <algorithm>

namespace tracemill {
namespace {

// Where one number has two uses, the text names both.
constexpr ErrorMeaning kMeanings[] = {
    {-1, "the toolkit cannot be initialised (its display buffers cannot be allocated)"},
    {1, "there is no memory for the output of a save (or a new drawing record is still being set up)"},
    {2, "a plot style is not found, or a plot style table cannot be inflated"},
    {3, "the file cannot be opened or created"},
    {4, "the file cannot be recognised as a drawing, or a plot style table file gives a size of 0"},
    {5, "the file is neither a DWG drawing nor a DXF file (no \"SECTION\" in its first 2,000 bytes and no "
        "leading 999 comment)"},
    {8, "the DWG file is of a version this program does not read (it reads \"AC1002\" to \"AC1015\")"},
    {9, "the first 32,768-byte work buffer cannot be allocated"},
    {10, "the second 32,768-byte work buffer cannot be allocated"},
    {11, "a 131,072-byte work buffer or the 2,000-byte head of the file cannot be allocated"},
    {12, "the second 131,072-byte work buffer (or a save's scratch buffer) cannot be allocated, or not enlarged "
         "for a large classes section"},
    {14, "the DXF file cannot be read (it ends inside a group, or a group cannot be read)"},
    {20, "a drawing that an external reference names cannot be found or opened"},
    {22, "the header of the drawing cannot be read"},
    {27, "the output file cannot be written"},
    {28, "there is no memory for the work arrays of a leader (its vertices and fit points)"},
    {29, "there is no memory for the working arrays of a spline"},
    {30, "the DXF file has no EOF group at its end, or a plot style table file is shorter than its packed size"},
    {31, "the DXF HEADER section cannot be read"},
    {32, "the DXF ENTITIES section cannot be read"},
    {33, "the DXF TABLES section cannot be read"},
    {34, "the DXF BLOCKS section cannot be read"},
    {35, "the DXF OBJECTS section cannot be read"},
    {45, "the linetypes cannot be read"},
    {46, "the layers cannot be read"},
    {47, "the classes cannot be read"},
    {48, "the viewport table cannot be read"},
    {49, "the UCS table cannot be read"},
    {50, "the application table cannot be read"},
    {51, "the views cannot be read"},
    {52, "the text styles cannot be read"},
    {53, "the dimension styles cannot be read"},
    {54, "the block records cannot be read"},
    {55, "the entities of model and paper space cannot be read"},
    {56, "the objects cannot be read"},
    {57, "there is no memory for the work buffers of a save"},
    {58, "the header of the DWG file (its header block or header variables section) cannot be written"},
    {59, "the header's current layer names no layer of the drawing"},
    {60, "the header's current linetype names no linetype of the drawing"},
    {61, "the header's current dimension style names no dimension style of the drawing"},
    {62, "the header's current UCS names no UCS of the drawing"},
    {63, "the header's current paper-space UCS names no UCS of the drawing"},
    {64, "the header's current text style names no text style of the drawing"},
    {66, "an entity or record names a layer the drawing does not have"},
    {67, "an entity or layer names a linetype the drawing does not have"},
    {68, "an entity or record names a text style the drawing does not have"},
    {69, "an entity or record names a dimension style the drawing does not have"},
    {70, "the viewports cannot be set up"},
    {71, "extended data names an application the drawing does not register"},
    {73, "no block record has the block handle looked for"},
    {74, "a block record has no entity list"},
    {75, "an entity names a block the drawing does not have"},
    {76, "the linetype table is empty"},
    {77, "no linetype has the handle looked for"},
    {92, "the block table is empty"},
    {93, "no block has the handle looked for"},
    {128, "the header names a UCS the drawing does not have"},
    {130, "the entities of the blocks cannot be read (or a block record cannot be read back)"},
    {131, "the current entries of the header cannot be resolved"},
    {133, "the default dictionaries cannot be made"},
    {136, "there is no memory for a plot style table"},
    {147, "a DWG record of 2^30 bytes or more cannot be written"},
    {151, "an entity list is missing"},
    {152, "no entity of the list has the handle looked for"},
    {153, "two records of the drawing have the same handle"},
    {155, "the DXF HEADER section has no end"},
    {158, "a dictionary cannot be written"},
    {162, "a read from a stream that does not exist"},
    {163, "a write to a stream that does not exist"},
    {165, "a group code without a stored form, or a value its stored form cannot hold"},
    {168, "no object has the handle looked for"},
    {170, "an object cannot be taken out of the object list"},
    {172, "a record's handle is already in use by another record"},
    {173, "a record's handle cannot be indexed"},
    {181, "there is no memory for the header of a new drawing"},
    {182, "the initialisation data cannot be opened"},
    {183, "the initialisation data is damaged (wrong banner or too short)"},
    {184, "the DWG header block is larger than 2,048 bytes, or too short to hold its checksum"},
    {185, "the DWG header block does not match its checksum"},
    {186, "a section of the DWG file lies beyond its end"},
    {203, "the object map of the DWG file cannot be written"},
    {205, "an object cannot be replaced by an object of another kind"},
    {210, "there is no memory for a stream's page or working copy"},
    {214, "there is no memory for a node of the handle index"},
    {216, "the scratch block cannot be allocated"},
    {218, "there is no memory for the drawing (a record list, the file's bytes or a record's data)"},
    {220, "there is no memory for a linetype record"},
    {221, "there is no memory for a block record"},
    {222, "there is no memory for a record appended to a list"},
    {223, "there is no memory for a record inserted into a list"},
    {226, "no entity has the handle of the entity to replace"},
    {231, "a record's handle is the null handle"},
    {232, "the block an INSERT names does not exist"},
    {233, "there is no memory for the closing copy of the wide first segment of a closed polyline"},
    {234, "there is no memory for the linetype work record of a display pass"},
    {235, "there is no memory for the text-style work record of a display pass"},
    {236, "there is no memory for the viewport matrices of a display pass"},
    {237, "there is no memory for the buffer a POLYLINE outside the space drawn is passed over with"},
    {238, "there is no memory for the matrices of a POINT in its own coordinate system"},
    {239, "there is no memory for the matrices of a SHAPE"},
    {240, "there is no memory for the work record of a polyline being drawn"},
    {241, "there is no memory for the vertices of a polyline being drawn"},
    {242, "there is no memory for the closing segment of a polyline being drawn"},
    {243, "there is no memory for the block reference record of a display pass"},
    {245, "the per-viewport transforms of an extruded entity or an image cannot be made"},
    {246, "the per-viewport transforms of an ellipse cannot be made"},
    {247, "the per-viewport transforms of a multiline's round cap cannot be made"},
    {248, "the per-viewport transforms of the fill of a multiline's round cap cannot be made"},
    {255, "the per-viewport transforms of a circle or arc of proxy graphics cannot be made"},
    {256, "there is no memory for the layer linetype of an MLINE being drawn"},
    {257, "there is no memory for the colours and linetypes of a multiline's elements"},
    {258, "the per-viewport transforms of a text cannot be made"},
    {260, "the per-viewport transforms of an MTEXT cannot be made"},
    {261, "there is no memory for the closing copy of a polyline's zero-width first segment"},
    {262, "there is no memory for a ring slot of a wide polyline"},
    {263, "there is no memory for the work vertex of a polyline's bulge arc"},
    {264, "there is no memory for the vertices or rows of a polygon mesh"},
    {266, "there is no memory for the copy of the first row of a mesh closed in M"},
    {267, "there is no memory for the index of a shape font or unifont"},
    {268, "there is no memory for the index pairs of a shape font file"},
    {270, "there is no memory for the index of a big font"},
    {274, "there is no memory for the fit-point interpolation of a spline"},
    {275, "there is no memory for the display context of a drawing"},
    {277, "a display pass was asked for a drawing without a display context"},
    {282, "a DWG entity record runs past its section or the file"},
    {283, "a DWG jump leads outside the entity sections, or entity records run in a loop"},
    {284, "the system context cannot be allocated"},
    {286, "the file is of version \"AC1013\", which is not enabled"},
    {288, "an entity's extended data cannot be copied"},
    {289, "an entity cannot be added to its list (its handle is the null handle or already in use, or there is "
          "no memory)"},
    {292, "a handle is indexed twice"},
    {293, "there is no memory for the built-in shape fonts"},
    {294, "the built-in shape fonts cannot be created"},
    {296, "the font of a text cannot be found"},
    {297, "the big font of a text cannot be found"},
    {298, "a DXF line is longer than the limit"},
    {299, "a DXF group code line holds a letter"},
    {300, "the DWG file lacks a table control, the named object dictionary, a layout block or a standard "
          "linetype"},
    {302, "an R12 viewport's entity is not in paper space"},
    {303, "no record has the handle looked for"},
    {304, "the record of the handle looked for belongs to another table"},
    {305, "a table record cannot be read"},
    {306, "the drawing was made for an older version and cannot be saved as \"AC1015\""},
    {310, "the DWG file check: the entity section starts beyond the end of the file"},
    {311, "the DWG file check: the entity section ends beyond the end of the file"},
    {312, "the DWG file check: the block section starts beyond the end of the file"},
    {313, "the DWG file check: the block section ends beyond the end of the file"},
    {314, "the DWG file check: the extra entity section ends beyond the end of the file"},
    {320, "the DWG file check: the head of the BLOCK table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {321, "the DWG file check: the head of the LAYER table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {322, "the DWG file check: the head of the STYLE table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {323, "the DWG file check: the head of the LTYPE table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {324, "the DWG file check: the head of the VIEW table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {325, "the DWG file check: the head of the UCS table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {326, "the DWG file check: the head of the VPORT table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {327, "the DWG file check: the head of the APPID table is damaged (a negative record size or count, or its "
          "records beyond the end of the file)"},
    {328, "the DWG file check: the head of the DIMSTYLE table is damaged (a negative record size or count, or "
          "its records beyond the end of the file)"},
    {329, "the DWG file check: the head of the viewport entity header table is damaged (a negative record size "
          "or count, or its records beyond the end of the file)"},
    {397, "a value of the drawing does not fit its field in a DWG file before R13 (a count, position, size, "
          "offset or text beyond what the field holds)"},
    {398, "a field the writer needs is missing from its field table"},
};

constexpr bool risingAndUnique() {
    for (size_t i = 1; i < std::size(kMeanings); ++i) {
        if (kMeanings[i - 1].number >= kMeanings[i].number) return false;
    }
    return true;
}
static_assert(risingAndUnique(), "the meanings are listed once each, in rising order of their numbers");

} // namespace

const char* dbErrorMeaning(int number) {
    const auto found = std::lower_bound(std::begin(kMeanings), std::end(kMeanings), number,
                                        [](const ErrorMeaning& m, int n) { return m.number < n; });
    return found != std::end(kMeanings) && found->number == number ? found->text : kUnknownErrorMeaning;
}

std::span<const ErrorMeaning> dbErrorMeanings() { return kMeanings; }

} // namespace tracemill
