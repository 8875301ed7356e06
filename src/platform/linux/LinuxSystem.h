#pragma once

#include "platform/System.h"

namespace platform::linuxp {

// Facts of a Linux system. There is no add-on library and no component registration here:
// those calls fail.
class LinuxSystem : public System {
public:
    /// `systemFolder`: empty means a "System" folder in Tavrel's data folder.
    explicit LinuxSystem(QString systemFolder = {});

    /// The name of the program file ("tavrel").
    QString programFileName() const override;
    QString programFileFolder() const override;
    bool isNTPlatform() const override { return true; }
    QString shortPath(const QString& path) const override { return path; }
    /// A folder that Tavrel owns (created when missing).
    QString systemFolder() const override;
    std::optional<QByteArray> loadResource(int number, const QString& type) const override;
    /// Always fails: nothing registers libraries on Linux.
    long selfRegister(const QString& libraryFileName) override;
    bool createComponent(const QString& className) override;

private:
    QString m_systemFolder;
};

} // namespace platform::linuxp
