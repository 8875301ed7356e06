#pragma once

#include "platform/Platform.h"

#include <QString>
#include <cstdint>
#include <variant>

namespace app {

/// A value handed to or read from the registry routines: nothing, a 16- or 32-bit number, a
/// text, or another kind (a floating-point number) that the writer does not store.
using RegValue = std::variant<std::monostate, std::int16_t, std::int32_t, QString, double>;

/// The text up to the first NUL character.
QString cutAtNul(const QString& text);

// The registry routines of the start-with-the-session switch. Each call opens its key, works,
// and closes it again; keys are opened, never created. Results are the system's result codes,
// 0 for success.
class RegistryValues {
public:
    explicit RegistryValues(platform::Platform& p) : m_p(p) {}

    /// Writes a number as REG_DWORD (4 bytes) or a text as REG_SZ (its bytes and a NUL);
    /// other kinds write nothing. The first failing result, or that of closing the key.
    long writeValue(platform::HKEY root, const QString& keyPath, const QString& name,
                    const RegValue& value);
    /// writeValue with a text; the result is not used.
    void saveText(platform::HKEY root, const QString& keyPath, const QString& name,
                  const QString& text);
    /// Reads a REG_SZ (cut at its first NUL) or REG_DWORD value into `value`; a value of
    /// another type leaves it unchanged. The first failing result, or 0.
    long readValue(platform::HKEY root, const QString& keyPath, const QString& name,
                   RegValue& value);
    /// Deletes a value. The first failing result, or that of closing the key.
    long deleteValue(platform::HKEY root, const QString& keyPath, const QString& name);
    /// Sets `programPath`: the short form of the program file's folder, "/", its file name.
    void buildProgramPath();
    /// The short form of a path; the path itself when there is none.
    QString shortPath(const QString& path) const;
    /// True on the NT family of systems.
    bool isNtPlatform() const;

    /// The program path stored in the start list.
    QString programPath;

private:
    platform::Platform& m_p;
};

} // namespace app
