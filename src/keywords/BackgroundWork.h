#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace keywords {

// Work too long for the interface thread (reading a large list file): it runs on a thread of
// its own, touching only what it was given, and its result is handed back on the interface
// thread, where the program's data is changed. This is the program's one exception to
// "everything on the event loop's thread", and it stays that narrow: the work reads its input
// and builds a result, nothing else.
//
// The result is handed back by the event loop as soon as it is ready, or at once by `finish`
// (which waits for it): whoever is about to change or save what the work replaces calls
// `finish` first, so nothing done meanwhile is lost or overwritten. Work started while other
// work runs finishes that one first. Going away waits for the work running and drops its
// result.
class BackgroundWork : public QObject {
public:
    /// Inputs longer than this (bytes or characters) are worth a thread; shorter ones are
    /// done at once.
    static constexpr qsizetype kLargeInput = 256 * 1024;

    BackgroundWork() = default;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;
    ~BackgroundWork() override {
        if (m_thread.joinable())
            m_thread.join();
    }

    /// Runs `work` on a thread of its own, then `done` with its result on this object's
    /// thread.
    template <typename T> void run(std::function<T()> work, std::function<void(T)> done) {
        finish();
        // Written by the thread before it ends, read here only after joining it.
        auto result = std::make_shared<std::optional<T>>();
        m_deliver = [result, done = std::move(done)] { done(std::move(**result)); };
        const quint64 serial = ++m_serial;
        m_thread = std::thread([this, serial, result, work = std::move(work)] {
            result->emplace(work());
            QMetaObject::invokeMethod(
                this,
                [this, serial] {
                    if (serial == m_serial)
                        finish();
                },
                Qt::QueuedConnection);
        });
    }
    /// Whether a result is still to be handed back.
    bool busy() const { return bool(m_deliver); }
    /// Waits for the work running, if any, and hands its result back now.
    void finish() {
        if (!m_deliver)
            return;
        m_thread.join();
        const auto deliver = std::move(m_deliver);
        m_deliver = nullptr;
        deliver();
    }

private:
    std::thread m_thread;
    std::function<void()> m_deliver; // set while a result is to be handed back
    quint64 m_serial = 0;            // read and written on this object's thread only
};

} // namespace keywords
