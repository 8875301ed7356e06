#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "keywords/TextItems.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>
#include <limits>

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

// A save writes the same lines whether the words are all ASCII (their bytes put together
// directly) or one is not (the whole text encoded): quotes where a line needs them, counts as
// digits, and the encoding rule of every file.
TEST(KeywordFile, SavesWriteTheSameLinesWhateverTheWords) {
    fakes::FakePlatform fake;
    fake.files.setFile("/prog/ListeUrl.dat", "seed\r\n");
    fake.files.setFile("/prog/Tavrel.wav", "RIFF");
    app::Program program(fake.platform());
    program.load();
    const QStringList ascii{"pub", "a,b", " blank", "tail ", "say\"so", ""};
    const QStringList wider{"pub", "a,b", "café", " blank"};
    for (const QStringList& words : {ascii, wider}) {
        SCOPED_TRACE(words.join(u'|').toStdString());
        program.keywords.assign(words);
        QString plain, quoted, stats;
        qint64 count = std::numeric_limits<qint64>::min(); // the longest count there is
        std::vector<keywords::Statistics::Entry> entries;
        for (const QString& w : words) {
            plain += keywords::plainLine(w);
            quoted += keywords::quotedLine(w);
            entries.push_back({w, count});
            stats += keywords::StatisticsFile::record(w, count);
            count = count == std::numeric_limits<qint64>::min() ? -3 : count * 7 + 1000000007;
        }
        ASSERT_TRUE(program.keywordFile().save(QStringLiteral("/prog/plain.dat"),
                                               keywords::SaveMode::Explicit));
        ASSERT_TRUE(program.keywordFile().saveQuoted(QStringLiteral("/prog/quoted.dat"),
                                                     keywords::SaveMode::Explicit));
        EXPECT_EQ(fake.files.readAll("/prog/plain.dat"), platform::encodeText(plain));
        EXPECT_EQ(fake.files.readAll("/prog/quoted.dat"), platform::encodeText(quoted));
        program.statistics.append(std::move(entries));
        ASSERT_TRUE(program.statisticsFile().save(keywords::SaveMode::Explicit));
        const QString file = program.statisticsFile().path();
        const QByteArray written = fake.files.readAll(file).value_or(QByteArray());
        EXPECT_TRUE(written.endsWith(platform::encodeText(stats)));
    }
}
