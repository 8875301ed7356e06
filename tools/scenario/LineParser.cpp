#include "tools/scenario/LineParser.h"

#include <QRegularExpression>

namespace scenario {

int toInt(const Word& w) {
    bool ok = false;
    const int n = w.text.toInt(&ok);
    if (!ok)
        throw LineError{QStringLiteral("not a number: ") + w.text};
    return n;
}

void need(const std::vector<Word>& args, std::size_t count) {
    if (args.size() < count)
        throw LineError{QStringLiteral("missing arguments")};
}

std::vector<Word> splitLine(const QString& line) {
    std::vector<Word> words;
    const qsizetype n = line.size();
    qsizetype i = 0;
    auto parseQuoted = [&](Word& w) {
        ++i; // opening quote
        QByteArray bytes;
        for (;;) {
            if (i >= n)
                throw LineError{QStringLiteral("unterminated string")};
            const QChar c = line.at(i);
            if (c == u'"') {
                ++i;
                break;
            }
            if (c != u'\\') {
                bytes += QString(c).toUtf8();
                ++i;
                continue;
            }
            if (i + 1 >= n)
                throw LineError{QStringLiteral("bad escape")};
            const QChar e = line.at(i + 1);
            i += 2;
            switch (e.unicode()) {
            case u'r':
                bytes += '\r';
                break;
            case u'n':
                bytes += '\n';
                break;
            case u't':
                bytes += '\t';
                break;
            case u'"':
                bytes += '"';
                break;
            case u'\\':
                bytes += '\\';
                break;
            case u'x': {
                bool ok = false;
                const int v = line.mid(i, 2).toInt(&ok, 16);
                if (!ok || i + 2 > n)
                    throw LineError{QStringLiteral("bad \\x escape")};
                bytes += char(v);
                i += 2;
                break;
            }
            case u'u': {
                const qsizetype close = line.indexOf(u'}', i);
                if (i >= n || line.at(i) != u'{' || close < 0)
                    throw LineError{QStringLiteral("bad \\u escape")};
                bool ok = false;
                const uint cp = line.mid(i + 1, close - i - 1).toUInt(&ok, 16);
                if (!ok)
                    throw LineError{QStringLiteral("bad \\u escape")};
                const char32_t ch = cp;
                bytes += QString::fromUcs4(&ch, 1).toUtf8();
                i = close + 1;
                break;
            }
            default:
                throw LineError{QStringLiteral("bad escape")};
            }
        }
        w.bytes += bytes;
        w.text = QString::fromUtf8(w.bytes);
    };
    while (i < n) {
        while (i < n && line.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        Word w;
        if (line.at(i) == u'"') {
            w.quoted = true;
            parseQuoted(w);
        } else {
            const qsizetype start = i;
            while (i < n && !line.at(i).isSpace() && line.at(i) != u'"')
                ++i;
            QString plain = line.mid(start, i - start);
            const qsizetype eq = plain.indexOf(u'=');
            static const QRegularExpression keyPattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_-]*$"));
            if (eq > 0 && keyPattern.match(plain.left(eq)).hasMatch()) {
                w.key = plain.left(eq);
                plain = plain.mid(eq + 1);
            }
            w.bytes = plain.toUtf8();
            w.text = plain;
            if (i < n && line.at(i) == u'"') {
                if (!w.key.isEmpty() && plain.isEmpty()) {
                    w.quoted = true;
                    parseQuoted(w);
                } else {
                    throw LineError{QStringLiteral("unexpected quote")};
                }
            }
        }
        words.push_back(std::move(w));
    }
    return words;
}

} // namespace scenario
