// The desktop notices over D-Bus, against a notification service of the test's own on a
// private session bus (dbus-daemon), and the fallback where there is no service.

#include "fakes/FakePlatform.h"
#include "platform/linux/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using platform::linuxp::DesktopNotifier;

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "tavrel-linux-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return instance ? *instance : *QCoreApplication::instance();
}

bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A bus of the test's own.
class PrivateBus {
public:
    PrivateBus() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForReadyRead(5000))
            return;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : m_names)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }
    bool ok() const { return !m_address.isEmpty(); }
    QDBusConnection connect(const QString& name) {
        m_names.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

// The notification service: records each notice it is given, answers with its own numbers.
class Service : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString app;
        uint replaces;
        QString title;
        QString text;
        QStringList actions;
    };
    std::vector<Notice> notices;
    QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body-markup")};

public Q_SLOTS:
    uint Notify(const QString& app, uint replaces, const QString&, const QString& title,
                const QString& text, const QStringList& actions, const QVariantMap&, int) {
        notices.push_back({app, replaces, title, text, actions});
        return replaces ? replaces : uint(100 + notices.size());
    }
    QStringList GetCapabilities() { return capabilities; }
};

} // namespace

TEST(DesktopNotifier, ShowsNoticesThroughTheServiceAndReportsTheirAction) {
    app();
    PrivateBus bus;
    if (!bus.ok())
        GTEST_SKIP() << "no dbus-daemon to test against";
    QDBusConnection server = bus.connect(QStringLiteral("server"));
    Service service;
    ASSERT_TRUE(server.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                      QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));

    fakes::Transcript transcript;
    fakes::FakeNotifier balloons(transcript);
    DesktopNotifier notifier(&balloons, bus.connect(QStringLiteral("client")));
    ASSERT_TRUE(notifier.serviceAvailable());
    ASSERT_TRUE(notifier.available());
    // The service reads markup: the page's own text must not become markup.
    ASSERT_TRUE(waitFor([&] { return notifier.serviceReadsMarkup(); }));
    notifier.show(1, QStringLiteral("Tavrel"), QStringLiteral("Fenêtre fermée\n<b>Pub</b> & co"),
                  QStringLiteral("Ouvrir quand même"));
    ASSERT_TRUE(waitFor([&] { return service.notices.size() == 1; }));
    const Service::Notice& first = service.notices.front();
    EXPECT_EQ(first.app, QStringLiteral("Tavrel"));
    EXPECT_EQ(first.replaces, 0u);
    EXPECT_EQ(first.title, QStringLiteral("Tavrel"));
    EXPECT_EQ(first.text, QStringLiteral("Fenêtre fermée\n&lt;b&gt;Pub&lt;/b&gt; &amp; co"));
    EXPECT_EQ(first.actions, (QStringList{"open", "Ouvrir quand même"}));

    // The same number again replaces that notice, once its number is known.
    ASSERT_TRUE(waitFor([&] { return notifier.numbered(1); }));
    notifier.show(1, QStringLiteral("Tavrel"), QStringLiteral("12 fenêtres fermées"), QString());
    ASSERT_TRUE(waitFor([&] { return service.notices.size() == 2; }));
    EXPECT_EQ(service.notices[1].replaces, 101u);
    EXPECT_TRUE(service.notices[1].actions.isEmpty());

    // The user's choice comes back under the program's number; other keys and numbers do not.
    notifier.show(2, QStringLiteral("Tavrel"), QStringLiteral("Pop-up refusé"),
                  QStringLiteral("Ouvrir quand même"));
    ASSERT_TRUE(waitFor([&] { return notifier.numbered(2); }));
    std::vector<quint32> chosen;
    QObject::connect(&notifier, &platform::Notifier::actionInvoked,
                     [&](quint32 id) { chosen.push_back(id); });
    auto invoke = [&](uint serverId, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << serverId << key;
        server.send(signal);
    };
    invoke(103, QStringLiteral("default"));
    invoke(999, QStringLiteral("open"));
    invoke(103, QStringLiteral("open"));
    invoke(101, QStringLiteral("open"));
    // Signals arrive in the order sent: the last one tells that the others were heard.
    ASSERT_TRUE(waitFor([&] { return chosen.size() == 2; }));
    EXPECT_EQ(chosen, (std::vector<quint32>{2, 1}));
    EXPECT_TRUE(balloons.shown.empty());

    // When the service leaves, the notices go to the fallback.
    server.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    ASSERT_TRUE(waitFor([&] { return !notifier.serviceAvailable(); }));
    notifier.show(3, QStringLiteral("Tavrel"), QStringLiteral("Fenêtre fermée"),
                  QStringLiteral("Ouvrir quand même"));
    ASSERT_EQ(balloons.shown.size(), 1u);
    EXPECT_EQ(balloons.shown[0].id, 3u);
    emit balloons.actionInvoked(3);
    EXPECT_EQ(chosen, (std::vector<quint32>{2, 1, 3}));
}

TEST(DesktopNotifier, WithoutABusTheFallbackShowsTheNotices) {
    app();
    fakes::Transcript transcript;
    fakes::FakeNotifier balloons(transcript);
    DesktopNotifier notifier(&balloons,
                             QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                           QStringLiteral("nowhere")));
    EXPECT_FALSE(notifier.serviceAvailable());
    EXPECT_TRUE(notifier.available());
    notifier.show(1, QStringLiteral("Tavrel"), QStringLiteral("x"), QString());
    EXPECT_EQ(balloons.shown.size(), 1u);
    DesktopNotifier alone(nullptr,
                          QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                        QStringLiteral("nowhere2")));
    EXPECT_FALSE(alone.available());
    alone.show(1, QStringLiteral("Tavrel"), QStringLiteral("x"), QString()); // nothing, no crash
}

#include "NotifierTest.moc"
