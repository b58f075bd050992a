#include "app/shell/command_hints.h"

#include <algorithm>
#include <iterator>

#include "app/services/language_texts.h"

namespace tracemill {

namespace {

struct CommandHint {
    int id;
    const char* key;
    const char* englishDefault;
};

// Sorted by id. The five recent-file commands share a key, and so do the two print commands.
constexpr CommandHint kCommandHints[] = {
    {32783, "MainMenuOpenHint", "Open existing drawing file"},
    {32784, "ChildMenuCloseHint", "Close this window"},
    {32786, "ChildMenuZoomInHint", "Zoom in"},
    {32787, "ChildMenuZoomOutHint", "Zoom out"},
    {32788, "ChildMenuZoomWinHint", "Zoom window"},
    {32789, "ChildMenuPanHint", "Real pan"},
    {32790, "ChildMenuZoomPreHint", "Zoom previous view"},
    {32791, "ChildMenuZoomExtHint", "Zoom extent"},
    {32792, "ChildMenuPrintHint", "Print drawing to ploter, printer, or file"},
    {32794, "ChildMenuTopHint", "Sets the view point top"},
    {32795, "ChildMenuBottomHint", "Sets the view point bottom"},
    {32796, "ChildMenuLeftHint", "Sets the view point left"},
    {32797, "ChildMenuRightHint", "Sets the view point right"},
    {32798, "ChildMenuViewFrontHint", "Sets the view point Front"},
    {32799, "ChildMenuViewBackHint", "Sets the view point back"},
    {32800, "ChildMenuSWIsoHint", "Sets the view point SouthWest isometric"},
    {32801, "ChildMenuSEIsoHint", "Sets the view point SouthEast isometric"},
    {32802, "ChildMenuNEIsoHint", "Sets the view point NorthEast isometric"},
    {32803, "ChildMenuNWIsoHint", "Sets the view point NorthWest isometric"},
    {32804, "ChildMenu3DViewHint", "Defines a parallel projection or perspective view"},
    {32807, "ChildMenuUIORHint", "Keeps the UCS icon near the UCS origin if possible"},
    {32808, "ChildMenuUIOnHint", "Turns on UCS icon"},
    {32809, "ChildMenuRegenHint", "Regen view"},
    {32810, "MainMenuSetBkColorHint", "Set background color"},
    {32813, "ChildMenuPtStyleHint", "Set display size & style of point"},
    {32815, "ChildMenuLayerHint", "Set layer properties"},
    {32819, "ChildMenuLinetypeHint", "Creates, loads and sets linetype"},
    {32820, "ChildMenuViewPointHint", "Sets the three-dimensional viewing direction"},
    {32823, "MainMenuSetShxDirHint", "Set shx &directory"},
    {32824, "ChildMenu256ColorsHint", "Show 256 colors"},
    {32825, "ChildMenuBWColorHint", "Show black/white color"},
    {32826, "ChildMenuGrayColorsHint", "Show gray depth"},
    {32827, "ChildMenuCloseAllHint", "Close all drawing files"},
    {32842, "ChildMenuExportHint", "Export to other vector format file"},
    {32843, "ChildMenuPrintHint", "Print drawing to ploter, printer, or file"},
    {32844, "MainMenuBatchHint", "Batch transform file format"},
    {32845, "ChildMenuSaveHint", "Save file"},
    {32846, "ChildMenuSaveBmpHint", "Save into bitmap file format"},
    {32847, "MainMenuOpenHistory", "Open the file"},
    {32848, "MainMenuOpenHistory", "Open the file"},
    {32849, "MainMenuOpenHistory", "Open the file"},
    {32850, "MainMenuOpenHistory", "Open the file"},
    {32851, "MainMenuOpenHistory", "Open the file"},
    {32858, "MainMenuCreateAssociatedHint", "Create associated with dwg & dxf file"},
    {32859, "MainMenuRestoreAssociatedHint", "Restore associated with dwg & dxf file"},
    {32861, "MainMenuLanguageHint", "Select language"},
    {32863, "MainMenuBrowseProductsHint", "Browse other products of Quillon studio"},
    {32864, "MainMenuHomePageHint", "Browse Quillon studio home page"},
    {32865, "ChildMenuFullScreenHint", "switch full screen mode"},
    {32867, "ChildMenuExit3DViewHint", "Exit 3d dynamic view set"},
    {32872, "ChildMenuRotateViewHint", "Rotate view"},
    {32873, "ChildMenuPDFExportHint", "Convert one or more ACAD files into one PDF files"},
    {32879, "MainMenuPntColorSetsHint", "Set the width and color of print pen"},
    {32882, "MainMenuFileRecover", "Repairs a damaged drawing"},
    {32883, "MainMenuFileeTransmit", "Creates a transmittal set of a drawing and related files"},
    {57649, "MainMenuArrangeIconHint", "Arrange icons at the bottom of the window"},
    {57650, "MainMenuCascadeHint", "Casade the windows"},
    {57651, "MainMenuHorTileHint", "Tile windows horizontal"},
    {57664, "MainMenuAboutHint", "About Tracemill"},
    {57665, "MainMenuExitHint", "Exit Tracemill"},
    {57671, "MainMenuIndexHint", "Show help"},
};

static_assert(std::size(kCommandHints) == 61);

} // namespace

std::string GetCommandHint(int commandId) {
    const auto found = std::lower_bound(std::begin(kCommandHints), std::end(kCommandHints), commandId,
                                        [](const CommandHint& hint, int id) { return hint.id < id; });
    if (found == std::end(kCommandHints) || found->id != commandId) return {};
    return LookupText(found->key, found->englishDefault);
}

} // namespace tracemill
