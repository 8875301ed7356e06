// A Qt plugin that drives the installed program in the installation test, from inside its
// process: loaded into the real, unmodified program through QT_PLUGIN_PATH and
// QT_QPA_GENERIC_PLUGINS=tavreldriver, never installed. It adds a keyword by the "Ajouter"
// button and its input box, saves the list ("Enregistrer la liste des mots clés") and quits
// ("Quitter Tavrel"). TAVREL_DRIVER_KEYWORD is the keyword; TAVREL_DRIVER_GO names a file that
// must exist before it begins (the test first checks the window on the X server);
// TAVREL_DRIVER_EXPECT is the beginning of a message box the program is to show once (the
// test starts it with no browser to watch), which is answered OK.
// Any other dialog, or a step that does not come within the time, ends the program with an
// exit code of its own and the reason on standard error.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(int code, const QString& why) {
    std::fprintf(stderr, "test driver: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::_Exit(code);
}

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"FrmMain" && w->isVisible())
            return w;
    return nullptr;
}

class Driver : public QObject {
public:
    Driver() {
        m_keyword = qEnvironmentVariable("TAVREL_DRIVER_KEYWORD");
        m_go = qEnvironmentVariable("TAVREL_DRIVER_GO");
        m_expect = qEnvironmentVariable("TAVREL_DRIVER_EXPECT");
        connect(&m_tick, &QTimer::timeout, this, &Driver::step);
        m_tick.start(100);
    }

private:
    enum class State { WaitWindow, WaitInputBox, Save, Quit };

    void click(const char* name) {
        QWidget* window = mainWindow();
        auto* button = window ? window->findChild<QAbstractButton*>(QLatin1String(name)) : nullptr;
        if (!button || !button->isEnabled())
            fail(5, QStringLiteral("no enabled button %1").arg(QLatin1String(name)));
        // Queued: a button that opens a modal box runs its loop outside this step.
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    }

    void step() {
        if (++m_ticks > 600)
            fail(4, QStringLiteral("timed out in step %1").arg(int(m_state)));
        QWidget* modal = QApplication::activeModalWidget();
        auto* input = qobject_cast<QInputDialog*>(modal);
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box && !m_expect.isEmpty() && box->text().startsWith(m_expect)) {
            m_expect.clear(); // once
            box->accept();
            return;
        }
        if (modal && !(input && m_state == State::WaitInputBox)) {
            QString text = modal->windowTitle();
            for (QLabel* label : modal->findChildren<QLabel*>())
                text += QStringLiteral(" | ") + label->text();
            fail(3, QStringLiteral("unexpected dialog: ") + text);
        }
        switch (m_state) {
        case State::WaitWindow: {
            QWidget* window = mainWindow();
            if (!window || (!m_go.isEmpty() && !QFile::exists(m_go)))
                return;
            if (window->windowTitle() != u"Tavrel")
                fail(6, QStringLiteral("window title %1").arg(window->windowTitle()));
            click("Command5"); // "Ajouter"
            m_state = State::WaitInputBox;
            return;
        }
        case State::WaitInputBox:
            if (!input)
                return;
            input->setTextValue(m_keyword);
            input->accept();
            m_state = State::Save;
            return;
        case State::Save:
            click("Command19"); // "Enregistrer la liste des mots clés"
            m_state = State::Quit;
            return;
        case State::Quit:
            if (!m_expect.isEmpty())
                fail(7, QStringLiteral("the message was not shown: ") + m_expect);
            click("Command9"); // "Quitter Tavrel": saves again, then ends the program
            m_tick.stop();
            return;
        }
    }

    QTimer m_tick;
    State m_state = State::WaitWindow;
    int m_ticks = 0;
    QString m_keyword;
    QString m_go;
    QString m_expect;
};

} // namespace

class TavrelDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "driver.json")

public:
    QObject* create(const QString& key, const QString&) override {
        return key.compare(QLatin1String("tavreldriver"), Qt::CaseInsensitive) == 0 ? new Driver
                                                                                    : nullptr;
    }
};

#include "TestDriver.moc"
