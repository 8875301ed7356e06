#include "app/RegistryValues.h"

#include "platform/Files.h"
#include "platform/TextCodec.h"

namespace app {

namespace {
// Access masks of the original calls: full value access for writing and deleting, query,
// enumerate and notify for reading.
constexpr std::uint32_t kWriteAccess = 0x3F;
constexpr std::uint32_t kReadAccess = 0x19;

QByteArray dword(std::uint32_t n) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((n >> (8 * i)) & 0xFF);
    return bytes;
}
} // namespace

QString cutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

long RegistryValues::writeValue(platform::HKEY root, const QString& keyPath, const QString& name,
                                const RegValue& value) {
    auto& reg = m_p.registry;
    platform::HKEY key = 0;
    const long opened = reg.openKey(root, keyPath, kWriteAccess, &key);
    if (opened != platform::ERROR_SUCCESS)
        return opened;
    long written = platform::ERROR_SUCCESS;
    if (const auto* n16 = std::get_if<std::int16_t>(&value))
        written = reg.setValue(key, name, platform::REG_DWORD, dword(std::uint32_t(*n16)));
    else if (const auto* n32 = std::get_if<std::int32_t>(&value))
        written = reg.setValue(key, name, platform::REG_DWORD, dword(std::uint32_t(*n32)));
    else if (const auto* text = std::get_if<QString>(&value))
        written = reg.setValue(key, name, platform::REG_SZ, platform::encodeText(*text) + '\0');
    const long closed = reg.closeKey(key);
    // A failed write is reported as such, not hidden behind a successful close.
    return written != platform::ERROR_SUCCESS ? written : closed;
}

void RegistryValues::saveText(platform::HKEY root, const QString& keyPath, const QString& name,
                              const QString& text) {
    writeValue(root, keyPath, name, RegValue(text));
}

long RegistryValues::readValue(platform::HKEY root, const QString& keyPath, const QString& name,
                               RegValue& value) {
    auto& reg = m_p.registry;
    platform::HKEY key = 0;
    long result = reg.openKey(root, keyPath, kReadAccess, &key);
    if (result != platform::ERROR_SUCCESS)
        return result;
    std::uint32_t type = platform::REG_NONE;
    std::uint32_t size = 0;
    result = reg.queryValue(key, name, &type, nullptr, &size);
    if (result == platform::ERROR_SUCCESS) {
        if (type == platform::REG_SZ) {
            QByteArray data;
            std::uint32_t room = size + 1;
            result = reg.queryValue(key, name, &type, &data, &room);
            if (result == platform::ERROR_SUCCESS) {
                const qsizetype nul = data.indexOf('\0');
                value = platform::decodeText(nul < 0 ? data : data.left(nul));
            }
        } else if (type == platform::REG_DWORD) {
            QByteArray data;
            std::uint32_t room = 4;
            result = reg.queryValue(key, name, &type, &data, &room);
            if (result == platform::ERROR_SUCCESS) {
                std::uint32_t n = 0;
                for (qsizetype i = std::min<qsizetype>(data.size(), 4) - 1; i >= 0; --i)
                    n = (n << 8) | std::uint8_t(data[i]);
                value = std::int32_t(n);
            }
        }
    }
    const long closed = reg.closeKey(key);
    return result != platform::ERROR_SUCCESS ? result : closed;
}

long RegistryValues::deleteValue(platform::HKEY root, const QString& keyPath, const QString& name) {
    auto& reg = m_p.registry;
    platform::HKEY key = 0;
    const long opened = reg.openKey(root, keyPath, kWriteAccess, &key);
    if (opened != platform::ERROR_SUCCESS)
        return opened;
    const long deleted = reg.deleteValue(key, name);
    const long closed = reg.closeKey(key);
    return deleted != platform::ERROR_SUCCESS ? deleted : closed;
}

void RegistryValues::buildProgramPath() {
    // The start entry runs the program file itself: on Linux it has no ".exe" to add, and the
    // autostart entry's command must name the real file.
    programPath = platform::withTrailingSlash(shortPath(m_p.system.programFileFolder())) +
                  m_p.system.programFileName();
}

QString RegistryValues::shortPath(const QString& path) const {
    const QString shortForm = m_p.system.shortPath(path);
    return shortForm.isEmpty() ? path : shortForm;
}

bool RegistryValues::isNtPlatform() const {
    return m_p.system.isNTPlatform();
}

} // namespace app
