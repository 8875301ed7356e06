#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray encodeText(const QString& text) {
    QStringEncoder cp1252("windows-1252");
    if (cp1252.isValid()) {
        QByteArray bytes = cp1252.encode(text);
        if (!cp1252.hasError())
            return bytes;
    }
    return text.toUtf8();
}

} // namespace platform
