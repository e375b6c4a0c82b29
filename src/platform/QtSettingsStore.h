#pragma once

#include "common/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace tessivar {

// The per-user settings store on QSettings (organisation and application "Tessivar"). The
// store holds the Telnet access code in plain text, so its file is kept readable by its
// owner only.
class QtSettingsStore : public ISettingsStore {
public:
    QtSettingsStore();
    // A store in the given INI file instead of the user's own.
    explicit QtSettingsStore(const QString& iniFilePath);

    std::optional<std::string> read(const std::string& section, const std::string& key) override;
    void write(const std::string& section, const std::string& key,
               const std::string& value) override;

    QString fileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
    // The user's own store lives in a folder of its own, which is kept owner-only too: the
    // file is rewritten through a fresh temporary file that starts with default permissions.
    bool ownsFolder_ = false;
};

} // namespace tessivar
