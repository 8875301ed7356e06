#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeBrowser.h"
#include "platform/fake/FakeFiles.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/Transcript.h"

#include <QMap>
#include <deque>
#include <functional>

namespace platform::fake {

// Thrown by FakeProcesses::endNow to unwind to the scenario runner or the test.
struct ProgramEnded {};

class FakeSettings : public SettingsStore {
public:
    std::optional<QString> value(const QString& app, const QString& section,
                                 const QString& key) const override;
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override;
    /// Every value as "Section/Key" (the application name is always "Tavrel").
    const QMap<QString, QString>& all() const { return m_values; }

private:
    QMap<QString, QString> m_values;
};

// Dialogs answered from queues; each one shown is written to the transcript.
class FakeDialogs : public Dialogs {
public:
    explicit FakeDialogs(Transcript& t) : m_t(t) {}
    MessageAnswer message(const QString& text, MessageButtons buttons, MessageIcon icon,
                          const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> openFile(const QString& title, const QString& initialFolder,
                                    const QString& filter) override;
    void runModal(ModalForm& form) override;

    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers; // nothing = Cancel
    std::deque<std::optional<QString>> fileAnswers;  // nothing = Cancel
    /// Drives a modal form until it closes (the scenario runner reads its next commands).
    std::function<void(ModalForm&)> modalDriver;

private:
    Transcript& m_t;
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now{QDate(2026, 1, 1), QTime(12, 0, 0)};
};

// Plays a file when it exists in the fake file system.
class FakeSound : public Sound {
public:
    FakeSound(Transcript& t, const Files& files) : m_t(t), m_files(files) {}
    bool play(const QString& file) override;
    void playDefault() override;

private:
    Transcript& m_t;
    const Files& m_files;
};

class FakeProcesses : public Processes {
public:
    explicit FakeProcesses(Transcript& t) : m_t(t) {}
    bool start(const QString& program, const QStringList& arguments) override;
    bool openUrl(const QString& url) override;
    bool openInternetOptions() override;
    void processEvents() override;
    [[noreturn]] void endNow() override;
    /// Programs that cannot be started.
    QStringList missingPrograms;
    /// Runs at each processEvents (the scenario runner's pending commands).
    std::function<void()> onProcessEvents;

private:
    Transcript& m_t;
};

class FakeInstance : public Instance {
public:
    bool claim() override;

private:
    bool m_claimed = false;
};

class FakeSystem : public System {
public:
    QString programFileName() const override { return QStringLiteral("Tavrel"); }
    bool isNTPlatform() const override { return true; }
    QString shortPath(const QString& path) const override { return path; }
    QString systemFolder() const override { return QStringLiteral("/system"); }
    std::optional<QByteArray> loadResource(int number, const QString& type) const override;
    long selfRegister(const QString& libraryFileName) override;
    bool createComponent(const QString& className) override;
    /// Component classes that can be created.
    QStringList registeredClasses;
};

// Every fake together, ready to hand to the program.
class FakePlatform {
public:
    FakePlatform();
    Platform& platform() { return m_platform; }

    Transcript transcript;
    FakeFiles files;
    FakeBrowserShell browser{transcript};
    FakeSettings settings;
    FakeDialogs dialogs{transcript};
    FakeClock clock;
    FakeSound sound{transcript, files};
    FakeProcesses processes{transcript};
    FakeInstance instance;
    FakeRegistry registry;
    FakeSystem system;

private:
    Platform m_platform;
};

} // namespace platform::fake
