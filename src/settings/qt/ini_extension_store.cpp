#include "settings/qt/ini_extension_store.h"

#include <QSettings>
#include <QString>
#include <QVariant>
#include <system_error>

namespace merlop {

namespace {

QString pathOf(const std::filesystem::path& file) {
    return QString::fromStdString(file.string());
}

}  // namespace

ExtensionSettings IniExtensionStore::load() {
    std::error_code ec;
    // A folder or a device where the file should be is not read.
    if (!std::filesystem::is_regular_file(file_, ec)) return {};
    QSettings ini(pathOf(file_), QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return {};
    return readExtensionSettings([&ini](const char* key) -> std::optional<std::string> {
        const QVariant value = ini.value(QString::fromUtf8(key));
        if (!value.isValid()) return std::nullopt;
        return value.toString().toStdString();
    });
}

bool IniExtensionStore::save(const ExtensionSettings& settings) {
    std::error_code ec;
    if (std::filesystem::exists(file_, ec) && !std::filesystem::is_regular_file(file_, ec)) {
        return false;
    }
    QSettings ini(pathOf(file_), QSettings::IniFormat);
    // Written whole beside the file and renamed, or not at all, as every file of the tuner.
    ini.setAtomicSyncRequired(true);
    writeExtensionSettings(settings, [&ini](const char* key, const std::string& value) {
        ini.setValue(QString::fromUtf8(key), QString::fromStdString(value));
    });
    ini.sync();
    return ini.status() == QSettings::NoError;
}

}  // namespace merlop
