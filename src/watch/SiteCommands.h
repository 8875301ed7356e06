#pragma once

#include "keywords/Journal.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "watch/AllowedSites.h"

#include <QString>
#include <QStringList>

namespace controls {
class ListView;
class TextBox;
} // namespace controls

namespace watch {

// The commands of the sites always allowed, and their file: `SitesAutorises.dat` in the
// folder of the keyword list, one host a line, written again at once after each change.
// Lines of the file that are not host names are kept in it, unused, and the user is told
// (comments, lines beginning with "#", are kept without a word).
class SiteCommands {
public:
    // The controls the commands read and set.
    struct Controls {
        controls::TextBox& siteBox;
        controls::ListView& siteList;
        controls::ListView& journalList;
    };

    SiteCommands(platform::Files& files, platform::Dialogs& dialogs, AllowedSites& sites,
                 const keywords::Journal& journal, Controls controls);

    /// Reads the file of this folder (start-up); a missing file is an empty list.
    void load(const QString& folder);
    QString path() const;
    /// Allows the site typed in the box.
    void allowTyped();
    /// Allows the site of the selected journal row.
    void allowJournalSite();
    /// Removes the selected sites.
    void removeSelected();

private:
    /// Adds a host unless an entry allows it already (then says which); true when added.
    bool allow(const QString& host);
    /// Writes the file; tells the user when it cannot.
    void save();
    void warn(const QString& text, const QString& title);

    platform::Files& m_files;
    platform::Dialogs& m_dialogs;
    AllowedSites& m_sites;
    const keywords::Journal& m_journal;
    Controls m_controls;
    QString m_folder;
    QStringList m_unused; // lines of the file that name no site
};

} // namespace watch
