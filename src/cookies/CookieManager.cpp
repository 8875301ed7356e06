#include "cookies/CookieManager.h"

#include "app/FrmMain.h"
#include "cookies/CookieParser.h"
#include "cookies/RegistryReader.h"

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

CookieManager::CookieManager(app::FrmMain& form)
    : FL_COOK(&form, QStringLiteral("FL_COOK"), form.platform().files, QStringLiteral("*.txt")),
      f(form) {
    FL_COOK.setVisible(false);

    f.cookieFileView.addColumn(QStringLiteral("Nom des Cookies"), 2000);
    f.cookieFileView.addColumn(QStringLiteral("Chemin"), 3500);
    f.cookieFileView.addColumn(QStringLiteral("Date"), 1800);
    f.cookieFileView.addColumn(QStringLiteral("Taille"), 800);
    f.cookieFileView.setMultiSelect(true);
    f.cookieFileView.setSortKey(0);
    f.cookieFileView.setSorted(true);
    f.cookieFileView.setToolTip(QStringLiteral("Double clic pour lancer l'analyse du Cookie"));

    f.cookieRecordView.addColumn(QStringLiteral("Domaine"), 2000);
    f.cookieRecordView.addColumn(QStringLiteral("Nom du Cookie"), 1800);
    f.cookieRecordView.addColumn(QStringLiteral("Valeur du Cookie"), 2500);
    f.cookieRecordView.addColumn(QStringLiteral("Securité"), 900);
    f.cookieRecordView.addColumn(QStringLiteral("Source  "), 3000);
    f.cookieRecordView.addColumn(QStringLiteral("Parent  "), 3000);
    f.cookieRecordView.setSortKey(0);
    f.cookieRecordView.setSorted(true);
    f.cookieRecordView.setToolTip(QStringLiteral("Double clic pour analyser le Cookie"));

    f.deleteCookiesButton.setToolTip(QStringLiteral("Suppresion des Cookies sélectionnés"));
    f.refreshCookiesButton.setToolTip(QStringLiteral("Rafraîchir la liste des Cookies"));
    f.analysisBox.setMultiLine(true);

    f.selectAllCookiesButton.onClick = [this] { Command12_Click(); };
    f.deselectCookiesButton.onClick = [this] { Command13_Click(); };
    f.invertCookieSelectionButton.onClick = [this] { Command14_Click(); };
    f.deleteCookiesButton.onClick = [this] { Command15_Click(); };
    f.refreshCookiesButton.onClick = [this] { Command16_Click(); };
    f.internetOptionsButton.onClick = [this] { Command17_Click(); };
    f.cookieFileView.onDblClick = [this] { lstCookies_DblClick(); };
    f.cookieRecordView.onDblClick = [this] { Lst_Cook_DblClick(); };
}

CookieManager::~CookieManager() = default;

void CookieManager::Charge_Cookie() {
    m_cookieFolder = ReadRegText(
        f.platform(), platform::HKEY_CURRENT_USER,
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
        QStringLiteral("Cookies"));
    f.cookieFolderBox.setText(m_cookieFolder);
    FL_COOK.setPath(m_cookieFolder);
    Start_Work();
}

void CookieManager::Start_Work() {
    FL_COOK.refresh();
    f.cookieFileView.setSorted(false);
    f.cookieFileView.clear();
    if (isCookieFolder(m_cookieFolder)) {
        FL_COOK.setPath(m_cookieFolder);
        FillCookieFileList(f.cookieFileView, FL_COOK);
    } else {
        f.platform().dialogs.message(
            QStringLiteral("Ce n'est pas un dossier de MicroSoft Internet Explorer.\r\n"
                           "Select 'File -> Settings' and choose an MSIE cookie folder.\r\n"
                           "Exmple:\r\n"
                           "C:\\Documents and Settings\\Administrator\\Cookies"),
            MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("Mauvais dossier ..."));
    }
    f.cookieFileView.setSorted(true);
}

void CookieManager::FillCookieFileList(controls::ListView& list, controls::FileList& files) {
    const platform::Files& fs = f.platform().files;
    const QString folder = app::AddBackslash(files.path());
    // All rows are built first and handed over at once, so a folder of thousands of files
    // is listed (and sorted, when the list is) in one pass.
    std::vector<controls::ListView::Row> rows = list.rows();
    rows.reserve(rows.size() + std::size_t(files.count()));
    for (const QString& name : files.names()) {
        if (name.trimmed().isEmpty())
            continue;
        const QString path = folder + name;
        const auto modified = fs.modified(path);
        const auto size = fs.size(path);
        rows.push_back({{name, path, modified ? cookieDateText(*modified) : QString(),
                         size ? QString::number(*size) : QString()},
                        false});
    }
    list.setRows(std::move(rows));
}

void CookieManager::Command12_Click() {
    f.cookieFileView.selectAll(true);
}

void CookieManager::Command13_Click() {
    f.cookieFileView.selectAll(false);
}

void CookieManager::Command14_Click() {
    controls::ListView& list = f.cookieFileView;
    for (int r = 0; r < list.rowCount(); ++r)
        list.setSelected(r, !list.isSelected(r));
}

void CookieManager::Command15_Click() {
    if (f.platform().dialogs.message(
            QStringLiteral("Etes vous certain de supprimer les cookies sélectionnés ?"),
            MessageButtons::YesNo, MessageIcon::Question,
            QStringLiteral("Suppression des Cookies")) != MessageAnswer::Yes)
        return;
    platform::Files& fs = f.platform().files;
    const QString folder = app::AddBackslash(m_cookieFolder);
    const controls::ListView& list = f.cookieFileView;
    // The rows of deleted files need not be taken out one by one: the list is rebuilt from
    // the folder right after. A file that cannot be deleted stays, without a message.
    for (int r = list.rowCount() - 1; r >= 0; --r) {
        const QString name = list.text(r);
        if (name.isEmpty() || !list.isSelected(r))
            continue;
        const QString path = folder + name;
        if (fs.remove(path) == platform::FileError::PathFileAccess) {
            // A read-only file: reset its attributes and try once more.
            fs.setNormal(path);
            fs.remove(path);
        }
    }
    relist();
}

void CookieManager::Command16_Click() {
    relist();
}

void CookieManager::relist() {
    f.cookieRecordView.clear();
    f.cookieFileView.clear();
    // A folder refused at start-up stays unlisted: its files must not be offered for
    // deletion by a refresh.
    if (!isCookieFolder(m_cookieFolder))
        return;
    FL_COOK.setPath(m_cookieFolder);
    FillCookieFileList(f.cookieFileView, FL_COOK);
}

void CookieManager::Command17_Click() {
    // Nothing to report when there is no such settings page to open.
    f.platform().processes.openInternetOptions();
}

void CookieManager::lstCookies_DblClick() {
    controls::ListView& list = f.cookieFileView;
    if (list.rowCount() == 0)
        return;
    const int selected = list.firstSelected();
    const QString Parent = selected >= 0 ? list.subItem(selected, 1) : QString();
    f.analysisLabel.setCaption(QStringLiteral("Analyse du fichier Cookie : ") + Parent);
    // A file that cannot be read is analysed as empty: the records of the previous file must
    // not be shown under this file's name.
    const auto bytes = Parent.isEmpty() ? std::nullopt : f.platform().files.readAll(Parent);
    f.analysisBox.setText(bytes ? analysisText(*bytes) : QString());
    f.cookieRecordView.clear();
    f.cookieRecordView.setSorted(false);
    Analyse_Cookie(Parent);
    f.cookieRecordView.setSorted(true);
}

void CookieManager::Analyse_Cookie(const QString& Parent) {
    std::vector<CookieRow> records = cookies::Analyse_Cookie(f.analysisBox.text(), Parent);
    // Each record's row goes to the top of the list, so the last record ends up first; the
    // new rows are handed over at once rather than inserted one by one.
    std::vector<controls::ListView::Row> rows;
    rows.reserve(records.size() + std::size_t(f.cookieRecordView.rowCount()));
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        rows.push_back({it->cells(), false});
    for (const auto& row : f.cookieRecordView.rows())
        rows.push_back(row);
    f.cookieRecordView.setRows(std::move(rows));
}

void CookieManager::Lst_Cook_DblClick() {
    const controls::ListView& list = f.cookieRecordView;
    if (list.rowCount() == 0)
        return;
    // Without a selected row the record keeps what it held.
    const int r = list.firstSelected();
    if (r >= 0) {
        SelectedCookie.Domain = list.text(r);
        SelectedCookie.Name = list.subItem(r, 1);
        SelectedCookie.Value = list.subItem(r, 2);
        SelectedCookie.Secure = list.subItem(r, 3);
        SelectedCookie.Source = list.subItem(r, 4);
    }
    FrmDetails details(SelectedCookie, f.platform().dialogs);
    f.platform().dialogs.runModal(details);
}

} // namespace cookies
