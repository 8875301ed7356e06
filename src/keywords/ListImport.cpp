#include "keywords/ListImport.h"

#include <QSet>

namespace keywords {

namespace {
const QString kTitle = QStringLiteral("Importer une liste");
} // namespace

ListImport::ListImport(platform::Files& files, platform::Dialogs& dialogs, KeywordList& keywords,
                       StatisticsFile& statistics)
    : m_files(files), m_dialogs(dialogs), m_keywords(keywords), m_statistics(statistics) {}

void ListImport::tell(const QString& text, platform::MessageIcon icon) {
    m_dialogs.message(text, platform::MessageButtons::Ok, icon, kTitle);
}

void ListImport::chooseAndImport() {
    const auto chosen = m_dialogs.openFile(
        kTitle, m_files.programFolder(),
        QStringLiteral("Listes de filtres et fichiers hosts (*.txt;*.hosts;*.host;*.dat;*.list)|"
                       "*.txt;*.hosts;*.host;*.dat;*.list|Tous les fichiers (*.*)|*.*"));
    if (!chosen || chosen->isEmpty())
        return;
    const auto bytes = m_files.readAll(*chosen);
    if (!bytes) {
        tell(QStringLiteral("Impossible de lire le fichier :\r") + *chosen,
             platform::MessageIcon::Warning);
        return;
    }
    const auto result = importBytes(*bytes);
    if (!result) {
        tell(QStringLiteral("Ce fichier n'est pas un fichier texte :\r") + *chosen +
                 QStringLiteral("\rAucun mot clé n'a été ajouté."),
             platform::MessageIcon::Warning);
        return;
    }
    tell(
        QStringLiteral("%1 mots clés ajoutés, %2 ignorés.").arg(result->added).arg(result->ignored),
        platform::MessageIcon::Information);
}

std::optional<ListImport::Result> ListImport::importBytes(const QByteArray& bytes) {
    const auto text = filterListText(bytes);
    if (!text)
        return std::nullopt;
    return add(readFilterList(*text));
}

ListImport::Result ListImport::add(const FilterListEntries& list) {
    // Entries are compared as the scans compare keywords: lower-cased.
    QSet<QString> known;
    known.reserve(m_keywords.size() + int(list.entries.size()));
    for (int i = 0; i < m_keywords.size(); ++i)
        known.insert(m_keywords.lowered(i));
    Result result;
    result.ignored = list.skipped;
    QStringList added;
    for (const QString& entry : list.entries) {
        const QString lowered = entry.toLower();
        if (known.contains(lowered)) {
            ++result.ignored;
            continue;
        }
        known.insert(lowered);
        added.append(entry);
    }
    result.added = int(added.size());
    if (!added.isEmpty()) {
        m_keywords.append(added);
        m_statistics.appendRecords(added);
    }
    return result;
}

} // namespace keywords
