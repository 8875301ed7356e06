#include "app/Program.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

// A file far bigger than any keyword list is refused with a message instead of taking the
// memory of several copies of it; like an unreadable file, it is not written over.
TEST(KeywordFile, AFileTooLargeToBeAKeywordListIsRefused) {
    fakes::FakePlatform fake;
    QByteArray huge(32 * 1024 * 1024 + 1, 'a');
    fake.files.setFile("/prog/ListeUrl.dat", huge);
    fake.files.setFile("/prog/Tavrel.wav", "RIFF");
    fake.files.makeFolder("/prog/Cookies");
    fake.registry.setText("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                          "Explorer\\Shell Folders",
                          "Cookies", "/prog/Cookies");
    app::Program program(fake.platform());
    program.load();
    EXPECT_EQ(program.keywords.size(), 0);
    EXPECT_EQ(fake.transcript.take(),
              QStringList{"message warning \"Erreur\": \"Impossible de lire le fichier :\\r"
                          "/prog/ListeUrl.dat\\rLe fichier dépasse 32 Mo : ce n'est pas une "
                          "liste de mots clés.\""});
    fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::No);
    EXPECT_NO_THROW(program.form().quitButton.click());
    EXPECT_EQ(fake.files.size("/prog/ListeUrl.dat"), huge.size());

    // Chosen with the file chooser: the same refusal, the list as it was.
    fake.transcript.take();
    program.keywords.append(QStringLiteral("kept"));
    fake.dialogs.fileAnswers.push_back(QStringLiteral("/prog/ListeUrl.dat"));
    program.form().chooseKeywordFileButton.click();
    EXPECT_EQ(program.keywords.words(), QStringList{"kept"});
}
