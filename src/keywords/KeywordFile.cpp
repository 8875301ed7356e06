#include "keywords/KeywordFile.h"

#include "controls/Simple.h"
#include "keywords/TextItems.h"
#include "platform/TextCodec.h"

#include <QRegularExpression>
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
      m_pathLabel(pathLabel) {}

void KeywordFile::assignReversed(const QStringList& items) {
    QStringList words;
    words.reserve(items.size());
    for (auto it = items.crbegin(); it != items.crend(); ++it)
        words.append(*it);
    m_keywords.assign(std::move(words));
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
    const auto bytes = m_files.readAll(toRead);
    if (!bytes)
        return; // a read error ends the load without a message
    assignReversed(ItemReader(platform::decodeText(*bytes)).all());
}

QString typedItem(const QString& item, bool quoted) {
    if (quoted)
        return item;
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(item).hasMatch())
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
    const auto bytes = m_files.readAll(m_path);
    if (!bytes) {
        m_dialogs.message(QStringLiteral("Erreur d'ouverture du fichier mots clés !"),
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Erreur"));
        return;
    }
    ItemReader reader(platform::decodeText(*bytes));
    QStringList items;
    while (!reader.atEnd()) {
        bool quoted = false;
        const QString item = reader.next(&quoted);
        items.append(typedItem(item, quoted));
    }
    assignReversed(items);
}

int KeywordFile::saveToOwnFile() {
    m_pathLabel.setCaption(m_path);
    if (m_path.isEmpty())
        m_path = platform::programFile(m_files, kNewFile);
    return save(m_path);
}

int KeywordFile::write(const QString& path, bool quoted) const {
    QString text;
    for (const QString& word : m_keywords.words())
        text += quoted ? quotedLine(word) : plainLine(word);
    return m_files.writeAll(path, platform::encodeText(text));
}

} // namespace keywords
