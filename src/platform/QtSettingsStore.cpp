#include "platform/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace tessivar {

namespace {

QString keyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + '/' + QString::fromStdString(key);
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, "Tessivar", "Tessivar"),
      ownsFolder_(true) {}

QtSettingsStore::QtSettingsStore(const QString& iniFilePath)
    : settings_(iniFilePath, QSettings::IniFormat) {}

std::optional<std::string> QtSettingsStore::read(const std::string& section,
                                                 const std::string& key) {
    const QString path = keyPath(section, key);
    if (!settings_.contains(path))
        return std::nullopt;
    const QVariant value = settings_.value(path);
    // A hand-edited value with commas ("1,2,3") is parsed by QSettings as a list; the caller
    // wants the text as written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',').toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::write(const std::string& section, const std::string& key,
                            const std::string& value) {
    settings_.setValue(keyPath(section, key), QString::fromStdString(value));
    if (ownsFolder_) {
        const QString folder = QFileInfo(settings_.fileName()).absolutePath();
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }
    // The file is rewritten on sync and may come back with the default permissions.
    settings_.sync();
    QFile::setPermissions(settings_.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace tessivar
