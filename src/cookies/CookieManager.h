#pragma once

#include "controls/FileList.h"
#include "cookies/BrowserSites.h"
#include "cookies/CookieDetails.h"
#include "platform/Platform.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

namespace controls {
class Button;
class Label;
class ListView;
class TextBox;
} // namespace controls

namespace cookies {

// The cookie tab: the cookies of the watched browser, one row a site, or while no browser is
// watched the cookie folder and its files; the analysis of one row; deleting and exporting.
class CookieManager {
public:
    struct Controls {
        controls::TextBox& folderBox;
        controls::ListView& fileList;
        controls::Label& analysisLabel;
        controls::TextBox& analysisBox;
        controls::ListView& recordList;
        controls::Label& folderLabel;
        controls::Button& exportButton;
    };
    /// What the list shows.
    enum class Source { Folder, Browser };

    CookieManager(platform::Platform& platform, Controls controls);
    ~CookieManager();

    /// Finds the cookie folder, and lists the watched browser's cookies or else the folder
    /// (start-up).
    void loadAtStartup();
    /// The browser's status changed: the list follows the browser watched, or the folder.
    void browserChanged();
    /// The cookie tab was brought to the front: the browser's cookies are read again; the
    /// analysis and the sites selected stay.
    void tabShown();
    /// Writes the cookies of the selected sites to a file the user chooses (cookies.txt).
    void exportSelected();
    Source source() const { return m_source; }
    /// Checks the folder and lists its cookie files.
    void listFolder();

    void selectAll();
    void deselectAll();
    void invertSelection();
    /// Deletes the selected cookie files, or the cookies of the selected sites, once the user
    /// confirms.
    void deleteSelected();
    /// Lists the folder, or reads the browser's cookies, again.
    void refresh();
    /// Opens the browser's settings.
    void openInternetOptions();
    /// Double click on the file list: analyses the selected file.
    void analyseSelectedFile();
    /// Adds the records of the analysis box's text to the record list.
    void addRecords(const QString& parent);
    /// Double click on the record list: shows the selected record.
    void showSelectedRecord();

    /// The cookie folder as read at start-up.
    const QString& folder() const { return m_folder; }
    /// The record shown by the details dialog.
    SelectedCookieRecord selectedRecord;

private:
    /// A listed file: its raw path and identity.
    using ListedFile = std::pair<QByteArray, platform::FileId>;
    /// The file a row of the file list was listed for.
    std::optional<ListedFile> listedFile(int row) const;
    /// Adds a row to the file list for every file of the cookie folder.
    void fillFileList();
    /// Clears both lists and lists the folder again (refresh and after a deletion).
    void relist();
    /// Shows the folder, or the cookies of the browser now watched.
    void showFolder();
    void showBrowser();
    /// Clears the site list and the analysis (the site list only, with `keepAnalysis`) and asks
    /// the browser for its cookies; the list fills on the answer.
    void readBrowser(bool keepAnalysis = false);
    /// Lists the sites of the answer; those of the paths `selected` are selected again.
    /// Empties the analysis: its label, its text and its records.
    void clearAnalysis();
    void listSites(const platform::CookieAnswer& answer, const QStringList& selected);
    /// The sites of the selected rows.
    std::vector<const CookieSite*> selectedSites() const;
    void deleteSelectedSites();
    /// Fills the record list from the analysis box's text.
    void analyseText(const QString& parent);

    platform::Platform& m_p;
    Controls m_c;
    /// The cookie files of the folder (pattern "*.txt").
    controls::FileList m_files;
    QString m_folder;
    /// The files listed under each shown name, in listing order: raw path and identity.
    QHash<QString, QList<ListedFile>> m_listed;

    Source m_source = Source::Folder;
    /// The browser whose cookies are shown.
    QString m_browser;
    /// The sites listed, and where each is by its path.
    std::vector<CookieSite> m_sites;
    QHash<QString, std::size_t> m_siteAt;
    /// The number of the latest reading: an older answer is not shown.
    quint64 m_reading = 0;
    /// Answers that come after the manager is gone find this gone too.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

/// True for a folder that looks like a cookie folder: "cookie" (in any case) in its path,
/// anywhere but at its very start.
bool isCookieFolder(const QString& folder);
/// The date and time shown in the file list: "dd/MM/yyyy HH:mm:ss".
QString cookieDateText(const QDateTime& time);

} // namespace cookies
