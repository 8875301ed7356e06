#pragma once

#include "controls/FileList.h"
#include "cookies/CookieDetails.h"
#include "platform/Platform.h"

#include <QHash>
#include <QString>
#include <optional>

namespace controls {
class Label;
class ListView;
class TextBox;
} // namespace controls

namespace cookies {

// The cookie tab: the cookie folder, its file list and the analysis of one file.
class CookieManager {
public:
    struct Controls {
        controls::TextBox& folderBox;
        controls::ListView& fileList;
        controls::Label& analysisLabel;
        controls::TextBox& analysisBox;
        controls::ListView& recordList;
    };

    CookieManager(platform::Platform& platform, Controls controls);
    ~CookieManager();

    /// Finds the cookie folder and lists it (start-up).
    void loadAtStartup();
    /// Checks the folder and lists its cookie files.
    void listFolder();

    void selectAll();
    void deselectAll();
    void invertSelection();
    /// Deletes the selected cookie files, once the user confirms.
    void deleteSelected();
    /// Lists the folder again.
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

    platform::Platform& m_p;
    Controls m_c;
    /// The cookie files of the folder (pattern "*.txt").
    controls::FileList m_files;
    QString m_folder;
    /// The files listed under each shown name, in listing order: raw path and identity.
    QHash<QString, QList<ListedFile>> m_listed;
};

/// True for a folder that looks like a cookie folder: "cookie" (in any case) in its path,
/// anywhere but at its very start.
bool isCookieFolder(const QString& folder);
/// The date and time shown in the file list: "dd/MM/yyyy HH:mm:ss".
QString cookieDateText(const QDateTime& time);

} // namespace cookies
