#include "app/Program.h"
#include "app/TaskBarIcon.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using namespace platform;

// The auto-hide at start-up is the hide command itself: both files written, window hidden.
TEST(Saving, AutoHideRunsTheHideCommandAtTheFirstActivationOnly) {
    fakes::FakePlatform fake;
    fake.files.setFile("/prog/ListeUrl.dat", "a\r\nb\r\n");
    app::Program program(fake.platform());
    app::MainForm& f = program.form();
    program.load();
    f.autoHideSwitch.setValue(1);
    fake.files.remove("/prog/Statistiques.dat");
    program.show();
    EXPECT_FALSE(f.visible());
    EXPECT_EQ(f.hideShowMenuItem.caption(), QStringLiteral("Afficher"));
    EXPECT_EQ(fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("\"b\"\r\n\"a\"\r\n"));
    EXPECT_EQ(fake.files.readAll("/prog/Statistiques.dat"),
              QByteArray("\"b\",\"0\"\r\n\"a\",\"0\"\r\n"));

    // A later activation (the window shown again from the tray) does not hide it again.
    program.taskBarIcon().activation(1);
    program.activate();
    EXPECT_TRUE(f.visible());
}

namespace {

const QString kShellFolders = QStringLiteral(
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

struct Started {
    fakes::FakePlatform fake;
    std::unique_ptr<app::Program> program;
    explicit Started(const std::function<void(fakes::FakeFiles&)>& setUp = {}) {
        fake.files.setFile("/prog/ListeUrl.dat", "a\r\n");
        fake.files.setFile("/prog/Statistiques.dat", "\"a\",\"3\"\r\n");
        fake.files.setFile("/prog/Tavrel.wav", "RIFF");
        fake.files.makeFolder("/prog/Cookies");
        fake.registry.setText(kShellFolders, "Cookies", "/prog/Cookies");
        if (setUp)
            setUp(fake.files);
        program = std::make_unique<app::Program>(fake.platform());
        program->load();
    }
    app::MainForm& form() { return program->form(); }
    QStringList transcript() { return fake.transcript.take(); }
};

const QString kStatisticsNotSaved =
    QStringLiteral("message warning \"Erreur\": \"Impossible d'enregistrer le fichier :\\r"
                   "/prog/Statistiques.dat\\rDisque plein\"");
const QString kListNotSaved =
    QStringLiteral("message warning \"Erreur\": \"Impossible d'enregistrer le fichier :\\r"
                   "/prog/ListeUrl.dat\\rDisque plein\"");
const QString kQuitAnyway = QStringLiteral(
    "message question \"Tavrel\": \"Des modifications n'ont pas pu être enregistrées.\\r"
    "Quitter quand même ?\"");

} // namespace

// On a full disk every save says what it could not write, the files stay as they were, and a
// quit asks before anything is lost.
TEST(Saving, FailedSavesAreReportedAndQuitAsksFirst) {
    Started p;
    p.program->keywords.append(QStringLiteral("b"));
    p.transcript();
    p.fake.files.setDiskFull(true);

    p.form().saveKeywordsButton.click();
    EXPECT_EQ(p.transcript(), (QStringList{kStatisticsNotSaved, kListNotSaved}));
    p.form().hideButton.click();
    EXPECT_EQ(p.transcript(), (QStringList{kStatisticsNotSaved, kListNotSaved}));
    EXPECT_FALSE(p.form().visible()); // the hide command still hides

    p.fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::No);
    EXPECT_NO_THROW(p.form().quitButton.click());
    EXPECT_EQ(p.transcript(),
              (QStringList{kStatisticsNotSaved, kListNotSaved, kQuitAnyway + " -> no"}));
    EXPECT_EQ(p.fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("a\r\n"));
    EXPECT_EQ(p.fake.files.readAll("/prog/Statistiques.dat"), QByteArray("\"a\",\"3\"\r\n"));

    // Room again: the quit saves and ends without a question.
    p.fake.files.setDiskFull(false);
    EXPECT_THROW(p.form().quitMenuItem.click(), fakes::ProgramEnded);
    EXPECT_EQ(p.transcript(), QStringList{"ended"});
    EXPECT_EQ(p.fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("a\r\nb\r\n"));
}

TEST(Saving, QuitAnsweredYesEndsWithTheSettingsSaved) {
    Started p;
    p.transcript();
    p.fake.files.setDiskFull(true);
    p.fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::Yes);
    EXPECT_THROW(p.form().quitButton.click(), fakes::ProgramEnded);
    EXPECT_EQ(p.transcript(),
              (QStringList{kStatisticsNotSaved, kListNotSaved, kQuitAnyway + " -> yes", "ended"}));
    EXPECT_TRUE(p.fake.settings.all().contains(QStringLiteral("Config/NomFichMotCle")));
}

// A list or statistics file that exists but could not be read is reported, and only an
// explicit save (the save command) writes over it.
TEST(Saving, AFileThatCouldNotBeReadIsNotOverwrittenUnlessSavedExplicitly) {
    Started p([](fakes::FakeFiles& fs) {
        fs.failReads("/prog/ListeUrl.dat", platform::FileError::DeviceIO);
        fs.failReads("/prog/Statistiques.dat", platform::FileError::DeviceIO);
    });
    EXPECT_EQ(p.transcript(),
              (QStringList{"message warning \"Erreur\": \"Impossible de lire le fichier :\\r"
                           "/prog/ListeUrl.dat\\rErreur d'entrée/sortie sur périphérique\"",
                           "message warning \"Erreur\": \"Impossible de lire le fichier :\\r"
                           "/prog/Statistiques.dat\\rErreur d'entrée/sortie sur périphérique\""}));
    EXPECT_EQ(p.program->keywords.size(), 0);
    p.program->keywords.append(QStringLiteral("typed"));

    // The hide command and the quit leave both files alone, and say so.
    const QString notRead = QStringLiteral("\\rLe fichier n'a pas pu être lu : il n'est "
                                           "remplacé que par un enregistrement explicite.\"");
    const QString statsKept =
        "message warning \"Erreur\": \"Impossible d'enregistrer le fichier :\\r"
        "/prog/Statistiques.dat" +
        notRead;
    const QString listKept =
        "message warning \"Erreur\": \"Impossible d'enregistrer le fichier :\\r"
        "/prog/ListeUrl.dat" +
        notRead;
    p.form().hideButton.click();
    EXPECT_EQ(p.transcript(), (QStringList{statsKept, listKept}));
    EXPECT_NO_THROW(p.form().quitButton.click());
    EXPECT_EQ(p.transcript(), (QStringList{statsKept, listKept, kQuitAnyway + " -> no"}));
    p.fake.files.failReads("/prog/ListeUrl.dat", platform::FileError::None);
    p.fake.files.failReads("/prog/Statistiques.dat", platform::FileError::None);
    EXPECT_EQ(p.fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("a\r\n"));
    EXPECT_EQ(p.fake.files.readAll("/prog/Statistiques.dat"), QByteArray("\"a\",\"3\"\r\n"));

    // The save command is the user's explicit choice: it writes both.
    p.form().saveKeywordsButton.click();
    EXPECT_EQ(p.transcript(), QStringList{});
    EXPECT_EQ(p.fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("typed\r\n"));
    EXPECT_EQ(p.fake.files.readAll("/prog/Statistiques.dat"), QByteArray());
}
