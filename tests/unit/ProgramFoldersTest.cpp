#include "app/Program.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

// Installed, the program reads what ships with it from one folder and writes its own files to
// another: nothing it writes may go to the shipped folder, which the user cannot write.
TEST(ProgramFolders, ShippedFilesAreOnlyReadAndEveryWriteGoesToTheProgramFolder) {
    fakes::FakePlatform fake;
    fake.files.setShippedFolder(QStringLiteral("/share"));
    fake.files.setFile("/share/Tavrel.aide", "Aide de Tavrel\r\n");
    fake.files.setFile("/share/Tavrel.wav", "RIFF");
    fake.files.setFile("/share/ListeUrl.dat", "starter\r\n");
    fake.files.setFile("/prog/ListeUrl.dat", "pub\r\n");
    fake.files.setWriteProtected(QStringLiteral("/share"), true);
    fake.files.setWriteProtected(QStringLiteral("/prog"), false);

    app::Program program(fake.platform());
    app::MainForm& f = program.form();
    program.load();
    EXPECT_EQ(f.helpBox.text(), QStringLiteral("Aide de Tavrel\r\n"));
    EXPECT_EQ(f.soundFileBox.text(), QStringLiteral("/share/Tavrel.wav"));
    EXPECT_EQ(f.keywordFilePathLabel.caption(), QStringLiteral("/prog/ListeUrl.dat"));
    // Neither the sound nor the keyword list is said to be missing.
    for (const QString& line : fake.transcript.take())
        EXPECT_FALSE(line.contains(QStringLiteral("non trouvé"))) << line.toStdString();

    fake.dialogs.inputAnswers.push_back(QStringLiteral("ajout"));
    f.addKeywordButton.click();
    program.saveLists();
    program.hideOrShow();
    EXPECT_EQ(fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("\"pub\"\r\n\"ajout\"\r\n"));
    EXPECT_TRUE(platform::FileExists(fake.files, QStringLiteral("/prog/Statistiques.dat")));
    EXPECT_EQ(fake.files.readAll("/share/ListeUrl.dat"), QByteArray("starter\r\n"));
    const auto shipped = fake.files.list(QStringLiteral("/share"));
    ASSERT_TRUE(shipped.has_value());
    EXPECT_EQ(shipped->size(), 3);
}
