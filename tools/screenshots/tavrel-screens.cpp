// Writes a PNG of every tab of the main window, of its notification-area menu and of each
// dialog, with the program running on the simulated platform filled with sample data.
//
//   tavrel-screens OUTPUT-FOLDER
//
// Dialogs are real Qt dialogs: each one is photographed as it opens and then dismissed, so
// the program runs through without anyone at the keyboard.

#include "SampleWorld.h"

#include "app/Program.h"
#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "controls/FolderList.h"
#include "fakes/FakePlatform.h"
#include "platform/ModalForm.h"
#include "view/MainWindow.h"
#include "view/QtDialogs.h"
#include "view/TrayNotifier.h"
#include "watch/Csv.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWindow>
#include <algorithm>
#include <cstdio>

namespace {

using fakes::FakePlatform;
using screens::fillSamples;
using screens::seedWorld;

void wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Photographs each modal dialog that opens and dismisses it.
class DialogCamera : public QObject {
public:
    explicit DialogCamera(QDir out) : m_out(std::move(out)) {
        connect(&m_poll, &QTimer::timeout, this, [this] { look(); });
        m_poll.start(100);
    }
    /// The name of the next dialog's picture; unnamed ones are numbered.
    void expect(const QString& name) { m_next = name; }
    QStringList written;

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            m_seenFor = 0;
            return;
        }
        // Let it lay out and paint for a moment.
        if (++m_seenFor < 4)
            return;
        m_seenFor = 0;
        QString name = m_next;
        m_next.clear();
        if (name.isEmpty())
            name = QStringLiteral("dialog-%1").arg(++m_unnamed, 2, 10, QLatin1Char('0'));
        save(modal, name);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }

public:
    void save(QWidget* w, const QString& name) {
        const QString path = m_out.filePath(name + QStringLiteral(".png"));
        if (w->grab().save(path))
            written.append(path);
        else
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }

private:
    QDir m_out;
    QTimer m_poll;
    QString m_next;
    int m_seenFor = 0;
    int m_unnamed = 0;
};

QString fileNameFor(int index, const QString& caption) {
    QString slug;
    for (QChar c : caption.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.unicode() < 128)
            slug += c.toLower();
        else if (c.isSpace() && !slug.endsWith(u'-'))
            slug += u'-';
    return QStringLiteral("tab-%1-%2").arg(index).arg(slug);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavrel-screens OUTPUT-FOLDER\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    FakePlatform fake;
    seedWorld(fake);
    view::QtDialogs dialogs;
    platform::Platform& base = fake.platform();
    platform::Platform platform{base.browser,  base.files,  base.settings,  dialogs,
                                base.clock,    base.sound,  base.processes, base.instance,
                                base.registry, base.system, base.notifier};

    DialogCamera camera(out);
    camera.expect(QStringLiteral("startup-message"));
    std::unique_ptr<app::Program> program;
    try {
        program = app::startUp(platform);
    } catch (const fakes::ProgramEnded&) {
        std::fprintf(stderr, "the program ended during start-up\n");
        return 1;
    }
    if (!program)
        return 1;
    app::MainForm* form = &program->form();
    // Keep the sample data as it is while the pictures are taken.
    for (controls::Timer* t : {&form->keywordScanTimer, &form->sizeScanTimer, &form->flashTimer})
        t->setEnabled(false);
    fillSamples(*program);
    if (!form->visible())
        program->taskBarIcon().showFromTray();

    view::MainWindow window(*program);
    dialogs.setParentWindow(&window);
    window.move(40, 30);
    wait(800);

    QTabWidget* tabs = window.tabs();
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        form->tabs.setCurrent(i);
        wait(300);
        camera.save(&window, fileNameFor(i, tabs->tabText(i)));
    }
    // The cookie tab while no browser is watched: the folder of cookie files.
    form->tabs.setCurrent(4);
    fake.browser.setCookieStore(false);
    if (form->cookieFileView.rowCount() > 0) {
        form->cookieFileView.setSelected(0, true);
        form->cookieFileView.dblClick();
    }
    wait(300);
    camera.save(&window, QStringLiteral("tab-4-cookies-folder"));
    // Back to the browser's cookies, the site with most of them analysed.
    fake.browser.setCookieStore(true);
    for (int r = 0; r < form->cookieFileView.rowCount(); ++r)
        if (form->cookieFileView.text(r) == u"journal.example") {
            form->cookieFileView.setSelected(r, true);
            form->cookieFileView.dblClick();
        }
    wait(300);
    camera.save(&window, QStringLiteral("tab-4-cookies-browser"));
    // The filter box over the keyword list, the statistics ordered by their counts.
    form->tabs.setCurrent(0);
    form->findKeywordBox.setText(QStringLiteral("pub"));
    wait(300);
    camera.save(&window, QStringLiteral("tab-0-mots-cles-filtre"));
    form->findKeywordBox.setText(QString());
    form->tabs.setCurrent(3);
    form->statisticsView.setOrder(0, true);
    form->findStatisticBox.setText(QStringLiteral("example"));
    wait(300);
    camera.save(&window, QStringLiteral("tab-3-statistiques-tri-filtre"));
    form->findStatisticBox.setText(QString());
    form->statisticsView.setOrder(-1, false);
    // The Configuration tab with the browsers found, as the list opens.
    form->tabs.setCurrent(2);
    wait(300);
    if (auto* browsers = window.findChild<QComboBox*>(QStringLiteral("cboBrowser"))) {
        browsers->showPopup();
        wait(500);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QPixmap shot =
                screen->grabWindow(0, window.frameGeometry().x(), window.frameGeometry().y(),
                                   window.frameGeometry().width(), window.frameGeometry().height());
            const QString file =
                out.filePath(QStringLiteral("tab-2-configuration-navigateurs.png"));
            if (!shot.isNull() && shot.save(file))
                camera.written.append(file);
        }
        browsers->hidePopup();
    }
    form->tabs.setCurrent(0);

    // The Journal tab with a row chosen, as "Toujours autoriser ce site" works on it, and the
    // site typed in the box of the "Mots Clés" tab.
    if (form->journalView.rowCount() > 0)
        form->journalView.setSelected(0, true);
    form->siteBox.setText(QStringLiteral("www.cuisine.example"));
    form->tabs.setCurrent(1);
    wait(300);
    camera.save(&window, QStringLiteral("tab-1-journal-row-chosen"));
    form->tabs.setCurrent(0);
    wait(300);
    camera.save(&window, QStringLiteral("tab-0-site-typed"));

    // A notice as the notification-area balloon shows it where the desktop has no
    // notification service, with the whole screen around it.
    view::TrayNotifier balloons;
    balloons.setIcon(window.trayIcon());
    if (balloons.available()) {
        balloons.show(1, QStringLiteral("Tavrel"),
                      QStringLiteral("Pop-up refusé (pop-up sans clic)\nActualités - Le "
                                     "Journal\nhttp://popup.example/offre?id=42"),
                      QStringLiteral("Ouvrir quand même"));
        wait(1200);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QPixmap desktop = screen->grabWindow(0);
            if (!desktop.isNull() && desktop.save(out.filePath(QStringLiteral("notice.png"))))
                camera.written.append(out.filePath(QStringLiteral("notice.png")));
        }
    } else {
        std::fprintf(stderr, "note: no notification area here: no picture of a notice\n");
    }

    // The notification-area menu, as the icon's right click opens it, and the whole screen
    // with it: the window frame and, under a desktop with a notification area, the icon.
    QMenu* menu = window.trayMenu();
    QPoint at = window.mapToGlobal(QPoint(window.width() - 220, 60));
    if (window.trayIcon() && view::MainWindow::trayAvailable() &&
        window.trayIcon()->geometry().isValid())
        at = window.trayIcon()->geometry().topLeft() - QPoint(menu->sizeHint().width(), 0);
    menu->popup(at);
    wait(500);
    camera.save(menu, QStringLiteral("menu-fichier"));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QPixmap desktop = screen->grabWindow(0);
        if (!desktop.isNull() && desktop.save(out.filePath(QStringLiteral("desktop.png"))))
            camera.written.append(out.filePath(QStringLiteral("desktop.png")));
    }
    menu->hide();

    camera.expect(QStringLiteral("message-box"));
    dialogs.message(QStringLiteral("Etes vous certain de supprimer les cookies sélectionnés ?"),
                    platform::MessageButtons::YesNo, platform::MessageIcon::Question,
                    QStringLiteral("Suppression des Cookies"));
    camera.expect(QStringLiteral("input-box"));
    dialogs.input(QStringLiteral("Le mot de passe permet de quitter Tavrel.\rMot de passe "
                                 "S.V.P.?"),
                  QStringLiteral("Entrez le mot de passe - Protection en cours"), QString());
    // The file dialog over a folder of sounds made for the picture.
    QTemporaryDir sounds;
    for (const char* name : {"Tavrel.wav", "alerte.wav", "clochette.WAV", "notes.txt"}) {
        QFile file(QDir(sounds.path()).filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write("RIFF");
    }
    camera.expect(QStringLiteral("file-dialog"));
    dialogs.openFile(QStringLiteral("Choix d'un fichier son .WAV"), sounds.path(),
                     QStringLiteral("Fichier son Wav|*.wav"));

    // The modal forms, opened as the user opens them.
    const int before = int(camera.written.size());
    camera.expect(QStringLiteral("frmAbout"));
    program->showAbout();
    if (int(camera.written.size()) == before)
        std::fprintf(stderr, "note: the About box did not open in this build\n");
    const int beforeDetails = int(camera.written.size());
    camera.expect(QStringLiteral("frmDetails"));
    form->tabs.setCurrent(4);
    if (form->cookieRecordView.rowCount() > 0) {
        form->cookieRecordView.setSelected(0, true);
        form->cookieRecordView.dblClick();
    }
    if (int(camera.written.size()) == beforeDetails)
        std::fprintf(stderr, "note: the cookie details did not open in this build\n");

    // No browser watched: the message that says why, then the status bar that keeps saying it.
    form->tabs.setCurrent(0);
    for (platform::BrowserWindow* w : fake.browser.windows())
        fake.browser.close(w->hwnd());
    program->keywordScan().tick(); // the window list empties as a tick finds no window
    camera.expect(QStringLiteral("message-no-browser"));
    fake.browser.setStatus({platform::BrowserStatus::State::Stopped,
                            platform::BrowserStatus::Reason::NotFound, QStringLiteral("Chromium"),
                            QStringLiteral("chromium"), false});
    wait(300);
    camera.save(&window, QStringLiteral("status-no-browser"));

    for (const QString& path : camera.written)
        std::printf("%s\n", qPrintable(path));
    const QStringList left = window.widgets().unplaced();
    if (!left.isEmpty())
        std::fprintf(stderr, "controls without a place in the window: %s\n",
                     qPrintable(left.join(QStringLiteral(", "))));
    return 0;
}
