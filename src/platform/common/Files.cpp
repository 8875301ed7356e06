#include "platform/Files.h"

namespace platform {

QString fileErrorText(int number) {
    switch (number) {
    case FileError::BadFileName:
        return QStringLiteral("Nom ou numéro de fichier incorrect");
    case FileError::FileNotFound:
        return QStringLiteral("Fichier introuvable");
    case FileError::DeviceIO:
        return QStringLiteral("Erreur d'entrée/sortie sur périphérique");
    case FileError::DiskFull:
        return QStringLiteral("Disque plein");
    case FileError::PermissionDenied:
        return QStringLiteral("Permission refusée");
    case FileError::PathFileAccess:
        return QStringLiteral("Erreur d'accès au chemin/fichier");
    case FileError::PathNotFound:
        return QStringLiteral("Chemin d'accès introuvable");
    default:
        return QStringLiteral("Erreur définie par l'application ou par l'objet");
    }
}

std::optional<DirEntry> Files::entry(const QByteArray& path) const {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return std::nullopt;
    const QByteArray name = path.mid(slash + 1);
    const auto listing = listRaw(slash == 0 ? QByteArray("/") : path.left(slash));
    if (listing)
        for (const DirEntry& e : *listing)
            if (e.rawName == name)
                return e;
    return std::nullopt;
}

QString shownName(const QByteArray& raw) {
    return QString::fromUtf8(raw);
}

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

std::optional<QByteArray> Files::readPart(const QString& path, qint64 offset, qint64 length) const {
    // Backends that can seek do better; this one reads the whole file.
    auto bytes = readAll(path);
    if (!bytes || offset < 0 || length < 0)
        return std::nullopt;
    return bytes->mid(offset, length);
}

int Files::rename(const QString& from, const QString& to) {
    int error = FileError::None;
    const auto bytes = readAll(from, &error);
    if (!bytes)
        return error ? error : FileError::FileNotFound;
    if (const int written = writeAll(to, *bytes))
        return written;
    return remove(from);
}

} // namespace platform
