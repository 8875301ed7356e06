#include "keywords/TextItems.h"

#include <limits>

namespace keywords {

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}
} // namespace

void ItemReader::skipToFieldEnd() {
    const qsizetype n = m_text.size();
    while (m_pos < n) {
        const QChar c = m_text.at(m_pos);
        if (c == u',') {
            ++m_pos;
            return;
        }
        if (isLineEnd(c)) {
            ++m_pos;
            if (c == u'\r' && m_pos < n && m_text.at(m_pos) == u'\n')
                ++m_pos;
            return;
        }
        ++m_pos;
    }
}

QString ItemReader::next(bool* quoted) {
    const qsizetype n = m_text.size();
    if (quoted)
        *quoted = false;
    while (m_pos < n && isBlank(m_text.at(m_pos)))
        ++m_pos;
    if (m_pos < n && m_text.at(m_pos) == u'"') {
        if (quoted)
            *quoted = true;
        const qsizetype start = m_pos + 1;
        qsizetype close = m_text.indexOf(u'"', start);
        if (close < 0)
            close = n;
        QString item = m_text.mid(start, close - start);
        m_pos = close < n ? close + 1 : n;
        skipToFieldEnd();
        return item;
    }
    const qsizetype start = m_pos;
    while (m_pos < n && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
        ++m_pos;
    qsizetype end = m_pos;
    while (end > start && isBlank(m_text.at(end - 1)))
        --end;
    QString item = m_text.mid(start, end - start);
    skipToFieldEnd();
    return item;
}

QStringList ItemReader::all() {
    QStringList items;
    while (!atEnd())
        items.append(next());
    return items;
}

bool plainLineNeedsQuotes(const QString& item) {
    return item.contains(u',') ||
           (!item.isEmpty() && (isBlank(item.front()) || isBlank(item.back())));
}

QString plainLine(const QString& item) {
    return plainLineNeedsQuotes(item) ? quotedLine(item) : item + QStringLiteral("\r\n");
}

QString quotedLine(const QString& item) {
    return u'"' + item + QStringLiteral("\"\r\n");
}

qint64 leadingInteger(const QString& text) {
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (isBlank(text.at(i)) || isLineEnd(text.at(i))))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qint64 value = 0;
    for (;; ++i) {
        skipBlanks();
        if (i >= n || text.at(i) < u'0' || text.at(i) > u'9')
            break;
        const int digit = text.at(i).unicode() - u'0';
        value = value > (max - digit) / 10 ? max : value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace keywords
