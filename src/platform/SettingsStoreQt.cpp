#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include "platform/Encoding.h"

namespace kv::platform {

namespace {
QString SettingsKey(const std::string& key, const std::string& valueName) {
    std::string k = key;
    for (char& c : k)
        if (c == '\\') c = '/';
    while (!k.empty() && k.back() == '/') k.pop_back();
    return QString::fromUtf8(Cp1252ToUtf8(k + "/" + valueName));
}
}  // namespace

struct SettingsStore::Store {
    QSettings settings;
};

SettingsStore::SettingsStore(std::filesystem::path iniPath)
    : path_(iniPath.empty() ? DefaultPath() : std::move(iniPath)),
      store_(new Store{{QString::fromStdString(path_.string()), QSettings::IniFormat}}) {}

SettingsStore::~SettingsStore() = default;

std::filesystem::path SettingsStore::DefaultPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    return std::filesystem::path(base.toStdString()) / "KvsPaghe" / "registry.ini";
}

std::optional<std::string> SettingsStore::ReadString(Hive hive, const std::string& key,
                                                     const std::string& valueName) const {
    if (hive != Hive::CurrentUser || valueName.empty()) return std::nullopt;
    store_->settings.sync();  // pick up changes made by other programs
    QVariant v = store_->settings.value(SettingsKey(key, valueName));
    if (!v.isValid() || v.typeId() != QMetaType::QString) return std::nullopt;
    return Utf8ToCp1252(v.toString().toStdString());
}

void SettingsStore::WriteString(Hive hive, const std::string& key, const std::string& valueName,
                                const std::string& value) {
    if (hive != Hive::CurrentUser) return;
    store_->settings.setValue(SettingsKey(key, valueName), QString::fromUtf8(Cp1252ToUtf8(value)));
    store_->settings.sync();
}

}  // namespace kv::platform
