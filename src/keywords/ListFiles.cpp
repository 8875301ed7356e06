#include "keywords/ListFiles.h"

#include "platform/TextCodec.h"

namespace keywords {

ListFiles::ListFiles(platform::Files& files, platform::Dialogs& dialogs, QString what)
    : m_files(files), m_dialogs(dialogs),
      m_tooLarge(QStringLiteral("Le fichier dépasse %1 Mo : ").arg(kMaxBytes / (1024 * 1024)) +
                 what) {}

std::optional<QString> ListFiles::read(const QString& path, QString* reason) {
    // The size is asked first: a huge file is refused before it takes any memory, and once
    // more after reading, for a file that grew meanwhile.
    const auto size = m_files.size(path);
    int error = platform::FileError::None;
    std::optional<QByteArray> bytes;
    if (!size || *size <= kMaxBytes)
        bytes = m_files.readAll(path, &error);
    if (bytes && bytes->size() <= kMaxBytes) {
        m_unread.remove(path);
        return platform::decodeText(*bytes);
    }
    m_unread.insert(path);
    if (reason)
        *reason =
            bytes || (size && *size > kMaxBytes) ? m_tooLarge : platform::fileErrorText(error);
    return std::nullopt;
}

void ListFiles::report(const QString& path, const QString& reason) {
    m_dialogs.message(QStringLiteral("Impossible de lire le fichier :\r") + path + u'\r' + reason,
                      platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                      QStringLiteral("Erreur"));
}

bool ListFiles::tooLarge(const QString& reason) const {
    return reason == m_tooLarge;
}

bool ListFiles::write(const QString& path, const QString& text, SaveMode mode) {
    return writeBytes(path, platform::encodeText(text), mode);
}

bool ListFiles::writeBytes(const QString& path, const QByteArray& bytes, SaveMode mode) {
    QString reason;
    if (mode == SaveMode::Automatic && m_unread.contains(path)) {
        reason = QStringLiteral("Le fichier n'a pas pu être lu : il n'est remplacé que par un "
                                "enregistrement explicite.");
    } else {
        const int error = m_files.writeAll(path, bytes);
        if (error == platform::FileError::None) {
            m_unread.remove(path);
            return true;
        }
        reason = platform::fileErrorText(error);
    }
    m_dialogs.message(
        QStringLiteral("Impossible d'enregistrer le fichier :\r") + path + u'\r' + reason,
        platform::MessageButtons::Ok, platform::MessageIcon::Warning, QStringLiteral("Erreur"));
    return false;
}

} // namespace keywords
