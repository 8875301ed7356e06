#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

namespace platform {

namespace {

// UTF-8, or nothing when the bytes are not valid UTF-8. A byte order mark at the start is
// not part of the text.
std::optional<QString> fromUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

bool isAscii(const QByteArray& bytes) {
    for (const char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

} // namespace

QString decodeText(const QByteArray& bytes) {
    if (std::optional<QString> text = fromUtf8(bytes))
        return *std::move(text);
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return QString::fromLatin1(bytes);
}

bool copyAscii(char* out, QStringView text) {
    const char16_t* in = text.utf16();
    // One pass: narrowed and told apart at once.
    char16_t any = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        any |= in[i];
        out[i] = char(in[i]);
    }
    return any < 0x80;
}

QByteArray encodeText(const QString& text) {
    // Most texts are ASCII: one pass that the compiler can widen tells them, and their bytes
    // are the same in every encoding read back.
    char16_t any = 0;
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    for (qsizetype i = 0; i < text.size(); ++i)
        any |= units[i];
    if (any < 0x80)
        return text.toLatin1();
    // Many others are Latin-1 without the C1 controls, where Windows-1252 is Latin-1: no
    // converter is needed for them.
    bool latin1 = true;
    for (const QChar c : text)
        if (c.unicode() > 0xFF || (c.unicode() >= 0x80 && c.unicode() < 0xA0)) {
            latin1 = false;
            break;
        }
    if (latin1) {
        QByteArray bytes = text.toLatin1();
        if (isAscii(bytes) || !fromUtf8(bytes))
            return bytes;
    }
    QStringEncoder cp1252("windows-1252");
    if (cp1252.isValid()) {
        QByteArray bytes = cp1252.encode(text);
        // Windows-1252 bytes that also form UTF-8 would read back as another text: such a
        // text is written in UTF-8 instead.
        if (!cp1252.hasError() && (isAscii(bytes) || !fromUtf8(bytes)))
            return bytes;
    }
    // A text that begins with U+FEFF gets a byte order mark, which reading takes away.
    const QByteArray bom =
        text.startsWith(QChar(0xFEFF)) ? QByteArray("\xef\xbb\xbf") : QByteArray();
    return bom + text.toUtf8();
}

} // namespace platform
