#include "app/services/registry_key.h"

#include <QSettings>
#include <QStringList>
#include <bit>
#include <optional>

namespace tracemill {

namespace {

QString qText(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

std::unique_ptr<QSettings> newSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Quillon", "Tracemill");
}

std::unique_ptr<QSettings> openSettings() {
    // QSettings objects of one file share its parsed contents while one of them lives, but
    // forget a large file once none does, and each key's object would parse it again. One
    // object that lives as long as the process keeps it.
    static const std::unique_ptr<QSettings> keepParsed = newSettings();
    auto settings = newSettings();
    // Only the user's own file: no system-wide or organisation-wide values behind it.
    settings->setFallbacksEnabled(false);
    return settings;
}

std::string joinPath(const std::string& group, std::string_view name) {
    return group.empty() ? std::string(name) : group + '/' + std::string(name);
}

// The subkeys (childGroups) or values (childKeys) of a key.
QStringList childrenOf(QSettings& settings, const std::string& group, QStringList (QSettings::*list)() const) {
    if (group.empty()) return (settings.*list)();
    settings.beginGroup(qText(group));
    QStringList names = (settings.*list)();
    settings.endGroup();
    return names;
}

QStringList childGroupsOf(QSettings& settings, const std::string& group) {
    return childrenOf(settings, group, &QSettings::childGroups);
}

QStringList childKeysOf(QSettings& settings, const std::string& group) {
    return childrenOf(settings, group, &QSettings::childKeys);
}

// The stored spelling of `name` among `names`: the same spelling first, else the first
// that differs only in case.
std::string findName(const QStringList& names, std::string_view name) {
    const QString wanted = qText(name);
    if (names.contains(wanted)) return std::string(name);
    for (const QString& candidate : names)
        if (candidate.compare(wanted, Qt::CaseInsensitive) == 0) return utf8(candidate);
    return {};
}

// Whether a key of exactly this spelling exists. Its own values are looked at first: listing
// a key's subkeys walks and sorts everything below it, its values only need a walk.
bool keyExists(QSettings& settings, const std::string& path) {
    return path.empty() || !childKeysOf(settings, path).isEmpty() || !childGroupsOf(settings, path).isEmpty();
}

// The stored spelling of a key path; missing parts take the given spelling when `create`
// is set, else the path is not found. `existed` tells whether every part was there.
std::optional<std::string> resolveKeyPath(QSettings& settings, std::string_view path, bool create, bool& existed) {
    std::string resolved;
    existed = true;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find_first_of("/\\", start), path.size());
        const std::string_view part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        std::string stored;
        if (existed)
            stored = keyExists(settings, joinPath(resolved, part)) ? std::string(part)
                                                                   : findName(childGroupsOf(settings, resolved), part);
        if (stored.empty()) {
            if (!create) return std::nullopt;
            existed = false;
            stored = std::string(part);
        }
        resolved = joinPath(resolved, stored);
    }
    return resolved;
}

} // namespace

CRegistryKey::CRegistryKey() = default;

CRegistryKey::~CRegistryKey() { Close(); }

long CRegistryKey::Hold(std::unique_ptr<QSettings> settings, std::string path) {
    const long closed = Close();
    settings_ = std::move(settings);
    path_ = std::move(path);
    subKeys_.clear();
    return closed;
}

long CRegistryKey::Open(std::string_view keyPath) {
    std::unique_ptr<QSettings> settings = openSettings();
    bool existed = false;
    std::optional<std::string> path = resolveKeyPath(*settings, keyPath, false, existed);
    if (!path) return kRegFileNotFound;
    return Hold(std::move(settings), std::move(*path));
}

long CRegistryKey::Create(std::string_view keyPath, bool* createdNew) {
    std::unique_ptr<QSettings> settings = openSettings();
    bool existed = false;
    std::optional<std::string> path = resolveKeyPath(*settings, keyPath, true, existed);
    if (createdNew) *createdNew = !existed;
    return Hold(std::move(settings), std::move(*path));
}

long CRegistryKey::Close() {
    if (!settings_) return kRegSuccess;
    settings_->sync();
    const bool written = settings_->status() == QSettings::NoError;
    settings_.reset();
    path_.clear();
    return written ? kRegSuccess : kRegAccessDenied;
}

std::string CRegistryKey::FindValueName(std::string_view name) const {
    if (name.empty()) return {};
    if (settings_->contains(qText(joinPath(path_, name)))) return std::string(name);
    return findName(childKeysOf(*settings_, path_), name);
}

std::string CRegistryKey::FindSubKeyName(std::string_view name) const {
    return name.empty() ? std::string() : findName(childGroupsOf(*settings_, path_), name);
}

long CRegistryKey::QueryString(std::string& value, std::string_view name) const {
    if (!settings_) return kRegInvalidHandle;
    const std::string stored = FindValueName(name);
    if (stored.empty()) return kRegFileNotFound;
    const QVariant v = settings_->value(qText(joinPath(path_, stored)));
    switch (v.typeId()) {
    case QMetaType::QByteArray: return kRegFileNotFound;
    // An unquoted text with commas, written by hand, reads as a list.
    case QMetaType::QStringList: value = utf8(v.toStringList().join(',')); break;
    default: value = utf8(v.toString()); break;
    }
    return kRegSuccess;
}

long CRegistryKey::QueryDword(uint32_t& value, std::string_view name) const {
    if (!settings_) return kRegInvalidHandle;
    const std::string stored = FindValueName(name);
    if (stored.empty()) return kRegFileNotFound;
    const QVariant v = settings_->value(qText(joinPath(path_, stored)));
    qulonglong number = 0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        if (v.toLongLong() < 0) return kRegFileNotFound;
        number = v.toULongLong();
        break;
    case QMetaType::UInt:
    case QMetaType::ULongLong: number = v.toULongLong(); break;
    case QMetaType::QString: {
        // Digits only: no sign, blank, base prefix or fraction.
        const QString text = v.toString();
        if (text.isEmpty() || text.size() > 10) return kRegFileNotFound;
        for (const QChar c : text)
            if (c < u'0' || c > u'9') return kRegFileNotFound;
        number = text.toULongLong();
        break;
    }
    default: return kRegFileNotFound;
    }
    if (number > 0xFFFFFFFFull) return kRegFileNotFound;
    value = uint32_t(number);
    return kRegSuccess;
}

long CRegistryKey::QueryBinary(std::vector<uint8_t>& value, std::string_view name) const {
    if (!settings_) return kRegInvalidHandle;
    const std::string stored = FindValueName(name);
    if (stored.empty()) return kRegFileNotFound;
    const QVariant v = settings_->value(qText(joinPath(path_, stored)));
    if (v.typeId() != QMetaType::QByteArray) return kRegFileNotFound;
    const QByteArray bytes = v.toByteArray();
    value.assign(bytes.begin(), bytes.end());
    return kRegSuccess;
}

long CRegistryKey::SetString(std::string_view text, std::string_view name) {
    if (!settings_) return kRegInvalidHandle;
    if (name.empty()) return kRegInvalidParameter;
    const std::string stored = FindValueName(name);
    settings_->setValue(qText(joinPath(path_, stored.empty() ? name : stored)), qText(text));
    return kRegSuccess;
}

long CRegistryKey::SetDword(uint32_t value, std::string_view name) {
    if (!settings_) return kRegInvalidHandle;
    if (name.empty()) return kRegInvalidParameter;
    const std::string stored = FindValueName(name);
    settings_->setValue(qText(joinPath(path_, stored.empty() ? name : stored)), QVariant::fromValue(uint(value)));
    return kRegSuccess;
}

long CRegistryKey::SetBinary(std::span<const uint8_t> bytes, std::string_view name) {
    if (!settings_) return kRegInvalidHandle;
    if (name.empty()) return kRegInvalidParameter;
    const std::string stored = FindValueName(name);
    settings_->setValue(qText(joinPath(path_, stored.empty() ? name : stored)),
                        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    return kRegSuccess;
}

long CRegistryKey::EnumSubKey(uint32_t index, std::string& name) const {
    if (!settings_) return kRegInvalidHandle;
    // Index 0 lists the subkeys afresh; the indices after it walk that list.
    if (index == 0 || subKeys_.empty()) {
        subKeys_.clear();
        for (const QString& group : childGroupsOf(*settings_, path_)) subKeys_.push_back(utf8(group));
    }
    if (index >= subKeys_.size()) return kRegNoMoreItems;
    name = subKeys_[index];
    return kRegSuccess;
}

long CRegistryKey::DeleteSubKey(std::string_view name) {
    if (!settings_) return kRegInvalidHandle;
    const std::string stored = FindSubKeyName(name);
    if (stored.empty()) return kRegFileNotFound;
    const std::string path = joinPath(path_, stored);
    if (!childGroupsOf(*settings_, path).isEmpty()) return kRegAccessDenied;
    settings_->remove(qText(path));
    return kRegSuccess;
}

long CRegistryKey::RecurseDeleteKey(std::string_view name) {
    if (!settings_) return kRegInvalidHandle;
    const std::string stored = FindSubKeyName(name);
    if (stored.empty()) return kRegFileNotFound;
    settings_->remove(qText(joinPath(path_, stored)));
    return kRegSuccess;
}

bool QueryRegDouble(const CRegistryKey& key, std::string_view name, double& value) {
    std::vector<uint8_t> bytes;
    if (key.QueryBinary(bytes, name) != kRegSuccess || bytes.size() != 8) return false;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[size_t(i)];
    value = std::bit_cast<double>(bits);
    return true;
}

long SetRegDouble(CRegistryKey& key, std::string_view name, double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(bits >> (8 * i));
    return key.SetBinary(bytes, name);
}

} // namespace tracemill
