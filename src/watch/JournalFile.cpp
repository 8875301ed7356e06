#include "watch/JournalFile.h"

#include "watch/Csv.h"

namespace watch {

namespace {

const QString kFileName = QStringLiteral("Journal.csv");
const QString kOldFileName = QStringLiteral("Journal.1.csv");

// The records of one file's bytes: without its header line, ended by a line end.
QByteArray recordsOf(QByteArray bytes) {
    const QByteArray head = JournalFile::header();
    if (bytes.startsWith(head.chopped(2)))
        bytes.remove(0, bytes.indexOf('\n') + 1);
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += "\r\n";
    return bytes;
}

bool holdsRecord(const QByteArray& records) {
    for (char c : records)
        if (c != '\r' && c != '\n')
            return true;
    return false;
}

} // namespace

JournalFile::JournalFile(platform::Files& files, platform::Clock& clock, platform::Dialogs& dialogs,
                         qint64 rotateBytes)
    : m_files(files), m_clock(clock), m_dialogs(dialogs), m_rotateBytes(rotateBytes) {}

QString JournalFile::folder() const {
    return m_folder.isEmpty() ? m_files.programFolder() : m_folder;
}

QString JournalFile::path() const {
    return platform::withTrailingSlash(folder()) + kFileName;
}

QString JournalFile::oldPath() const {
    return platform::withTrailingSlash(folder()) + kOldFileName;
}

QByteArray JournalFile::header() {
    return csv::record({QStringLiteral("Date"), QStringLiteral("Heure"), QStringLiteral("Cause"),
                        QStringLiteral("Mot clé"), QStringLiteral("Nom de la page"),
                        QStringLiteral("Adresse")});
}

void JournalFile::append(const Closure& closure) {
    const QDateTime now = m_clock.now();
    QByteArray records =
        m_pending + csv::record({now.toString(QStringLiteral("yyyy-MM-dd")),
                                 now.toString(QStringLiteral("HH:mm:ss")), causeText(closure.cause),
                                 closure.keyword, closure.pageName, closure.url});
    const QString file = path();
    qint64 size = platform::FileExists(m_files, file) ? m_files.size(file).value_or(0) : 0;
    bool renamed = false;
    if (size > 0 && size + records.size() > m_rotateBytes &&
        m_files.rename(file, oldPath()) == platform::FileError::None) {
        size = 0;
        renamed = true;
    }
    QByteArray bytes;
    if (size == 0) {
        bytes = header();
    } else if (!m_endChecked) {
        // A file cut short in the middle of a line (a crash, a full disk) gets its line ended,
        // so that the new record starts a line of its own.
        const auto last = m_files.readPart(file, size - 1, 1);
        if (last && *last != "\n")
            bytes = "\r\n";
    }
    m_endChecked = true;
    bytes += records;
    const int error = m_files.append(file, bytes);
    if (renamed)
        emit rotated();
    if (error != platform::FileError::None) {
        m_pending = records;
        // Far more than a run closes: the oldest records go first.
        if (m_pending.size() > m_rotateBytes) {
            const qsizetype cut = m_pending.indexOf('\n', m_pending.size() - m_rotateBytes);
            m_pending.remove(0, cut < 0 ? m_pending.size() : cut + 1);
        }
        m_endChecked = false;
        if (!m_warned) {
            m_warned = true;
            m_dialogs.message(QStringLiteral("Impossible d'écrire dans le journal :\r") + file +
                                  QStringLiteral("\rLes fermetures y seront écrites "
                                                 "dès que possible."),
                              platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                              QStringLiteral("Erreur"));
        }
        return;
    }
    m_pending.clear();
    m_warned = false;
    emit appended(size, bytes.size());
}

std::optional<QByteArray> JournalFile::wholeJournal(int* error) const {
    QByteArray records;
    for (const QString& file : {oldPath(), path()}) {
        if (!platform::FileExists(m_files, file))
            continue;
        int readError = platform::FileError::None;
        const auto bytes = m_files.readAll(file, &readError);
        if (!bytes) {
            if (error)
                *error = readError ? readError : platform::FileError::DeviceIO;
            return std::nullopt;
        }
        records += recordsOf(*bytes);
    }
    if (!holdsRecord(records))
        return std::nullopt;
    return header() + records;
}

std::vector<QDate> JournalFile::closureDays() const {
    std::vector<QDate> days;
    const auto whole = wholeJournal();
    if (!whole)
        return days;
    // The date is the first field of a record, never quoted (yyyy-MM-dd); a record holds no
    // line break (the writer turns them into blanks), so each line after the header is one.
    const QByteArrayList lines = whole->split('\n');
    days.reserve(std::size_t(lines.size()));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        if (line.trimmed().isEmpty())
            continue;
        days.push_back(
            QDate::fromString(QString::fromLatin1(line.left(line.indexOf(','))), Qt::ISODate));
    }
    return days;
}

void JournalFile::exportChosen() {
    int error = platform::FileError::None;
    const auto whole = wholeJournal(&error);
    if (!whole) {
        if (error != platform::FileError::None)
            m_dialogs.message(QStringLiteral("Impossible de lire le journal :\r") + path(),
                              platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                              QStringLiteral("Erreur"));
        else
            m_dialogs.message(QStringLiteral("Le journal est vide : rien à exporter."),
                              platform::MessageButtons::Ok, platform::MessageIcon::Information,
                              QString());
        return;
    }
    const auto target = m_dialogs.saveFile(
        QStringLiteral("Exporter le journal"),
        platform::withTrailingSlash(folder()) + QStringLiteral("Journal-export.csv"),
        QStringLiteral("Fichier CSV (*.csv)|*.csv|Tous les fichiers (*.*)|*.*"));
    if (!target || target->isEmpty())
        return;
    // A name given without any extension gets the CSV one.
    QString chosen = *target;
    if (!chosen.section(u'/', -1).contains(u'.'))
        chosen += QStringLiteral(".csv");
    if (chosen == path() || chosen == oldPath()) {
        // Written over itself, the journal would hold its old records twice.
        m_dialogs.message(QStringLiteral("Choisissez un autre fichier que le journal lui-même."),
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Erreur"));
        return;
    }
    if (m_files.writeAll(chosen, *whole) != platform::FileError::None) {
        m_dialogs.message(QStringLiteral("Impossible d'écrire le fichier :\r") + chosen,
                          platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                          QStringLiteral("Erreur"));
        return;
    }
    m_dialogs.message(QStringLiteral("Journal exporté :\r") + chosen, platform::MessageButtons::Ok,
                      platform::MessageIcon::Information, QString());
}

} // namespace watch
