#include "watch/SiteCommands.h"

#include "controls/ListView.h"
#include "controls/Simple.h"
#include "platform/TextCodec.h"

#include <QRegularExpression>

namespace watch {

namespace {
const QString kFileName = QStringLiteral("SitesAutorises.dat");
const QString kTitle = QStringLiteral("Sites autorisés");
// Unused lines named in the message at most.
constexpr qsizetype kLinesShown = 10;
} // namespace

SiteCommands::SiteCommands(platform::Files& files, platform::Dialogs& dialogs, AllowedSites& sites,
                           const keywords::Journal& journal, Controls controls)
    : m_files(files), m_dialogs(dialogs), m_sites(sites), m_journal(journal), m_controls(controls) {
}

QString SiteCommands::path() const {
    const QString folder = m_folder.isEmpty() ? m_files.programFolder() : m_folder;
    return platform::withTrailingSlash(folder) + kFileName;
}

void SiteCommands::warn(const QString& text, const QString& title) {
    m_dialogs.message(text, platform::MessageButtons::Ok, platform::MessageIcon::Warning, title);
}

void SiteCommands::load(const QString& folder) {
    m_folder = folder;
    m_unused.clear();
    const QString file = path();
    if (!platform::FileExists(m_files, file)) {
        m_sites.assign({});
        return;
    }
    const auto bytes = m_files.readAll(file);
    if (!bytes) {
        warn(QStringLiteral("Impossible de lire la liste des sites autorisés :\r") + file,
             QStringLiteral("Erreur"));
        return;
    }
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList hosts;
    qsizetype comments = 0;
    for (const QString& line : platform::decodeText(*bytes).split(lineEnd)) {
        if (line.trimmed().isEmpty())
            continue;
        if (const auto host = AllowedSites::normalize(line))
            hosts.append(*host);
        else
            m_unused.append(line);
        // A line beginning with "#" is a comment: kept, and no cause for a warning.
        if (line.trimmed().startsWith(u'#'))
            ++comments;
    }
    m_sites.assign(hosts);
    if (m_unused.size() == comments)
        return;
    QStringList shown;
    for (const QString& line : m_unused)
        if (!line.trimmed().startsWith(u'#') && shown.size() <= kLinesShown)
            shown.append(shown.size() < kLinesShown ? line : QStringLiteral("…"));
    warn(QStringLiteral("Ces lignes de %1 ne sont pas des noms de site ; elles restent dans "
                        "le fichier mais ne servent pas :\r%2")
             .arg(file, shown.join(u'\r')),
         kTitle);
}

void SiteCommands::save() {
    QString text;
    for (const QString& host : m_sites.hosts())
        text += host + QStringLiteral("\r\n");
    for (const QString& line : m_unused)
        text += line + QStringLiteral("\r\n");
    const QString file = path();
    if (m_files.writeAll(file, platform::encodeText(text)) != platform::FileError::None)
        warn(QStringLiteral("Impossible d'enregistrer la liste des sites autorisés :\r") + file +
                 QStringLiteral("\rLe changement vaut jusqu'à la fermeture de Tavrel."),
             QStringLiteral("Erreur"));
}

bool SiteCommands::allow(const QString& host) {
    if (const auto entry = m_sites.entryFor(host)) {
        const int row = int(m_sites.hosts().indexOf(*entry));
        m_controls.siteList.selectAll(false);
        m_controls.siteList.setSelected(row, true);
        const QString shown = AllowedSites::shown(host);
        m_dialogs.message(*entry == host
                              ? QStringLiteral("Le site %1 est déjà dans la liste.").arg(shown)
                              : QStringLiteral("Le site %1 est déjà autorisé par %2.")
                                    .arg(shown, AllowedSites::shown(*entry)),
                          platform::MessageButtons::Ok, platform::MessageIcon::Information, kTitle);
        return false;
    }
    const int row = m_sites.add(host);
    m_controls.siteList.selectAll(false);
    m_controls.siteList.setSelected(row, true);
    save();
    return true;
}

void SiteCommands::allowTyped() {
    const QString typed = m_controls.siteBox.text();
    if (typed.trimmed().isEmpty())
        return;
    const auto host = AllowedSites::normalize(typed);
    if (!host) {
        warn(QStringLiteral("« %1 » n'est pas un nom de site.\rEntrez un nom comme exemple.fr "
                            "ou une adresse comme https://www.exemple.fr/page.")
                 .arg(typed.trimmed()),
             kTitle);
        return;
    }
    allow(*host);
    m_controls.siteBox.setText(QString());
}

void SiteCommands::allowJournalSite() {
    const int r = m_controls.journalList.firstSelected();
    if (r < 0 || r >= m_journal.size())
        return;
    const QString url = m_journal.at(r).url;
    const auto host = AllowedSites::normalize(AllowedSites::hostOf(url));
    if (!host) {
        warn(QStringLiteral("L'adresse %1 ne nomme pas de site.").arg(url), kTitle);
        return;
    }
    allow(*host);
}

void SiteCommands::removeSelected() {
    bool removed = false;
    for (int r = m_controls.siteList.rowCount() - 1; r >= 0; --r)
        if (m_controls.siteList.isSelected(r)) {
            m_sites.removeAt(r);
            removed = true;
        }
    if (removed)
        save();
}

} // namespace watch
