#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starting programs and opening documents, always with an argument vector.
class Processes {
public:
    virtual ~Processes() = default;
    /// Starts a program with these arguments; false when it cannot be started.
    virtual bool start(const QString& program, const QStringList& arguments) = 0;
    /// Opens an address (web page, mailto: link) with the user's preferred application.
    virtual bool openUrl(const QString& url) = 0;
    /// Opens the watched browser's cookie settings; false when there is nothing to open.
    virtual bool openInternetOptions() = 0;
    /// Lets pending window events run (the program's DoEvents). Long loops call it at every
    /// step; the events may run only now and then (every few milliseconds), in batches.
    virtual void processEvents() = 0;
    /// Ends the process at once; no further step of any window runs.
    [[noreturn]] virtual void endNow() = 0;
};

} // namespace platform
