#pragma once

#include "controls/FileList.h"
#include "cookies/FrmDetails.h"

#include <QString>

namespace app {
class FrmMain;
}
namespace controls {
class ListView;
}

namespace cookies {

// The "Cookies" tab: the cookie folder, its file list and the analysis of one file.
class CookieManager {
public:
    explicit CookieManager(app::FrmMain& f);
    ~CookieManager();

    /// Finds the cookie folder and lists it (start-up).
    void Charge_Cookie();
    /// Checks the folder and lists its cookie files.
    void Start_Work();
    /// Adds a row to `list` for every file name of `files`.
    void FillCookieFileList(controls::ListView& list, controls::FileList& files);

    // Commands of the tab.
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();
    void Command17_Click();
    /// Double click on the file list: analyses the selected file.
    void lstCookies_DblClick();
    /// Adds the records of the analysis box's text to the record list.
    void Analyse_Cookie(const QString& Parent);
    /// Double click on the record list: shows the selected record.
    void Lst_Cook_DblClick();

    /// The cookie folder as read at start-up.
    const QString& CookieFolder() const { return m_cookieFolder; }
    /// The record shown by the details dialog.
    SelectedCookieRecord SelectedCookie;

    /// The cookie files of the folder (pattern "*.txt"); a hidden control of the main window.
    controls::FileList FL_COOK;

private:
    /// Clears both lists and lists the folder again (refresh and after a deletion).
    void relist();

    app::FrmMain& f;
    QString m_cookieFolder;
};

/// True for a folder that looks like a cookie folder: "cookie" (in any case) in its path,
/// anywhere but at its very start.
bool isCookieFolder(const QString& folder);
/// The date and time shown in the file list: "dd/MM/yyyy HH:mm:ss".
QString cookieDateText(const QDateTime& time);

} // namespace cookies
