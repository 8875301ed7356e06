#include "cookies/CookieManager.h"

#include "controls/ListView.h"
#include "controls/Simple.h"
#include "cookies/CookieParser.h"
#include "cookies/RegistryReader.h"

#include <QHash>
#include <algorithm>

namespace cookies {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

bool isCookieFolder(const QString& folder) {
    // "cookie" anywhere in the path but at its very start.
    return folder.toLower().indexOf(QStringLiteral("cookie")) > 0;
}

QString cookieDateText(const QDateTime& time) {
    return time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

CookieManager::CookieManager(platform::Platform& platform, Controls controls)
    : m_p(platform), m_c(controls),
      m_files(nullptr, QStringLiteral("FL_COOK"), platform.files, QStringLiteral("*.txt")) {}

CookieManager::~CookieManager() = default;

void CookieManager::loadAtStartup() {
    m_folder = readRegistryText(
        m_p, platform::HKEY_CURRENT_USER,
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
        QStringLiteral("Cookies"));
    m_files.setPath(m_folder);
    if (m_p.browser.hasCookies()) {
        showBrowser();
        return;
    }
    m_c.folderBox.setText(m_folder);
    m_c.exportButton.setEnabled(false);
    listFolder();
}

// --- The source shown ----------------------------------------------------------------------

void CookieManager::browserChanged() {
    const bool browser = m_p.browser.hasCookies();
    const QString name = browser ? m_p.browser.status().browser : QString();
    if (browser == (m_source == Source::Browser) && name == m_browser)
        return;
    if (browser)
        showBrowser();
    else
        showFolder();
}

void CookieManager::showFolder() {
    // A site's analysis shows the browser's cookie values: it does not outlive the source.
    if (m_source == Source::Browser)
        clearAnalysis();
    m_source = Source::Folder;
    m_browser.clear();
    m_sites.clear();
    m_siteAt.clear();
    ++m_reading; // an answer on its way is not shown
    m_c.folderLabel.setCaption(QStringLiteral("Dossier Cookies :"));
    m_c.folderBox.setText(m_folder);
    m_c.exportButton.setEnabled(false);
    relist();
}

void CookieManager::showBrowser() {
    m_source = Source::Browser;
    m_browser = m_p.browser.status().browser;
    m_c.folderLabel.setCaption(QStringLiteral("Cookies du navigateur :"));
    m_c.exportButton.setEnabled(true);
    readBrowser();
}

void CookieManager::tabShown() {
    if (m_source == Source::Browser)
        readBrowser(true);
}

void CookieManager::readBrowser(bool keepAnalysis) {
    QStringList selected;
    if (keepAnalysis) {
        for (const CookieSite* site : selectedSites())
            selected.append(site->path);
    } else {
        // Read anew (refreshed, deleted, another browser): what was analysed may be gone.
        clearAnalysis();
    }
    m_c.fileList.clear();
    m_sites.clear();
    m_siteAt.clear();
    m_c.folderBox.setText(m_browser);
    const quint64 reading = ++m_reading;
    const std::weak_ptr<int> alive = m_alive;
    // The answer comes later from a real browser: the list fills then, the window is never
    // held waiting for it.
    m_p.browser.readCookies([this, alive, reading, selected](const platform::CookieAnswer& answer) {
        if (!alive.expired() && reading == m_reading && m_source == Source::Browser)
            listSites(answer, selected);
    });
}

void CookieManager::clearAnalysis() {
    m_c.recordList.clear();
    m_c.analysisBox.setText(QString());
    m_c.analysisLabel.setCaption(QStringLiteral("Analyse"));
}

void CookieManager::listSites(const platform::CookieAnswer& answer, const QStringList& selected) {
    if (!answer.ok) {
        m_c.folderBox.setText(m_browser + QStringLiteral(" (lecture impossible : ") + answer.error +
                              u')');
        return;
    }
    m_sites = sitesOf(answer.cookies, m_browser);
    std::vector<QStringList> rows;
    rows.reserve(m_sites.size());
    for (std::size_t i = 0; i < m_sites.size(); ++i) {
        m_siteAt.insert(m_sites[i].path, i);
        rows.push_back(m_sites[i].cells());
    }
    controls::ListView& list = m_c.fileList;
    list.setSorted(false);
    list.insertRows(0, std::move(rows));
    list.setSorted(true);
    if (!selected.isEmpty())
        for (int r = 0; r < list.rowCount(); ++r)
            if (selected.contains(list.subItem(r, 1)))
                list.setSelected(r, true);
}

std::vector<const CookieSite*> CookieManager::selectedSites() const {
    std::vector<const CookieSite*> sites;
    const controls::ListView& list = m_c.fileList;
    for (int r = 0; r < list.rowCount(); ++r) {
        if (list.text(r).isEmpty() || !list.isSelected(r))
            continue;
        const auto it = m_siteAt.constFind(list.subItem(r, 1));
        if (it != m_siteAt.constEnd())
            sites.push_back(&m_sites[*it]);
    }
    return sites;
}

void CookieManager::listFolder() {
    m_files.refresh();
    m_c.fileList.setSorted(false);
    m_c.fileList.clear();
    if (isCookieFolder(m_folder)) {
        m_files.setPath(m_folder);
        fillFileList();
    } else {
        m_p.dialogs.message(
            QStringLiteral("Ce n'est pas un dossier de MicroSoft Internet Explorer.\r\n"
                           "Select 'File -> Settings' and choose an MSIE cookie folder.\r\n"
                           "Exmple:\r\n"
                           "C:\\Documents and Settings\\Administrator\\Cookies"),
            MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("Mauvais dossier ..."));
    }
    m_c.fileList.setSorted(true);
}

void CookieManager::fillFileList() {
    const platform::Files& fs = m_p.files;
    const QString folder = platform::withTrailingSlash(m_files.path());
    // All rows are built first and handed over at once, so a folder of thousands of files
    // is listed (and sorted, when the list is) in one pass.
    const QByteArray rawFolder = folder.toUtf8();
    std::vector<QStringList> rows;
    rows.reserve(std::size_t(m_files.count()));
    m_listed.clear();
    for (const platform::DirEntry& e : m_files.entries()) {
        const QString& name = e.name;
        if (name.trimmed().isEmpty())
            continue;
        m_listed[name].append({rawFolder + e.rawName, e.id});
        const QString path = folder + name;
        // A name that is not UTF-8 is shown, not reachable by the name shown (which may be
        // another file's): its date and length are left empty.
        const bool reachable = path.toUtf8() == rawFolder + e.rawName;
        const auto modified = reachable ? fs.modified(path) : std::nullopt;
        const auto size = reachable ? fs.size(path) : std::nullopt;
        rows.push_back({name, path, modified ? cookieDateText(*modified) : QString(),
                        size ? QString::number(*size) : QString()});
    }
    m_c.fileList.insertRows(m_c.fileList.rowCount(), std::move(rows));
}

void CookieManager::selectAll() {
    m_c.fileList.selectAll(true);
}

void CookieManager::deselectAll() {
    m_c.fileList.selectAll(false);
}

void CookieManager::invertSelection() {
    controls::ListView& list = m_c.fileList;
    for (int r = 0; r < list.rowCount(); ++r)
        list.setSelected(r, !list.isSelected(r));
}

void CookieManager::deleteSelected() {
    if (m_p.dialogs.message(
            QStringLiteral("Etes vous certain de supprimer les cookies sélectionnés ?"),
            MessageButtons::YesNo, MessageIcon::Question,
            QStringLiteral("Suppression des Cookies")) != MessageAnswer::Yes)
        return;
    if (m_source == Source::Browser)
        return deleteSelectedSites();
    platform::Files& fs = m_p.files;
    const controls::ListView& list = m_c.fileList;
    // Each row leads back to the file listed under its name: its raw name and identity, so
    // that a file whose name only shows alike, or a link put in the folder's place since the
    // listing, is never deleted.
    std::vector<ListedFile> targets;
    for (int r = 0; r < list.rowCount(); ++r)
        if (!list.text(r).isEmpty() && list.isSelected(r))
            if (const auto listed = listedFile(r))
                targets.push_back(*listed);
    // The rows of deleted files need not be taken out one by one: the list is rebuilt from
    // the folder right after. A file that cannot be deleted stays, without a message.
    for (auto it = targets.rbegin(); it != targets.rend(); ++it) {
        if (fs.removeListed(it->first, it->second) == platform::FileError::PathFileAccess)
            // A read-only file: reset its attributes and try once more.
            fs.removeListed(it->first, it->second, true);
    }
    relist();
}

std::optional<CookieManager::ListedFile> CookieManager::listedFile(int row) const {
    // Rows whose names show alike keep the listing's order (the sort is stable and compares
    // the names only), so the k-th of them is the k-th such file listed.
    const controls::ListView& list = m_c.fileList;
    const QString name = list.text(row);
    int k = 0;
    for (int r = 0; r < row; ++r)
        k += list.text(r) == name ? 1 : 0;
    const auto it = m_listed.constFind(name);
    if (it == m_listed.constEnd() || k >= it->size())
        return std::nullopt;
    return it->at(k);
}

void CookieManager::deleteSelectedSites() {
    // Exactly the cookies listed: one the site set since is not deleted unseen.
    QList<platform::BrowserCookie> doomed;
    for (const CookieSite* site : selectedSites())
        doomed += site->cookies;
    if (doomed.isEmpty())
        return readBrowser();
    clearAnalysis();
    m_c.fileList.clear();
    const std::weak_ptr<int> alive = m_alive;
    m_p.browser.deleteCookies(doomed, [this, alive](const platform::CookieAnswer& answer) {
        if (alive.expired())
            return;
        if (!answer.ok)
            m_p.dialogs.message(QStringLiteral("Des cookies n'ont pas pu être supprimés :\r\n") +
                                    answer.error,
                                MessageButtons::Ok, MessageIcon::Warning,
                                QStringLiteral("Suppression des Cookies"));
        if (m_source == Source::Browser)
            readBrowser();
    });
}

void CookieManager::exportSelected() {
    const QString title = QStringLiteral("Exporter les cookies");
    if (m_source != Source::Browser)
        return;
    QList<platform::BrowserCookie> chosen;
    for (const CookieSite* site : selectedSites())
        chosen += site->cookies;
    if (chosen.isEmpty()) {
        m_p.dialogs.message(QStringLiteral("Sélectionnez les sites dont exporter les cookies."),
                            MessageButtons::Ok, MessageIcon::Information, title);
        return;
    }
    const auto target =
        m_p.dialogs.saveFile(title, platform::programFile(m_p.files, QStringLiteral("cookies.txt")),
                             QStringLiteral("Fichier cookies.txt (*.txt)|*.txt|"
                                            "Tous les fichiers (*.*)|*.*"));
    if (!target || target->isEmpty())
        return;
    // A name given without any extension gets the usual one.
    QString path = *target;
    if (!path.section(u'/', -1).contains(u'.'))
        path += QStringLiteral(".txt");
    int skipped = 0;
    const QByteArray text = netscapeCookieFile(chosen, &skipped);
    // The cookies open the user's accounts: the file is for the user's eyes only.
    if (m_p.files.writePrivate(path, text) != platform::FileError::None) {
        m_p.dialogs.message(QStringLiteral("Impossible d'écrire le fichier :\r\n") + path,
                            MessageButtons::Ok, MessageIcon::Warning, QStringLiteral("Erreur"));
        return;
    }
    QString done =
        QStringLiteral("Cookies exportés (%1) :\r\n").arg(chosen.size() - skipped) + path;
    if (skipped > 0)
        done += QStringLiteral("\r\nCookies laissés de côté (tabulation ou saut de ligne dans "
                               "leur texte) : %1")
                    .arg(skipped);
    m_p.dialogs.message(done, MessageButtons::Ok, MessageIcon::Information, title);
}

void CookieManager::refresh() {
    if (m_source == Source::Browser)
        readBrowser();
    else
        relist();
}

void CookieManager::relist() {
    m_c.recordList.clear();
    m_c.fileList.clear();
    // A folder refused at start-up stays unlisted: its files must not be offered for
    // deletion by a refresh.
    if (!isCookieFolder(m_folder))
        return;
    m_files.setPath(m_folder);
    fillFileList();
}

void CookieManager::openInternetOptions() {
    // Nothing to report when there is no such settings page to open.
    m_p.processes.openInternetOptions();
}

void CookieManager::analyseSelectedFile() {
    controls::ListView& list = m_c.fileList;
    if (list.rowCount() == 0)
        return;
    const int selected = list.firstSelected();
    const QString parent = selected >= 0 ? list.subItem(selected, 1) : QString();
    if (m_source == Source::Browser) {
        // A site's records are analysed as a file of them would be.
        m_c.analysisLabel.setCaption(QStringLiteral("Analyse des cookies du site : ") + parent);
        const auto it = m_siteAt.constFind(parent);
        m_c.analysisBox.setText(it == m_siteAt.constEnd() ? QString()
                                                          : analysisText(m_sites[*it].content));
        return analyseText(parent);
    }
    m_c.analysisLabel.setCaption(QStringLiteral("Analyse du fichier Cookie : ") + parent);
    // A file that cannot be read is analysed as empty: the records of the previous file must
    // not be shown under this file's name. So is a file whose name is not UTF-8: the name
    // shown may be another file's.
    const auto listed = selected >= 0 ? listedFile(selected) : std::nullopt;
    const bool reachable = !listed || listed->first == parent.toUtf8();
    const auto bytes = parent.isEmpty() || !reachable ? std::nullopt : m_p.files.readAll(parent);
    m_c.analysisBox.setText(bytes ? analysisText(*bytes) : QString());
    analyseText(parent);
}

void CookieManager::analyseText(const QString& parent) {
    m_c.recordList.clear();
    m_c.recordList.setSorted(false);
    addRecords(parent);
    m_c.recordList.setSorted(true);
}

void CookieManager::addRecords(const QString& parent) {
    std::vector<CookieRow> records = parseRecords(m_c.analysisBox.text(), parent);
    // Each record's row goes to the top of the list, so the last record ends up first; the
    // new rows are handed over at once rather than inserted one by one.
    std::vector<QStringList> rows;
    rows.reserve(records.size());
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        rows.push_back(it->cells());
    m_c.recordList.insertRows(0, std::move(rows));
}

void CookieManager::showSelectedRecord() {
    const controls::ListView& list = m_c.recordList;
    if (list.rowCount() == 0)
        return;
    // Without a selected row the record keeps what it held.
    const int r = list.firstSelected();
    if (r >= 0) {
        selectedRecord.domain = list.text(r);
        selectedRecord.name = list.subItem(r, 1);
        selectedRecord.value = list.subItem(r, 2);
        selectedRecord.secure = list.subItem(r, 3);
        selectedRecord.source = list.subItem(r, 4);
    }
    CookieDetails details(selectedRecord, m_p.dialogs);
    m_p.dialogs.runModal(details);
}

} // namespace cookies
