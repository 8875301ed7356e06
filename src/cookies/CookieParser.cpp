#include "cookies/CookieParser.h"

#include "platform/TextCodec.h"

#include <QLocale>

namespace cookies {

namespace {

const QString& separator() {
    static const QString sep = QString::fromUtf16(kLineSeparator);
    return sep;
}

// True when nothing is left of the text once every CR LF pair is taken out.
bool onlyLineBreaks(const QString& chunk) {
    const qsizetype n = chunk.size();
    if (n % 2 != 0)
        return false;
    for (qsizetype i = 0; i < n; i += 2)
        if (chunk.at(i) != u'\r' || chunk.at(i + 1) != u'\n')
            return false;
    return true;
}

// Removes blanks (U+0020 only) at both ends.
QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// Replaces every occurrence of `from` by `to` in one pass into a new text: linear whatever
// the number of occurrences.
QString replaced(const QString& text, QStringView from, QStringView to) {
    QString out;
    out.reserve(text.size() + (to.size() > from.size() ? text.size() / 2 : 0));
    qsizetype pos = 0;
    for (;;) {
        const qsizetype at = text.indexOf(from, pos);
        if (at < 0)
            break;
        out.append(QStringView(text).mid(pos, at - pos));
        out.append(to);
        pos = at + from.size();
    }
    if (pos == 0)
        return text;
    out.append(QStringView(text).mid(pos));
    return out;
}

} // namespace

QString analysisText(const QByteArray& bytes) {
    const QString text = platform::decodeText(bytes);
    QString out;
    out.reserve(text.size() + text.size() / 16);
    QChar previous;
    for (const QChar c : text) {
        if (c == u'\n' && previous != u'\r')
            out += u'\r';
        out += c;
        previous = c;
    }
    return out;
}

QString secureText(const QString& flags) {
    // The number's value counts, not how it is written: "1", "01", "1.0" and "1e0" are all 1.
    static const QLocale numbers = [] {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        return c;
    }();
    bool ok = false;
    const double n = numbers.toDouble(trimBlanks(flags), &ok);
    if (!ok)
        return {};
    if (n == 0)
        return QStringLiteral("False");
    if (n == 1)
        return QStringLiteral("True");
    return {};
}

std::optional<CookieRow> parseRecord(QString& source, const QString& parent) {
    const QString& sep = separator();
    // The line break that ends the previous record's "*" line.
    if (source.startsWith(sep))
        source.remove(0, sep.size());
    // Only the first four fields are used; the record needs at least eight line breaks. A
    // record of thousands of lines is not cut into thousands of pieces.
    QStringView breakMark = sep;
    if (source.contains(u'\n')) {
        // Text with bare LF line ends.
        if (source.startsWith(u'\n'))
            source.remove(0, 1);
        breakMark = u"\n";
    }
    QString fields[4];
    qsizetype from = 0;
    for (int k = 0; k < 8; ++k) {
        const qsizetype at = source.indexOf(breakMark, from);
        if (at < 0)
            return std::nullopt; // fewer than nine fields
        if (k < 4)
            fields[k] = source.mid(from, at - from);
        from = at + breakMark.size();
    }
    if (fields[2].isEmpty())
        return std::nullopt;
    CookieRow row;
    row.domain = fields[2];
    row.name = fields[0];
    row.value = fields[1];
    row.secure = secureText(fields[3]);
    row.source = replaced(source, sep, u"\r\n");
    row.parent = parent;
    return row;
}

std::vector<CookieRow> parseRecords(const QString& text, const QString& parent) {
    std::vector<CookieRow> rows;
    const QStringList chunks = text.split(u'*');
    for (const QString& chunk : chunks) {
        // Drops the line break that follows the last "*".
        if (onlyLineBreaks(chunk))
            continue;
        QString record = replaced(trimBlanks(chunk), u"\r\n", separator());
        if (auto row = parseRecord(record, parent))
            rows.push_back(std::move(*row));
    }
    return rows;
}

QString decodeValue(QString& text) {
    // Row order matters: "+" goes first so that an encoded plus survives, and "%25" sits in
    // the middle, so its result is decoded again by the rows after it only.
    static const std::pair<const char16_t*, const char16_t*> table[] = {
        {u"+", u" "},   {u"%40", u"@"}, {u"%0D", u" "},  {u"%0A", u" "}, {u"%2E", u"."},
        {u"%5F", u"_"}, {u"%2D", u"-"}, {u"%2B", u"+"},  {u"%7C", u"|"}, {u"%7E", u"~"},
        {u"%24", u"$"}, {u"%25", u"%"}, {u"%5E", u"^"},  {u"%26", u"&"}, {u"%28", u"("},
        {u"%29", u")"}, {u"%3D", u"="}, {u"%60", u"`"},  {u"%2F", u"/"}, {u"%3F", u"?"},
        {u"%3C", u"<"}, {u"%3E", u">"}, {u"%5C", u"\\"}, {u"%3A", u":"}, {u"%21", u"!"},
        {u"%5B", u"["}, {u"%5D", u"]"}, {u"%22", u"\""},
    };
    for (const auto& [find, by] : table)
        text.replace(QString::fromUtf16(find), QString::fromUtf16(by), Qt::CaseSensitive);
    return text;
}

} // namespace cookies
