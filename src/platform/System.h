#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// Facts about the operating system and the outside components the program relies on.
class System {
public:
    virtual ~System() = default;

    /// File name of the program, without its folder ("tavrel" on Linux).
    virtual QString programFileName() const = 0;
    /// Folder of the program file, without a trailing "/".
    virtual QString programFileFolder() const = 0;
    /// True on the NT family of systems (always true on Linux).
    virtual bool isNTPlatform() const = 0;
    /// Short form of a path; the path itself where there is no short form.
    virtual QString shortPath(const QString& path) const = 0;
    /// The system folder, without a trailing "/" (a folder the program owns on Linux).
    virtual QString systemFolder() const = 0;
    /// A resource carried inside the program, or nothing when there is none.
    virtual std::optional<QByteArray> loadResource(int number, const QString& type) const = 0;
    /// Self-registration of an add-on library found by the system's library search.
    virtual long selfRegister(const QString& libraryFileName) = 0;
    /// Creates (and releases at once) an instance of a registered component class.
    virtual bool createComponent(const QString& className) = 0;
};

} // namespace platform
