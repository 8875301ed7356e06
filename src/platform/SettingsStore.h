#pragma once

#include <QString>
#include <optional>

namespace platform {

// Per-user store of text values addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// The stored text, or nothing when the key is missing.
    virtual std::optional<QString> value(const QString& app, const QString& section,
                                         const QString& key) const = 0;
    /// Stores a text value.
    virtual void setValue(const QString& app, const QString& section, const QString& key,
                          const QString& value) = 0;
};

} // namespace platform
