#pragma once

#include "fakes/FakeBrowser.h"
#include "fakes/FakeFiles.h"
#include "fakes/FakeRegistry.h"
#include "fakes/Transcript.h"
#include "platform/Platform.h"

#include <QMap>
#include <deque>
#include <functional>
#include <vector>

namespace fakes {

// Thrown by FakeProcesses::endNow to unwind to the scenario runner or the test.
struct ProgramEnded {};

class FakeSettings : public platform::SettingsStore {
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
class FakeDialogs : public platform::Dialogs {
public:
    explicit FakeDialogs(Transcript& t) : m_t(t) {}
    platform::MessageAnswer message(const QString& text, platform::MessageButtons buttons,
                                    platform::MessageIcon icon, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> openFile(const QString& title, const QString& initialFolder,
                                    const QString& filter) override;
    std::optional<QString> saveFile(const QString& title, const QString& initialPath,
                                    const QString& filter) override;
    void runModal(platform::ModalForm& form) override;

    std::deque<platform::MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers; // nothing = Cancel
    std::deque<std::optional<QString>> fileAnswers;  // nothing = Cancel (open and save)
    /// Drives a modal form until it closes (the scenario runner reads its next commands).
    std::function<void(platform::ModalForm&)> modalDriver;

private:
    Transcript& m_t;
};

class FakeClock : public platform::Clock {
public:
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now{QDate(2026, 1, 1), QTime(12, 0, 0)};
};

// Plays a file when it exists in the fake file system.
class FakeSound : public platform::Sound {
public:
    FakeSound(Transcript& t, const platform::Files& files) : m_t(t), m_files(files) {}
    bool play(const QString& file) override;
    void playDefault() override;

private:
    Transcript& m_t;
    const platform::Files& m_files;
};

class FakeProcesses : public platform::Processes {
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

class FakeInstance : public platform::Instance {
public:
    bool claim() override;

private:
    bool m_claimed = false;
};

class FakeSystem : public platform::System {
public:
    QString programFileName() const override { return QStringLiteral("Tavrel"); }
    QString programFileFolder() const override { return QStringLiteral("/prog"); }
    bool isNTPlatform() const override { return true; }
    QString shortPath(const QString& path) const override { return path; }
    QString systemFolder() const override { return QStringLiteral("/system"); }
    std::optional<QByteArray> loadResource(int number, const QString& type) const override;
    long selfRegister(const QString& libraryFileName) override;
    bool createComponent(const QString& className) override;
    /// Component classes that can be created.
    QStringList registeredClasses;
};

// Notices recorded as they are shown; printed once `listening` is set:
// `notice 1 "Tavrel" "text" action "Ouvrir quand même"` (no `action ...` when it has none).
class FakeNotifier : public platform::Notifier {
    Q_OBJECT
public:
    explicit FakeNotifier(Transcript& t) : m_t(t) {}
    bool available() const override { return true; }
    void show(quint32 id, const QString& title, const QString& text,
              const QString& action) override;

    struct Notice {
        quint32 id = 0;
        QString title;
        QString text;
        QString action;
    };
    /// Every notice shown, in order (a replacement is a notice of its own).
    std::vector<Notice> shown;
    bool listening = false;
    /// The user chooses the action of notice `id` as it shows now; false when it has none.
    bool invoke(quint32 id);

private:
    Transcript& m_t;
};

// Every fake together, ready to hand to the program.
class FakePlatform {
public:
    FakePlatform();
    platform::Platform& platform() { return m_platform; }

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
    FakeNotifier notifier{transcript};

private:
    platform::Platform m_platform;
};

} // namespace fakes
