// The sample world of the screenshots: the files, settings and browser windows of a user who
// has run Tavrel for a while, and sample rows where a list would be empty.

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

namespace screens {

using fakes::FakePlatform;

namespace {

QByteArray crlf(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
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

} // namespace

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

} // namespace screens
