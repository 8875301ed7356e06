#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "watch/Closure.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace watch {

// The journal that lasts: every closure and refusal is appended at once to `Journal.csv` in the
// folder of the keyword list, one record a line: date, time, cause, keyword, page name and
// address, in UTF-8 CSV (RFC 4180) under a header line. When a record would take the file
// past 10 MB, the file becomes `Journal.1.csv` (replacing the one before) and a new one begins.
class JournalFile : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kRotateBytes = 10 * 1024 * 1024;

    JournalFile(platform::Files& files, platform::Clock& clock, platform::Dialogs& dialogs,
                qint64 rotateBytes = kRotateBytes);

    /// The folder the journal lives in (the program folder until set).
    void setFolder(const QString& folder) { m_folder = folder; }
    QString path() const;
    /// The file the journal became at its last rotation.
    QString oldPath() const;
    const platform::Files& files() const { return m_files; }
    /// The first line of each journal file, line end included.
    static QByteArray header();

    /// Appends the record of a closure. A record that cannot be written waits in memory and
    /// goes with the next one that can; the user is told once until writing works again.
    void append(const Closure& closure);
    /// The export command: asks for a file and writes the whole journal to it.
    void exportChosen();
    /// The whole journal as one CSV text: the header, the old file's records, the current
    /// file's. Nothing when it holds no record; `error` tells a file that could not be read.
    std::optional<QByteArray> wholeJournal(int* error = nullptr) const;
    /// The day of every record of both files, oldest first (a record whose date cannot be read
    /// gives an invalid date).
    std::vector<QDate> closureDays() const;

signals:
    /// Bytes were added to the current file at `offset`.
    void appended(qint64 offset, qint64 length);
    /// The current file became the old one; a new one begins.
    void rotated();

private:
    QString folder() const;

    platform::Files& m_files;
    platform::Clock& m_clock;
    platform::Dialogs& m_dialogs;
    qint64 m_rotateBytes;
    QString m_folder;
    QByteArray m_pending; // records not written yet
    bool m_warned = false;
    bool m_endChecked = false;
};

} // namespace watch
