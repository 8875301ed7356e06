#include "platform/Files.h"

namespace platform {

bool FileExists(const Files& files, const QString& path) {
    if (path.isEmpty())
        return false;
    const FileAttributes a = files.attributes(path);
    return a.exists && !a.directory && !a.hidden && !a.system;
}

} // namespace platform
