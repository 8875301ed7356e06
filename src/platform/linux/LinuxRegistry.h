#pragma once

#include "platform/common/KeyTree.h"

namespace platform::linuxp {

// The key tree of a Linux desktop: Tavrel's own, kept in a file of the user's data folder and
// saved (atomically) after each change. Three values stand for things of the desktop:
// - HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run, value "Tavrel": the XDG
//   autostart entry (writing the value writes the entry with the text as its program, deleting
//   it removes the file, reading it reads the file);
// - HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders, value
//   "Cookies": a "Cookies" folder in Tavrel's data folder (created when read);
// - HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO, value "PATH": the system
//   information program, when one is installed.
class LinuxRegistry : public KeyTree {
public:
    struct Places {
        QString treeFile;       // where the key tree is kept
        QString autostartFile;  // the autostart entry
        QString cookieFolder;   // the folder that "Cookies" names
        QString sysInfoProgram; // the system information program; empty when there is none
    };
    /// The places of the user's session (~/.local/share/Tavrel/keys.json, ...).
    static Places defaultPlaces();

    LinuxRegistry();
    explicit LinuxRegistry(Places places);

    long queryValue(HKEY key, const QString& name, std::uint32_t* type, QByteArray* data,
                    std::uint32_t* size) override;
    long setValue(HKEY key, const QString& name, std::uint32_t type,
                  const QByteArray& data) override;
    long deleteValue(HKEY key, const QString& name) override;

    const Places& places() const { return m_places; }

protected:
    void changed() override;

private:
    enum class Special { None, StartEntry, CookieFolder, SysInfo };
    Special special(const Key& key, const QString& name) const;
    long writeStartEntry(std::uint32_t type, const QByteArray& data);
    void load();
    bool save();

    Places m_places;
    bool m_loading = true;
    bool m_saveFailed = false;
};

} // namespace platform::linuxp
