#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace platform {

// A hierarchical key tree with the calling conventions and result codes of the Win32
// registry functions. Keys are opened, never created by these calls.
using HKEY = std::uint32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

constexpr std::uint32_t REG_NONE = 0;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_NO_MORE_ITEMS = 259;

constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr std::uint32_t KEY_READ = 0x20019;
constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

class Registry {
public:
    virtual ~Registry() = default;

    /// Opens an existing key below an open key or a root; an empty path opens the key itself.
    virtual long openKey(HKEY key, const QString& subKey, std::uint32_t access, HKEY* result) = 0;
    /// Reads a value. With `data` null, only `type` and the data size (`*size`) are returned;
    /// otherwise at most `*size` bytes are read (ERROR_MORE_DATA when the value is longer) and
    /// `*size` is set to the value's length.
    virtual long queryValue(HKEY key, const QString& name, std::uint32_t* type, QByteArray* data,
                            std::uint32_t* size) = 0;
    /// Writes a value of the given type (creating or replacing it).
    virtual long setValue(HKEY key, const QString& name, std::uint32_t type,
                          const QByteArray& data) = 0;
    /// Deletes a value.
    virtual long deleteValue(HKEY key, const QString& name) = 0;
    /// Name of the subkey at `index` in enumeration order; ERROR_NO_MORE_ITEMS past the last,
    /// ERROR_MORE_DATA when the name does not fit `bufferChars` characters (NUL included).
    virtual long enumKey(HKEY key, std::uint32_t index, QString* name,
                         std::uint32_t bufferChars) = 0;
    /// Closes an opened key; ERROR_INVALID_HANDLE when it is not open.
    virtual long closeKey(HKEY key) = 0;
    /// The system's message text for a result code.
    virtual QString formatMessage(long code) const = 0;
};

} // namespace platform
