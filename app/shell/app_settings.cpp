#include "app/shell/app_settings.h"

#include <QLocale>

#include "app/render/screen_colors.h"
#include "app/shell/cad_search_path.h"
#include "app/shell/number_text.h"
#include "app/services/registry_key.h"

namespace tracemill {

namespace {

CAppSettings* liveSettings = nullptr;

} // namespace

char DetectDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point[0].unicode() > 0 && point[0].unicode() < 0x80) return char(point[0].unicode());
    return '.';
}

CAppSettings::CAppSettings() {
    liveSettings = this;
    decimalSeparator_ = DetectDecimalSeparator();
    SetDecimalSeparator(decimalSeparator_);
    SetBackgroundColorIndex(0);

    CRegistryKey key;
    uint32_t background = 0;
    // An index beyond the colour table would address palette entries that do not exist.
    if (key.Open("Option") == kRegSuccess && key.QueryDword(background, "BackgroundColor") == kRegSuccess &&
        background < kColorIndexCount)
        SetBackgroundColor(uint16_t(background));

    FindCadSearchPath();

    // The current set, when its name is stored and the set itself is there.
    std::string name;
    CRegistryKey penSets;
    PenSetEntries entries = DefaultPenSetEntries();
    currentPenSet_ = "Default";
    if (penSets.Open("PenWidths") == kRegSuccess && penSets.QueryString(name, "CurPenWidthColorSets") == kRegSuccess &&
        !name.empty() && LoadStoredPenSet(entries, name))
        currentPenSet_ = name;
    SetPenTableFromPenSet(entries);
}

CAppSettings::~CAppSettings() {
    Save();
    if (liveSettings == this) liveSettings = nullptr;
}

CAppSettings* CAppSettings::Get() { return liveSettings; }

void CAppSettings::SetBackgroundColor(uint16_t colorIndex) {
    SetBackgroundColorIndex(colorIndex);
    SetApplicationBackgroundColor(colorIndex);
    backgroundColor_ = colorIndex;
}

void CAppSettings::Save() {
    CRegistryKey key;
    if (key.Create("Option") == kRegSuccess) key.SetDword(backgroundColor_, "BackgroundColor");
    key.Close();
    SavePenSet(currentPenSet_);
}

} // namespace tracemill
