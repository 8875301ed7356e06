#include "platform/linux/Autostart.h"

#include "platform/linux/LinuxPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform::linuxp {

namespace {

// Characters that make the desktop split or interpret an unquoted Exec argument.
bool needsQuotes(const QString& s) {
    if (s.isEmpty())
        return true;
    for (QChar c : s)
        if (c.isSpace() || QStringLiteral("\"'\\><~|&;$*?#()`").contains(c))
            return true;
    return false;
}

// The escapes of a desktop entry's string values.
QString escapeString(const QString& s) {
    QString out;
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeString(const QString& s) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar next = s[++i];
        switch (next.unicode()) {
        case u's':
            out += u' ';
            break;
        case u'n':
            out += u'\n';
            break;
        case u't':
            out += u'\t';
            break;
        case u'r':
            out += u'\r';
            break;
        default:
            out += next;
        }
    }
    return out;
}

} // namespace

QString defaultAutostartFile() {
    return userConfigFolder() + QStringLiteral("/autostart/Tavrel.desktop");
}

QString execLine(const QString& program) {
    QString arg = program;
    arg.replace(u'%', QStringLiteral("%%"));
    if (needsQuotes(program)) {
        QString quoted = QStringLiteral("\"");
        for (QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        arg = quoted + u'"';
    }
    return escapeString(arg);
}

QString programOfExecLine(const QString& exec) {
    const QString line = unescapeString(exec).trimmed();
    QString program;
    qsizetype i = 0;
    if (line.startsWith(u'"')) {
        for (i = 1; i < line.size() && line[i] != u'"'; ++i) {
            if (line[i] == u'\\' && i + 1 < line.size())
                ++i;
            program += line[i];
        }
    } else {
        while (i < line.size() && !line[i].isSpace())
            program += line[i++];
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

bool writeAutostartEntry(const QString& file, const QString& program) {
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Tavrel\n"
                                         "Comment=Ferme les fenêtres de publicité du navigateur\n"
                                         "Exec=%1\n"
                                         "Icon=tavrel\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execLine(program));
    QSaveFile out(file);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = entry.toUtf8();
    if (out.write(bytes) != bytes.size())
        return false;
    return out.commit();
}

std::optional<QString> readAutostartEntry(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(in.readAll());
    bool inEntry = false;
    QString exec;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == u"[Desktop Entry]";
            continue;
        }
        if (!inEntry || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == u"Hidden" && value == u"true")
            return std::nullopt;
        if (key == u"Exec")
            exec = value;
    }
    return programOfExecLine(exec);
}

} // namespace platform::linuxp
