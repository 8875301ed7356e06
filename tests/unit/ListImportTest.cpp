// Reading hosts files, adblock-style lists and plain lists, and importing them as keywords.

#include "keywords/ListImport.h"
#include "fakes/FakePlatform.h"
#include "keywords/FilterList.h"

#include <gtest/gtest.h>

using keywords::FilterListEntries;
using keywords::readFilterList;

namespace {

QStringList words(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* w : list)
        out.append(QString::fromUtf8(w));
    return out;
}

} // namespace

TEST(FilterList, HostsFileGivesEveryHostOfEveryAddressLine) {
    const FilterListEntries list =
        readFilterList(u"# A hosts file\r\n"
                       "127.0.0.1\tlocalhost\r\n"
                       "::1 localhost ip6-localhost ip6-loopback\r\n"
                       "ff02::1 ip6-allnodes\r\n"
                       "255.255.255.255 broadcasthost\r\n"
                       "0.0.0.0 0.0.0.0\r\n"
                       "\r\n"
                       "0.0.0.0 ads.example.com   # the ad server\r\n"
                       "127.0.0.1 track.example.net  pixel.example.net\t banner.example.org\r\n"
                       "192.168.1.20 printer.home#a comment\r\n"
                       "   10.0.0.1  Spaced.Example.com\n"
                       "0.0.0.0\n");
    EXPECT_EQ(list.entries, words({"ads.example.com", "track.example.net", "pixel.example.net",
                                   "banner.example.org", "printer.home", "Spaced.Example.com"}));
    // localhost twice, ip6-localhost, ip6-loopback, ip6-allnodes, broadcasthost, 0.0.0.0.
    EXPECT_EQ(list.skipped, 7);
}

TEST(FilterList, AdblockListGivesHostRulesAndPlainHostsAndSkipsTheOtherRules) {
    const FilterListEntries list = readFilterList(u"[Adblock Plus 2.0]\n"
                                                  "! Title: EasyList\n"
                                                  "!\n"
                                                  "||ads.example.com^\n"
                                                  "||cacheserve.*/promodisplay/\n"
                                                  "||tracker.example.net^$third-party\n"
                                                  "-ad-manager/$~stylesheet\n"
                                                  "/banner/ads.\n"
                                                  "@@||good.example.com^\n"
                                                  "##.ad-banner\n"
                                                  "example.org##.sponsor\n"
                                                  "plain.example.fr\n"
                                                  "|http://x.example/\n"
                                                  "||localhost^\n"
                                                  "||pop.example.com^\n");
    EXPECT_EQ(list.entries, words({"ads.example.com", "plain.example.fr", "pop.example.com"}));
    // 3 "||" rules that are not host rules or name the machine, 3 other address rules, the
    // exception and 2 hiding rules.
    EXPECT_EQ(list.skipped, 9);
}

TEST(FilterList, PlainListKeepsEachLineWholeWithoutCommentsAndBlankLines) {
    const FilterListEntries list = readFilterList(u"pub\n"
                                                  "# comment\n"
                                                  "! another comment\n"
                                                  "[Section]\n"
                                                  "  casino en ligne  \n"
                                                  "\n"
                                                  "http://x.example/#top\n"
                                                  "banniere # où elle est\n"
                                                  "localhost\n"
                                                  "Pub\n");
    EXPECT_EQ(list.entries,
              words({"pub", "casino en ligne", "http://x.example/#top", "banniere", "Pub"}));
    EXPECT_EQ(list.skipped, 1);
}

TEST(FilterList, NamesAndAddresses) {
    EXPECT_TRUE(keywords::isHostName(u"ads.example.com"));
    EXPECT_TRUE(keywords::isHostName(u"xn--pub-abc.fr"));
    EXPECT_TRUE(keywords::isHostName(u"pub_1.régie.fr"));
    for (const char16_t* bad : {u"", u"example", u".example.com", u"example.com.", u"a..b",
                                u"ads.*.com", u"ads.example.com/path", u"ads example.com"})
        EXPECT_FALSE(keywords::isHostName(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_TRUE(keywords::isLoopbackName(u"LocalHost"));
    EXPECT_FALSE(keywords::isLoopbackName(u"localhost.example.com"));
    // An address needs four parts of at most 255, or IPv6's colons.
    const FilterListEntries list = readFilterList(u"1.2.3 a.example\n"
                                                  "1.2.3.256 b.example\n"
                                                  "fe80::1%eth0 c.example\n");
    EXPECT_EQ(list.entries, words({"1.2.3 a.example", "1.2.3.256 b.example", "c.example"}));
}

TEST(FilterList, TextIsToldFromOtherFiles) {
    EXPECT_EQ(keywords::filterListText("0.0.0.0 a.example\r\n"),
              QStringLiteral("0.0.0.0 a.example\r\n"));
    EXPECT_EQ(keywords::filterListText(QByteArray()), QString());
    // Windows-1252 and UTF-8 with its mark read as the program's other files.
    EXPECT_EQ(keywords::filterListText("r\xe9gie\n"), QStringLiteral("régie\n"));
    EXPECT_EQ(keywords::filterListText("\xef\xbb\xbfr\xc3\xa9gie\n"), QStringLiteral("régie\n"));
    // UTF-16 with its byte-order mark, as some editors save hosts files.
    const QString utf16 = QStringLiteral("0.0.0.0 a.example\r\n");
    QByteArray le("\xff\xfe");
    for (QChar c : utf16) {
        le += char(c.unicode() & 0xff);
        le += char(c.unicode() >> 8);
    }
    EXPECT_EQ(keywords::filterListText(le), utf16);
    // A NUL byte, or control bytes beyond one in a hundred: not text.
    EXPECT_FALSE(keywords::filterListText(QByteArray("PK\x03\x04\0\0", 6)));
    QByteArray noisy(200, 'a');
    noisy[10] = '\x01';
    EXPECT_TRUE(keywords::filterListText(noisy));
    noisy[20] = '\x02';
    noisy[30] = '\x1b';
    EXPECT_FALSE(keywords::filterListText(noisy));
}

namespace {

struct Import : ::testing::Test {
    fakes::FakePlatform fake;
    keywords::KeywordList list;
    keywords::Statistics statistics;
    keywords::StatisticsFile statisticsFile{fake.files, fake.dialogs, statistics};
    keywords::ListImport import{fake.files, fake.dialogs, list, statisticsFile};
};

} // namespace

TEST_F(Import, NewEntriesAreAppendedWithZeroRecordsInOneWrite) {
    list.assign({QStringLiteral("Pub"), QStringLiteral("ads.example.com")});
    fake.files.setFile("/prog/Statistiques.dat", "\"Pub\",\"4\"\r\n");
    statisticsFile.load(list);
    int changes = 0;
    QObject::connect(&list, &controls::RowSource::inserted, [&](int first, int last) {
        ++changes;
        EXPECT_EQ(first, 2);
        EXPECT_EQ(last, 3);
    });
    const auto result = import.importBytes("0.0.0.0 ADS.example.com pub\n"
                                           "0.0.0.0 new.example.com\n"
                                           "0.0.0.0 other.example.com new.example.com\n"
                                           "127.0.0.1 localhost\n");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->added, 2);
    EXPECT_EQ(result->ignored, 4); // two already listed, one twice in the file, localhost
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.words(),
              words({"Pub", "ads.example.com", "new.example.com", "other.example.com"}));
    EXPECT_EQ(fake.files.readAll("/prog/Statistiques.dat"),
              QByteArray("\"Pub\",\"4\"\r\n\"new.example.com\",\"0\"\r\n"
                         "\"other.example.com\",\"0\"\r\n"));
    ASSERT_EQ(statistics.size(), 3);
    EXPECT_EQ(statistics.at(2).keyword, QStringLiteral("other.example.com"));
    // The matcher knows the new keywords.
    std::vector<int> found;
    list.matcher().findAll(u"http://other.example.com/x", u"", found);
    EXPECT_EQ(found, std::vector<int>{3});
}

TEST_F(Import, TheCommandTellsTheOutcomeAndRefusesWhatIsNotText) {
    fake.files.setFile("/prog/hosts", "0.0.0.0 a.example b.example\n0.0.0.0 localhost\n");
    fake.files.setFile("/prog/image.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    fake.dialogs.fileAnswers = {QStringLiteral("/prog/hosts"), QStringLiteral("/prog/hosts"),
                                QStringLiteral("/prog/image.png"), QStringLiteral("/prog/none"),
                                std::nullopt};
    for (int i = 0; i < 5; ++i)
        import.chooseAndImport();
    EXPECT_EQ(fake.transcript.take(),
              QStringList({
                  QStringLiteral("filedialog \"Importer une liste\" -> \"/prog/hosts\""),
                  QStringLiteral("message information \"Importer une liste\": \"2 mots clés "
                                 "ajoutés, 1 ignorés.\""),
                  QStringLiteral("filedialog \"Importer une liste\" -> \"/prog/hosts\""),
                  QStringLiteral("message information \"Importer une liste\": \"0 mots clés "
                                 "ajoutés, 3 ignorés.\""),
                  QStringLiteral("filedialog \"Importer une liste\" -> \"/prog/image.png\""),
                  QStringLiteral("message warning \"Importer une liste\": \"Ce fichier n'est "
                                 "pas un fichier texte :\\r/prog/image.png\\rAucun mot clé n'a "
                                 "été ajouté.\""),
                  QStringLiteral("filedialog \"Importer une liste\" -> \"/prog/none\""),
                  QStringLiteral("message warning \"Importer une liste\": \"Impossible de lire "
                                 "le fichier :\\r/prog/none\""),
                  QStringLiteral("filedialog \"Importer une liste\" -> cancel"),
              }));
    EXPECT_EQ(list.words(), words({"a.example", "b.example"}));
    EXPECT_EQ(statistics.size(), 2);
}

TEST_F(Import, AStatisticsFileThatCannotBeWrittenLosesNoRecord) {
    fake.files.setFile("/prog/Statistiques.dat", "");
    fake.files.setReadOnly("/prog/Statistiques.dat", true);
    const auto result = import.importBytes("a.example\nb.example\n");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->added, 2);
    // The statistics hold the records; the next save writes them.
    ASSERT_EQ(statistics.size(), 2);
    fake.files.setReadOnly("/prog/Statistiques.dat", false);
    EXPECT_TRUE(statisticsFile.save(keywords::SaveMode::Explicit));
    EXPECT_EQ(fake.files.readAll("/prog/Statistiques.dat"),
              QByteArray("\"a.example\",\"0\"\r\n\"b.example\",\"0\"\r\n"));
}
