#include "watch/Csv.h"

namespace watch::csv {

QByteArray record(const QStringList& fields) {
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        QString field = fields.at(i);
        for (QChar& c : field)
            if (c == u'\r' || c == u'\n')
                c = u' ';
        if (field.contains(u',') || field.contains(u'"')) {
            field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            field = u'"' + field + u'"';
        }
        out += field.toUtf8();
    }
    out += "\r\n";
    return out;
}

QStringList parse(const QByteArray& line) {
    qsizetype end = line.size();
    while (end > 0 && (line.at(end - 1) == '\n' || line.at(end - 1) == '\r'))
        --end;
    QStringList fields;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < end; ++i) {
        const char c = line.at(i);
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < end && line.at(i + 1) == '"')
                field += line.at(++i);
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(QString::fromUtf8(field));
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(QString::fromUtf8(field));
    return fields;
}

} // namespace watch::csv
