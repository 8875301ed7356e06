#include "keywords/KeywordFile.h"

#include "controls/Simple.h"
#include "keywords/TextItems.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cmath>

namespace keywords {

namespace {
const QString kApp = QStringLiteral("Tavrel");
const QString kConfig = QStringLiteral("Config");
const QString kKeywordFileKey = QStringLiteral("NomFichMotCle");
const QString kDefaultFile = QStringLiteral("ListeUrl.dat");
const QString kNewFile = QStringLiteral("NouveauHost.dat");
} // namespace

KeywordFile::KeywordFile(platform::Files& files, platform::SettingsStore& settings,
                         platform::Dialogs& dialogs, KeywordList& keywords,
                         controls::Label& pathLabel)
    : m_files(files), m_settings(settings), m_dialogs(dialogs), m_keywords(keywords),
      m_pathLabel(pathLabel),
      m_listFiles(files, dialogs, QStringLiteral("ce n'est pas une liste de mots clés.")) {}

void KeywordFile::assignReversed(QStringList items) {
    std::reverse(items.begin(), items.end());
    m_keywords.assign(std::move(items));
}

void KeywordFile::loadAtStartup() {
    m_path = m_settings.value(kApp, kConfig, kKeywordFileKey).value_or(QString());
    const QString defaultFile = platform::programFile(m_files, kDefaultFile);
    if (m_path.isEmpty())
        m_path = defaultFile;
    const QString toRead = platform::FileExists(m_files, m_path) ? m_path : defaultFile;
    m_pathLabel.setCaption(m_path);
    if (!platform::FileExists(m_files, toRead)) {
        m_dialogs.message(QStringLiteral("Pas de fichier mots clés !!!\rou fichier : ") + toRead +
                              QStringLiteral(" non trouvé"),
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Atention"));
        m_pathLabel.setCaption(QString());
        return;
    }
    // Saves of interrupted runs may have left their temporary files.
    m_files.removeStaleTemporaries(m_path);
    m_files.removeStaleTemporaries(defaultFile);
    QString reason;
    std::optional<QString> text = m_listFiles.read(toRead, &reason);
    if (!text) {
        // Said, and the file is kept from automatic saves: the list is not what it holds.
        m_listFiles.report(toRead, reason);
        return;
    }
    QStringList items = ItemReader(*std::move(text)).all();
    assignReversed(std::move(items));
}

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A plain number: [+-] digits [. digits] or [+-] . digits, then [eE [+-] digits].
bool isPlainNumber(QStringView s) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < n && isDigit(s[i]))
            ++i;
        return i - from;
    };
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const qsizetype whole = digits();
    qsizetype fraction = 0;
    if (i < n && s[i] == u'.') {
        ++i;
        fraction = digits();
    }
    if (whole == 0 && fraction == 0)
        return false;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

} // namespace

QString typedItem(const QString& item, bool quoted) {
    if (quoted || !isPlainNumber(item))
        return item;
    bool ok = false;
    const double value = item.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return item;
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

void KeywordFile::choose() {
    const auto chosen = m_dialogs.openFile(
        QStringLiteral("Choix d'un fichier mots clés (Fichier Hosts)"), m_files.programFolder(),
        QStringLiteral("Fichier mots clés (*.dat)|*.dat|Fichier Hosts (*.host)|*.host|"
                       "Fichier texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*"));
    if (!chosen || chosen->isEmpty())
        return;
    m_path = *chosen;
    m_pathLabel.setCaption(m_path);
    m_settings.setValue(kApp, kConfig, kKeywordFileKey, m_path);
    if (!platform::FileExists(m_files, m_path))
        return;
    QString reason;
    std::optional<QString> text = m_listFiles.read(m_path, &reason);
    if (!text) {
        if (m_listFiles.tooLarge(reason))
            m_listFiles.report(m_path, reason);
        else
            m_dialogs.message(QStringLiteral("Erreur d'ouverture du fichier mots clés !"),
                              platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                              QStringLiteral("Erreur"));
        return;
    }
    // The words, last one first (the file order reversed), read as typed values.
    const auto read = [](QString content) {
        ItemReader reader(std::move(content));
        QStringList items;
        while (!reader.atEnd()) {
            bool quoted = false;
            const QString item = reader.next(&quoted);
            items.append(typedItem(item, quoted));
        }
        std::reverse(items.begin(), items.end());
        return KeywordList::prepare(std::move(items));
    };
    if (text->size() <= BackgroundWork::kLargeInput) {
        m_keywords.adopt(read(*std::move(text)));
        return;
    }
    // A long list is read away from the interface thread, which stays free meanwhile; the
    // list takes it in when read (or before it is changed or saved).
    m_keywords.assignInBackground([read, content = *std::move(text)] { return read(content); });
}

bool KeywordFile::saveToOwnFile(SaveMode mode) {
    m_pathLabel.setCaption(m_path);
    if (m_path.isEmpty())
        m_path = platform::programFile(m_files, kNewFile);
    return save(m_path, mode);
}

bool KeywordFile::write(const QString& path, bool quoted, SaveMode mode) {
    // A file chosen and still being read is what the list holds from now on.
    m_keywords.settle();
    qsizetype length = 0;
    for (const QString& word : m_keywords.words())
        length += word.size() + 4;
    // Most lists are ASCII: their bytes, the codec's own, are put together straight from the
    // words.
    {
        QByteArray bytes(length, Qt::Uninitialized); // room for quotes on every line
        char* out = bytes.data();
        bool ascii = true;
        for (const QString& word : m_keywords.words()) {
            const bool inQuotes = quoted || plainLineNeedsQuotes(word);
            if (inQuotes)
                *out++ = '"';
            if (!platform::copyAscii(out, word)) {
                ascii = false;
                break;
            }
            out += word.size();
            if (inQuotes)
                *out++ = '"';
            *out++ = '\r';
            *out++ = '\n';
        }
        if (ascii) {
            bytes.truncate(out - bytes.constData());
            return m_listFiles.writeBytes(path, bytes, mode);
        }
    }
    // Piece by piece: a line of a huge keyword is not copied once more.
    QString text;
    text.reserve(length);
    for (const QString& word : m_keywords.words()) {
        if (quoted || plainLineNeedsQuotes(word)) {
            text += u'"';
            text += word;
            text += u'"';
        } else {
            text += word;
        }
        text += QStringLiteral("\r\n");
    }
    return m_listFiles.write(path, text, mode);
}

} // namespace keywords
