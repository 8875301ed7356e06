#include "cookies/RegistryReader.h"

#include "platform/TextCodec.h"

#include <cstdint>

namespace cookies {

using namespace platform;

QString readRegistryText(Platform& p, HKEY root, const QString& subKey, const QString& name) {
    HKEY key = 0;
    p.registry.openKey(root, subKey, KEY_READ, &key);
    const QString text = queryRegistryText(p, key, name);
    p.registry.closeKey(key);
    return text;
}

QString queryRegistryText(Platform& p, HKEY key, const QString& name) {
    std::uint32_t type = REG_NONE;
    std::uint32_t size = 0;
    const long result = p.registry.queryValue(key, name, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) {
        p.dialogs.message(systemErrorText(p.registry, result), MessageButtons::Ok,
                          MessageIcon::None, QString());
        return {};
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        QByteArray data(qsizetype(size), '\0');
        std::uint32_t room = size;
        if (p.registry.queryValue(key, name, &type, &data, &room) != ERROR_SUCCESS)
            return {};
        // Never trust more bytes than the buffer that was asked for.
        if (data.size() > qsizetype(size))
            data.truncate(qsizetype(size));
        const qsizetype nul = data.indexOf('\0');
        if (nul >= 0)
            data.truncate(nul);
        return platform::decodeText(data);
    }
    if (type == REG_BINARY) {
        // Read into a four-byte integer: longer data does not fit and is not read.
        QByteArray data(4, '\0');
        std::uint32_t room = 4;
        if (p.registry.queryValue(key, name, &type, &data, &room) != ERROR_SUCCESS)
            return {};
        std::uint32_t bits = 0;
        for (qsizetype i = 0; i < data.size() && i < 4; ++i)
            bits |= std::uint32_t(static_cast<unsigned char>(data.at(i))) << (8 * i);
        return QString::number(static_cast<std::int32_t>(bits));
    }
    return {};
}

QString systemErrorText(const Registry& registry, long code) {
    QString text = registry.formatMessage(code).left(200);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

} // namespace cookies
