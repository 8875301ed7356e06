// Writes a PNG of every tab of the main window, of its notification-area menu and of each
// dialog, with the program running on the simulated platform filled with sample data.
//
//   tavrel-screens OUTPUT-FOLDER
//
// Dialogs are real Qt dialogs: each one is photographed as it opens and then dismissed, so
// the program runs through without anyone at the keyboard.

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

QByteArray crlf(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

// The files, settings and browser windows of a user who has run Tavrel for a while.
void seedWorld(FakePlatform& fake) {
    auto& files = fake.files;
    // A list grown from imported filter lists, with the closures of a few weeks.
    const std::pair<const char*, int> keywords[] = {{"doubleclick", 47},
                                                    {"adserver", 31},
                                                    {"popup", 64},
                                                    {"casino", 12},
                                                    {"banniere", 0},
                                                    {"tracker", 22},
                                                    {"clickbank", 3},
                                                    {"pub.", 18},
                                                    {"ads.example.com", 27},
                                                    {"pubmatic.example", 9},
                                                    {"adnxs.example", 15},
                                                    {"taboola.example", 38},
                                                    {"outbrain.example", 25},
                                                    {"popads.example", 41},
                                                    {"propellerads.example", 6},
                                                    {"publicite-en-ligne", 4},
                                                    {"exoclick.example", 11},
                                                    {"criteo.example", 8},
                                                    {"pubfuture.example", 2},
                                                    {"adsterra.example", 14}};
    QStringList list;
    QStringList records;
    for (const auto& [keyword, count] : keywords) {
        list.append(QString::fromUtf8(keyword));
        records.append(QStringLiteral("\"%1\",%2").arg(QString::fromUtf8(keyword)).arg(count));
    }
    std::reverse(list.begin(), list.end()); // the file holds the list last keyword first
    files.setFile(QStringLiteral("/prog/ListeUrl.dat"), crlf(list));
    files.setFile(QStringLiteral("/prog/Statistiques.dat"), crlf(records));
    files.setFile(QStringLiteral("/prog/Tavrel.aide"),
                  crlf({QStringLiteral("Tavrel - aide"), QString(),
                        QStringLiteral("Tavrel ferme les fenêtres publicitaires du navigateur."),
                        QStringLiteral("Onglet Mots Clés : la liste des mots qui ferment une "
                                       "fenêtre dont le titre ou l'adresse les contient."),
                        QStringLiteral("Onglet Journal : les fenêtres fermées et les totaux."),
                        QStringLiteral("Onglet Configuration : les protections, la taille des "
                                       "fenêtres, le son et le mot de passe.")}));
    files.setFile(QStringLiteral("/prog/Tavrel.wav"), QByteArray("RIFF\0\0\0\0WAVE", 12));
    const QString cookies = QStringLiteral("/home/marie/.local/share/Tavrel/Cookies");
    fake.registry.setText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                         "CurrentVersion\\Explorer\\Shell Folders"),
                          QStringLiteral("Cookies"), cookies);
    const auto cookie = [](const QString& name, const QString& value, const QString& host,
                           int flags) {
        return QStringList{name,
                           value,
                           host,
                           QString::number(flags),
                           QStringLiteral("2388463104"),
                           QStringLiteral("30124237"),
                           QStringLiteral("3461434160"),
                           QStringLiteral("29605862"),
                           QStringLiteral("*")};
    };
    files.setFile(cookies + QStringLiteral("/marie@doubleclick[1].txt"),
                  crlf(cookie(QStringLiteral("id"), QStringLiteral("80000a3c%2B1f%3D%26u"),
                              QStringLiteral("doubleclick.net/"), 0) +
                       cookie(QStringLiteral("test_cookie"), QStringLiteral("CheckForPermission"),
                              QStringLiteral("doubleclick.net/"), 1)));
    files.setFile(cookies + QStringLiteral("/marie@meteo[2].txt"),
                  crlf(cookie(QStringLiteral("ville"), QStringLiteral("Lyon"),
                              QStringLiteral("meteo.example/"), 0)));
    files.setFile(cookies + QStringLiteral("/marie@journal[1].txt"),
                  crlf(cookie(QStringLiteral("session"), QStringLiteral("a+b%3Dc%26d"),
                              QStringLiteral("journal.example/"), 0)));
    // The lasting journal of some weeks, and the sites always allowed.
    QByteArray journal = "Date,Heure,Cause,Mot cl\xC3\xA9,Nom de la page,Adresse\r\n";
    const char* samples[][5] = {
        {"mot clé", "casino", "Casino en ligne - 500 € offerts", "http://casino.example/bonus"},
        {"pop-up sans clic", "", "Actualités - Le Journal", "http://popup.example/offre?id=42"},
        {"petite fenêtre", "", "Gagnez un iPhone !", "http://promo.example/gagnant"},
        {"pop-up d'une petite fenêtre", "", "Gagnez un iPhone !", "http://promo.example/suite"},
        {"mot clé", "doubleclick", "", "http://ad.doubleclick.example/clk;2871"}};
    QDateTime when(QDate(2026, 1, 12), QTime(9, 12, 45));
    for (int i = 0; i < 60; ++i) {
        const auto& r = samples[i % 5];
        journal += watch::csv::record({when.toString(QStringLiteral("yyyy-MM-dd")),
                                       when.toString(QStringLiteral("HH:mm:ss")),
                                       QString::fromUtf8(r[0]), QString::fromUtf8(r[1]),
                                       QString::fromUtf8(r[2]), QString::fromUtf8(r[3])});
        when = when.addSecs(3600 * 7 + 127 * i);
    }
    files.setFile(QStringLiteral("/prog/Journal.csv"), journal);
    files.setFile(QStringLiteral("/prog/SitesAutorises.dat"),
                  crlf({QStringLiteral("journal.example"), QStringLiteral("meteo.example"),
                        QStringLiteral("xn--bb-bjab.fr")}));
    fake.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                           QStringLiteral("Active"), QStringLiteral("1"));
    fake.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                           QStringLiteral("ProtectMotCle"), QStringLiteral("1"));
    fake.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                           QStringLiteral("SonOK"), QStringLiteral("1"));
    fake.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                           QStringLiteral("NomSon"), QStringLiteral("/prog/Tavrel.wav"));

    // The cookies of the watched browser, as the browser gives them (no dates).
    struct Cookie {
        const char* name;
        const char* value;
        const char* domain;
        const char* path;
        bool secure, httpOnly;
        int days; // until it expires; 0 for a session cookie
    };
    for (const Cookie& c :
         {Cookie{"IDE", "AHWqTUkYl3Vx%2B9c0Qf7uZ1", ".doubleclick.net", "/", true, true, 390},
          Cookie{"test_cookie", "CheckForPermission", ".doubleclick.net", "/", true, false, 1},
          Cookie{"session", "a+b%3Dc%26d", "journal.example", "/", true, true, 0},
          Cookie{"abonne", "non", ".journal.example", "/", false, false, 180},
          Cookie{"_ga", "GA1.2.1843526105.1765097542", ".journal.example", "/", false, false, 400},
          Cookie{"ville", "Lyon", "meteo.example", "/", false, false, 30},
          Cookie{"unites", "metriques", "meteo.example", "/previsions", false, false, 30},
          Cookie{"panier", "3%7C12%7C7", "cuisine.example", "/", true, false, 7}}) {
        platform::BrowserCookie bc;
        bc.name = QString::fromUtf8(c.name);
        bc.value = QString::fromUtf8(c.value);
        bc.domain = QString::fromUtf8(c.domain);
        bc.path = QString::fromUtf8(c.path);
        bc.secure = c.secure;
        bc.httpOnly = c.httpOnly;
        if (c.days > 0)
            bc.expires = QDateTime(QDate(2026, 12, 7), QTime(9, 14, 3)).addDays(c.days);
        bc.size = bc.name.size() + bc.value.size();
        fake.browser.setCookie(bc);
    }

    // The browsers of this machine, Firefox being the desktop's default.
    fake.browser.setFound({{QStringLiteral("chromium"), QStringLiteral("Chromium")},
                           {QStringLiteral("google-chrome"), QStringLiteral("Google Chrome")},
                           {QStringLiteral("brave-browser"), QStringLiteral("Brave")},
                           {QStringLiteral("firefox"), QStringLiteral("Firefox")}},
                          QStringLiteral("firefox"));

    struct Window {
        platform::WindowHandle handle;
        const char* title;
        const char* url;
        int w, h;
    };
    for (const Window& win :
         {Window{0x1001, "Actualités - Le Journal", "https://journal.example/actualites", 1280,
                 900},
          Window{0x1002, "Météo à Lyon", "https://meteo.example/lyon", 1024, 768},
          Window{0x1003, "Recettes de saison", "https://cuisine.example/saison", 1280, 1000}}) {
        auto* w = fake.browser.open(win.handle);
        w->title = QString::fromUtf8(win.title);
        w->url = QString::fromUtf8(win.url);
        w->w = win.w;
        w->h = win.h;
    }
}

void fillIfEmpty(controls::ListView& list, const QStringList& headers,
                 const std::vector<QStringList>& rows) {
    if (list.columns().empty())
        for (const QString& h : headers)
            list.addColumn(h, 1800);
    if (list.rowCount() == 0)
        for (const QStringList& r : rows)
            list.appendRow(r);
}

// Where a loader of this build left a list empty, sample rows stand in, so that every tab
// shows what it looks like in use.
void fillSamples(app::Program& program) {
    app::MainForm& f = program.form();
    // The first cookie file analysed, as its double click does.
    if (f.cookieFileView.rowCount() > 0 && f.cookieRecordView.rowCount() == 0) {
        f.cookieFileView.setSelected(0, true);
        f.cookieFileView.dblClick();
    }
    if (program.keywords.isEmpty())
        program.keywords.assign({QStringLiteral("doubleclick"), QStringLiteral("adserver"),
                                 QStringLiteral("popup"), QStringLiteral("casino"),
                                 QStringLiteral("banniere"), QStringLiteral("tracker")});
    // The open windows as one tick of the keyword scan lists them.
    program.keywordScan().tick();
    if (program.journal.size() == 0) {
        program.journal.append({QStringLiteral("09:12:45"), QStringLiteral("popup"),
                                QStringLiteral("http://popup.example/offre?id=42")});
        program.journal.append({QStringLiteral("09:31:02"), QStringLiteral("doubleclick"),
                                QStringLiteral("http://ad.doubleclick.example/clk;2871")});
        program.journal.append({QStringLiteral("10:05:17"), QStringLiteral("casino"),
                                QStringLiteral("http://casino.example/bonus")});
    }
    if (program.statistics.size() == 0)
        program.statistics.append({{QStringLiteral("doubleclick"), 7},
                                   {QStringLiteral("adserver"), 3},
                                   {QStringLiteral("popup"), 12},
                                   {QStringLiteral("casino"), 1}});
    const QString cookies = QStringLiteral("/home/marie/.local/share/Tavrel/Cookies/");
    fillIfEmpty(
        f.cookieFileView,
        {QStringLiteral("Nom des Cookies"), QStringLiteral("Chemin"), QStringLiteral("Date"),
         QStringLiteral("Taille")},
        {{QStringLiteral("marie@doubleclick[1].txt"),
          cookies + QStringLiteral("marie@doubleclick[1].txt"),
          QStringLiteral("07/12/2026 09:14:03"), QStringLiteral("164")},
         {QStringLiteral("marie@journal[1].txt"), cookies + QStringLiteral("marie@journal[1].txt"),
          QStringLiteral("06/12/2026 18:40:51"), QStringLiteral("81")},
         {QStringLiteral("marie@meteo[2].txt"), cookies + QStringLiteral("marie@meteo[2].txt"),
          QStringLiteral("05/12/2026 07:02:26"), QStringLiteral("74")}});
    if (f.cookieFolderBox.text().isEmpty())
        f.cookieFolderBox.setText(cookies.chopped(1));
    const QString source = QStringLiteral("id\r\n80000a3c%2B1f%3D%26u\r\ndoubleclick.net/\r\n0\r\n"
                                          "2388463104\r\n30124237\r\n3461434160\r\n29605862\r\n");
    fillIfEmpty(f.cookieRecordView,
                {QStringLiteral("Domaine"), QStringLiteral("Nom du Cookie"),
                 QStringLiteral("Valeur du Cookie"), QStringLiteral("Securité"),
                 QStringLiteral("Source  "), QStringLiteral("Parent  ")},
                {{QStringLiteral("doubleclick.net/"), QStringLiteral("id"),
                  QStringLiteral("80000a3c%2B1f%3D%26u"), QStringLiteral("False"), source,
                  cookies + QStringLiteral("marie@doubleclick[1].txt")}});
    f.analysisBox.setMultiLine(true);
    if (f.analysisBox.text().isEmpty())
        f.analysisBox.setText(source + QStringLiteral("*\r\n"));
    if (f.spyNameList.count() == 0)
        for (const char* name : {"*.jse", "*.vbe", "BARGAINBUDDY.EXE", "GATOR.EXE", "SAVENOW.EXE"})
            f.spyNameList.addItem(QString::fromLatin1(name));
    if (f.foundFileList.count() == 0)
        for (const char* path : {"/home/marie/Téléchargements/GATOR.EXE",
                                 "/home/marie/Téléchargements/archives/SAVENOW.EXE"})
            f.foundFileList.addItem(QString::fromUtf8(path));
    if (auto* drives = f.findAs<controls::DriveList>(QStringLiteral("drvStart"));
        drives && drives->drives().isEmpty()) {
        drives->setDrives({QStringLiteral("/"), QStringLiteral("/media/marie/CLE USB")});
        drives->setCurrentIndex(0);
    }
    if (auto* folders = f.findAs<controls::FolderList>(QStringLiteral("dirStart"));
        folders && folders->folders().isEmpty()) {
        folders->setPath(QStringLiteral("/home/marie"));
        folders->setFolders({QStringLiteral("Bureau"), QStringLiteral("Documents"),
                             QStringLiteral("Images"), QStringLiteral("Téléchargements")});
    }
    if (f.helpBox.text().isEmpty())
        f.helpBox.setText(QStringLiteral("Tavrel ferme les fenêtres publicitaires du "
                                         "navigateur.\r\n"));
    if (f.keywordFilePathLabel.caption().isEmpty())
        f.keywordFilePathLabel.setCaption(QStringLiteral("/prog/ListeUrl.dat"));
    if (f.soundFileBox.text().isEmpty())
        f.soundFileBox.setText(QStringLiteral("/prog/Tavrel.wav"));
    if (f.statusBar.simpleText().isEmpty())
        f.statusBar.setSimpleText(QStringLiteral("Fermeture: Casino en ligne     (Total:3)"));
}

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
