#include "error_meaning.h"

namespace tracemill::tmdump {

namespace {

struct Meaning {
    int number;
    const char* text;
};

constexpr Meaning kMeanings[] = {
    {-1, "the toolkit's global state cannot be allocated"},
    {1, "no memory for the output of the save"},
    {3, "the file cannot be opened or created"},
    {4, "the file is not a drawing of a known version"},
    {5, "the file is not a DXF file this reader accepts"},
    {8, "the DWG file is of a version this program does not read (it reads \"AC1002\" to \"AC1015\")"},
    {9, "the first 32,768-byte work buffer cannot be allocated"},
    {10, "the second 32,768-byte work buffer cannot be allocated"},
    {11, "the first 131,072-byte work buffer cannot be allocated"},
    {12, "the second 131,072-byte work buffer cannot be allocated"},
    {14, "the DXF file cannot be read"},
    {22, "the header cannot be read"},
    {27, "the output file cannot be written"},
    {30, "the DXF file has no EOF"},
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
    {57, "no memory for the work buffers of the save"},
    {58, "the header block of the DWG file cannot be written"},
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
    {71, "extended data names an application the drawing does not register"},
    {74, "a block record has no entity list"},
    {75, "an entity names a block the drawing does not have"},
    {70, "the viewports cannot be set up"},
    {130, "the entities of the blocks cannot be read"},
    {131, "the current entries of the header cannot be resolved"},
    {133, "the default dictionaries cannot be made"},
    {128, "the header names a UCS the drawing does not have"},
    {155, "the DXF HEADER section has no end"},
    {158, "a dictionary cannot be written"},
    {182, "the initialisation data cannot be opened"},
    {183, "the initialisation data is damaged (wrong banner or too short)"},
    {184, "the DWG header block is too large for its check"},
    {185, "the DWG header checksum does not match"},
    {186, "a section of the DWG file lies beyond its end"},
    {216, "the scratch block cannot be allocated"},
    {282, "a DWG entity record runs past its section or the file"},
    {283, "a DWG jump leads outside the entity sections, or entity records run in a loop"},
    {284, "the system context cannot be allocated"},
    {286, "the file is of version \"AC1013\", which is not enabled"},
    {293, "no memory for the built-in shape fonts"},
    {294, "the built-in shape fonts cannot be created"},
    {298, "a DXF line is longer than the limit"},
    {300, "the DWG file lacks a table control, the named object dictionary, a layout block or a standard linetype"},
    {299, "a DXF group code line holds a letter"},
    {302, "an R12 viewport's entity is not in paper space"},
    {306, "the drawing was made for an older version and cannot be saved as \"AC1015\""},
    {397, "a value of the drawing does not fit its field in a DWG file before R13 (a count, position, size, "
          "offset or text beyond what the field holds)"},
    {398, "a field the writer needs is missing from its field table"},
    {399, "there is no writer for DWG files of this version yet (save as AC1002 to AC1009, dxf or dxfb)"},
};

} // namespace

const char* errorMeaning(int number) {
    for (const Meaning& m : kMeanings) {
        if (m.number == number) return m.text;
    }
    return "unknown error";
}

} // namespace tracemill::tmdump
