#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QPair>
#include <QString>
#include <initializer_list>

// Small helpers for reading and writing DevTools Protocol messages.
namespace platform::linuxp::cdp {

/// A string field of a message; empty when it is missing or not a string.
inline QString str(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

/// A string field cut to `max` characters (never inside a character).
inline QString str(const QJsonObject& o, const char* key, qsizetype max) {
    QString text = str(o, key);
    if (text.size() > max)
        text.truncate(text.at(max - 1).isHighSurrogate() ? max - 1 : max);
    return text;
}

/// A message's parameters written in place.
inline QJsonObject obj(std::initializer_list<QPair<QString, QJsonValue>> fields) {
    QJsonObject o;
    for (const auto& [k, v] : fields)
        o.insert(k, v);
    return o;
}

/// The target filter that lets only pages through.
inline QJsonArray pagesOnly() {
    return QJsonArray{obj({{"type", "page"}})};
}

} // namespace platform::linuxp::cdp
