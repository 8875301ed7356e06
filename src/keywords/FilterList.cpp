#include "keywords/FilterList.h"

#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <array>

namespace keywords {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isIPv4(QStringView s) {
    int parts = 0;
    for (QStringView part : s.tokenize(u'.')) {
        if (++parts > 4 || part.isEmpty() || part.size() > 3)
            return false;
        int value = 0;
        for (QChar c : part) {
            if (!isDigit(c))
                return false;
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > 255)
            return false;
    }
    return parts == 4;
}

bool isIPv6(QStringView s) {
    if (const qsizetype zone = s.indexOf(u'%'); zone > 0)
        s = s.left(zone);
    if (s.count(u':') < 2)
        return false;
    for (QChar c : s)
        if (!isDigit(c) && c != u':' && c != u'.' && !(c.toLower() >= u'a' && c.toLower() <= u'f'))
            return false;
    return true;
}

bool isAddress(QStringView s) {
    return isIPv4(s) || isIPv6(s);
}

// Adblock rules that hide parts of pages: "##.ad", "example.com#@#.banner" ...
bool isCosmeticRule(QStringView line) {
    return line.contains(u"##") || line.contains(u"#@#") || line.contains(u"#?#") ||
           line.contains(u"#$#");
}

bool isAdblockList(QStringView text) {
    for (QStringView line : text.tokenize(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u"[Adblock", Qt::CaseInsensitive) || line.startsWith(u"||") ||
            line.startsWith(u"@@") || isCosmeticRule(line))
            return true;
    }
    return false;
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The line up to a "#" that follows a blank (a comment at the end of a line).
QStringView withoutEndComment(QStringView line) {
    for (qsizetype i = 1; i < line.size(); ++i)
        if (line[i] == u'#' && isBlank(line[i - 1]))
            return line.left(i).trimmed();
    return line;
}

class Reader {
public:
    explicit Reader(bool adblock) : m_adblock(adblock) {}

    void line(QStringView line) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'!'))
            return;
        if (line.startsWith(u'#')) {
            if (isCosmeticRule(line))
                ++out.skipped;
            return;
        }
        if (line.startsWith(u'[') && line.endsWith(u']'))
            return;
        if (line.startsWith(u"||")) {
            const QStringView host = line.mid(2).chopped(line.endsWith(u'^') ? 1 : 0);
            if (line.endsWith(u'^') && isHostName(host))
                add(host);
            else
                ++out.skipped;
            return;
        }
        if (line.startsWith(u"@@")) {
            ++out.skipped;
            return;
        }
        qsizetype end = 0;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        if (isAddress(line.left(end))) {
            // As in hosts files, a "#" begins a comment wherever it stands.
            QStringView hosts = line.mid(end);
            if (const qsizetype hash = hosts.indexOf(u'#'); hash >= 0)
                hosts = hosts.left(hash);
            for (QStringView host : hosts.tokenize(u' '))
                for (QStringView name : host.tokenize(u'\t'))
                    if (!name.isEmpty())
                        add(name);
            return;
        }
        if (m_adblock) {
            if (isHostName(line))
                add(line);
            else
                ++out.skipped;
            return;
        }
        if (const QStringView entry = withoutEndComment(line); !entry.isEmpty())
            add(entry);
    }

    FilterListEntries out;

private:
    void add(QStringView entry) {
        if (isLoopbackName(entry))
            ++out.skipped;
        else
            out.entries.append(entry.toString());
    }

    bool m_adblock;
};

bool isTextControl(unsigned char b) {
    return (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v') || b == 0x7f;
}

} // namespace

bool isLoopbackName(QStringView name) {
    static constexpr std::array<const char16_t*, 12> names = {
        u"localhost",     u"localhost.localdomain", u"local",           u"broadcasthost",
        u"ip6-localhost", u"ip6-loopback",          u"0.0.0.0",         u"ip6-localnet",
        u"ip6-allnodes",  u"ip6-allrouters",        u"ip6-mcastprefix", u"ip6-allhosts"};
    for (const char16_t* n : names)
        if (name.compare(QStringView(n), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool isHostName(QStringView text) {
    if (text.isEmpty() || text.size() > 253 || text.startsWith(u'.') || text.endsWith(u'.') ||
        !text.contains(u'.') || text.contains(u".."))
        return false;
    for (QChar c : text)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.')
            return false;
    return true;
}

FilterListEntries readFilterList(QStringView text) {
    Reader reader(isAdblockList(text));
    for (QStringView line : text.tokenize(u'\n'))
        reader.line(line);
    return std::move(reader.out);
}

std::optional<QString> filterListText(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        QString text = utf16.decode(bytes);
        if (utf16.hasError())
            return std::nullopt;
        return text;
    }
    if (bytes.contains('\0'))
        return std::nullopt;
    qsizetype controls = 0;
    for (char b : bytes)
        controls += isTextControl(static_cast<unsigned char>(b)) ? 1 : 0;
    if (controls * 100 > bytes.size())
        return std::nullopt;
    return platform::decodeText(bytes);
}

} // namespace keywords
