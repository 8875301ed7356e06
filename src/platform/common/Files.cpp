#include "platform/Files.h"

namespace platform {

QString withTrailingSlash(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

QString programFile(const Files& files, const QString& name) {
    return withTrailingSlash(files.programFolder()) + name;
}

QString shippedFile(const Files& files, const QString& name) {
    return withTrailingSlash(files.shippedFolder()) + name;
}

bool FileExists(const Files& files, const QString& path) {
    if (path.isEmpty())
        return false;
    const FileAttributes a = files.attributes(path);
    return a.exists && !a.directory && !a.hidden && !a.system;
}

} // namespace platform
