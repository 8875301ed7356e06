#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>
#include <map>
#include <memory>

namespace platform::linuxp {

// The per-user settings store: one INI file per application, APP/APP.ini in the user's
// config folder (~/.config/Tavrel/Tavrel.ini), one group per section. Every value is plain
// text: stored as typed, read back exactly, never turned into a list or a number.
class LinuxSettings : public SettingsStore {
public:
    /// `folder`: where the files go; empty means the user's config folder.
    explicit LinuxSettings(QString folder = {});
    ~LinuxSettings() override;

    std::optional<QString> value(const QString& app, const QString& section,
                                 const QString& key) const override;
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override;

    /// The file that holds an application's settings.
    QString fileName(const QString& app) const;

private:
    QSettings& store(const QString& app) const;

    QString m_folder;
    mutable std::map<QString, std::unique_ptr<QSettings>> m_stores;
};

} // namespace platform::linuxp
