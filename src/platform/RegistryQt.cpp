#include "platform/RegistryQt.h"

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

QtSettingsRegistry::QtSettingsRegistry(std::filesystem::path iniPath)
    : path_(iniPath.empty() ? DefaultPath() : std::move(iniPath)),
      settings_(std::make_unique<QSettings>(QString::fromStdString(path_.string()), QSettings::IniFormat)) {}

QtSettingsRegistry::~QtSettingsRegistry() = default;

std::filesystem::path QtSettingsRegistry::DefaultPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    return std::filesystem::path(base.toStdString()) / "KvsPaghe" / "registry.ini";
}

std::optional<std::string> QtSettingsRegistry::ReadString(Hive hive, const std::string& key,
                                                          const std::string& valueName) const {
    if (hive != Hive::CurrentUser || valueName.empty()) return std::nullopt;
    settings_->sync();  // pick up changes made by other programs
    QVariant v = settings_->value(SettingsKey(key, valueName));
    if (!v.isValid() || v.typeId() != QMetaType::QString) return std::nullopt;
    return Utf8ToCp1252(v.toString().toStdString());
}

void QtSettingsRegistry::WriteString(Hive hive, const std::string& key, const std::string& valueName,
                                     const std::string& value) {
    if (hive != Hive::CurrentUser) return;
    settings_->setValue(SettingsKey(key, valueName), QString::fromUtf8(Cp1252ToUtf8(value)));
    settings_->sync();
}

}  // namespace kv::platform
