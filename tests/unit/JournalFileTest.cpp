#include "watch/JournalFile.h"
#include "fakes/FakePlatform.h"
#include "watch/Csv.h"
#include "watch/JournalHistory.h"

#include <gtest/gtest.h>

using watch::Closure;
using watch::ClosureTotals;
using watch::JournalFile;
using watch::JournalHistory;

namespace {

const QByteArray kHeader = "Date,Heure,Cause,Mot cl\xC3\xA9,Nom de la page,Adresse\r\n";

Closure keywordClosure(const QString& page, const QString& url) {
    return {ClosureTotals::ByKeyword, QStringLiteral("pub"), page, url};
}

struct LastingJournal : ::testing::Test {
    fakes::FakePlatform fake;
    std::unique_ptr<JournalFile> file;
    void make(qint64 rotateBytes = JournalFile::kRotateBytes) {
        file = std::make_unique<JournalFile>(fake.files, fake.clock, fake.dialogs, rotateBytes);
    }
    QByteArray current() { return fake.files.readAll("/prog/Journal.csv").value_or("<none>"); }
    QByteArray old() { return fake.files.readAll("/prog/Journal.1.csv").value_or("<none>"); }
};

} // namespace

TEST(Csv, FieldsReadBackAsTheyWereWritten) {
    const QStringList fields{"plain", "a,b", "say \"hi\"",      "",   "café ✓", "  x ",
                             "\"",    ",",   "=HYPERLINK(1,2)", "end"};
    const QByteArray line = watch::csv::record(fields);
    EXPECT_TRUE(line.endsWith("\r\n"));
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_EQ(watch::csv::parse(line), fields);
    EXPECT_EQ(watch::csv::record({"a,b", "c\"d"}), "\"a,b\",\"c\"\"d\"\r\n");
    // Line breaks inside a field become blanks: every line of the file is one record.
    EXPECT_EQ(watch::csv::record({"two\r\nlines", "x\ny"}), "two  lines,x y\r\n");
    // Damaged lines: an unclosed quote runs to the end, bad bytes become replacement marks.
    EXPECT_EQ(watch::csv::parse("a,\"b,c\r\n"), (QStringList{"a", "b,c"}));
    EXPECT_EQ(watch::csv::parse("a\xFF,b").at(1), "b");
    EXPECT_EQ(watch::csv::parse(""), QStringList{""});
    EXPECT_EQ(watch::csv::parse("x,\"\"\"\"\"\",y"), (QStringList{"x", "\"\"", "y"}));
}

TEST_F(LastingJournal, EachRecordIsAppendedAtOnceUnderOneHeader) {
    make();
    fake.clock.set(QDateTime(QDate(2026, 3, 9), QTime(8, 5, 7)));
    file->append(keywordClosure("Soldes, -50 %", "http://ads.example/pub"));
    EXPECT_EQ(current(), kHeader + "2026-03-09,08:05:07,mot cl\xC3\xA9,pub,\"Soldes, -50 %\","
                                   "http://ads.example/pub\r\n");
    file->append({ClosureTotals::ByPopupRule, {}, "Jeux", {}});
    file->append({ClosureTotals::ByPopupSize, {}, "Petite", "http://pop.example/"});
    file->append({ClosureTotals::BySizeScan, {}, "Mini", "http://mini.example/"});
    const QList<QByteArray> lines = current().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[2].contains(",pop-up sans clic,,Jeux,\r"));
    EXPECT_TRUE(lines[3].contains(",pop-up d'une petite fen\xC3\xAAtre,,Petite,"));
    EXPECT_TRUE(lines[4].contains(",petite fen\xC3\xAAtre,,Mini,"));
}

TEST_F(LastingJournal, AFileCutShortGetsItsLineEndedBeforeTheNextRecord) {
    fake.files.setFile("/prog/Journal.csv", kHeader + "2026-01-01,10:00:00,mot cl");
    make();
    file->append(keywordClosure("A", "http://a/"));
    file->append(keywordClosure("B", "http://b/"));
    EXPECT_EQ(current(), kHeader + "2026-01-01,10:00:00,mot cl\r\n"
                                   "2026-01-01,12:00:00,mot cl\xC3\xA9,pub,A,http://a/\r\n"
                                   "2026-01-01,12:00:00,mot cl\xC3\xA9,pub,B,http://b/\r\n");
}

// At the limit the file becomes the old one (the previous old one is gone) and a new one
// begins with its header; the whole journal still holds every record of both, in order.
TEST_F(LastingJournal, RotatesAtTheLimitKeepingOneOldFile) {
    make(300);
    int rotations = 0;
    QObject::connect(file.get(), &JournalFile::rotated, [&] { ++rotations; });
    fake.files.setFile("/prog/Journal.1.csv", kHeader + "oldest\r\n");
    for (int i = 0; i < 5; ++i)
        file->append(keywordClosure(QStringLiteral("Page %1").arg(i), "http://x/"));
    EXPECT_EQ(rotations, 1);
    EXPECT_LE(old().size(), 300);
    EXPECT_TRUE(old().startsWith(kHeader));
    EXPECT_FALSE(old().contains("oldest"));
    EXPECT_TRUE(current().startsWith(kHeader));
    EXPECT_LE(current().size(), 300);
    const QByteArray whole = file->wholeJournal().value();
    EXPECT_EQ(whole.count(kHeader), 1);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(whole.indexOf(QByteArray("Page ") + QByteArray::number(i)) >
                      whole.indexOf(QByteArray("Page ") + QByteArray::number(i - 1)),
                  true)
            << i;
}

TEST_F(LastingJournal, RecordsThatCannotBeWrittenWaitAndTheUserIsToldOnce) {
    fake.files.setFile("/prog/Journal.csv", kHeader);
    fake.files.setUnreadable("/prog/Journal.csv", true);
    make();
    file->append(keywordClosure("A", "http://a/"));
    file->append(keywordClosure("B", "http://b/"));
    const QStringList shown = fake.transcript.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("message warning \"Erreur\": \"Impossible d'écrire dans le "
                                    "journal :\\r/prog/Journal.csv"));
    fake.files.setUnreadable("/prog/Journal.csv", false);
    file->append(keywordClosure("C", "http://c/"));
    const QByteArray now = current();
    EXPECT_LT(now.indexOf(",A,"), now.indexOf(",B,"));
    EXPECT_LT(now.indexOf(",B,"), now.indexOf(",C,"));
    EXPECT_EQ(now.count("\r\n"), 4);
}

// The history finds where the records are and reads a record only when its row is shown.
TEST_F(LastingJournal, HistoryReadsOnlyTheRowsShownNewestFirst) {
    QByteArray bytes = kHeader;
    for (int i = 0; i < 5000; ++i)
        bytes += watch::csv::record({"2026-01-01", "10:00:00", "mot clé", "pub",
                                     QStringLiteral("Page %1").arg(i), "http://x/"});
    fake.files.setFile("/prog/Journal.csv", bytes);
    fake.files.setFile("/prog/Journal.1.csv", kHeader +
                                                  "2025-12-31,23:59:59,petite fen\xC3\xAAtre,,"
                                                  "Vieille,http://v/\r\n");
    make();
    JournalHistory history(*file);
    EXPECT_EQ(history.rowCount(), 0) << "nothing is read before the list is shown";
    history.open();
    EXPECT_EQ(history.rowCount(), 5001);
    EXPECT_EQ(history.recordsRead(), 0);
    EXPECT_EQ(history.cell(0, 4), "Page 4999");
    EXPECT_EQ(history.cell(0, 0), "01/01/2026");
    EXPECT_EQ(history.cell(4999, 4), "Page 0");
    EXPECT_EQ(history.cell(5000, 4), "Vieille");
    EXPECT_EQ(history.cell(5000, 2), QString::fromUtf8("petite fenêtre"));
    EXPECT_EQ(history.recordsRead(), 3);
    history.cell(0, 1);
    EXPECT_EQ(history.recordsRead(), 3) << "a row shown again is not read again";

    // A record appended joins at the top, announced as one inserted row.
    int insertedAt = -1;
    QObject::connect(&history, &controls::RowSource::inserted,
                     [&](int first, int last) { insertedAt = first == last ? first : -2; });
    file->append(keywordClosure("Nouvelle", "http://n/"));
    EXPECT_EQ(insertedAt, 0);
    EXPECT_EQ(history.rowCount(), 5002);
    EXPECT_EQ(history.cell(0, 4), "Nouvelle");
    EXPECT_EQ(history.cell(1, 4), "Page 4999");

    // A file changed behind the program's back is looked through again.
    fake.files.setFile("/prog/Journal.csv", kHeader + "2026-02-02,10:00:00,mot clé,a,Seule,u\r\n");
    file->append(keywordClosure("Après", "http://n/"));
    EXPECT_EQ(history.rowCount(), 3);
    EXPECT_EQ(history.cell(0, 4), QString::fromUtf8("Après"));
    EXPECT_EQ(history.cell(1, 4), "Seule");
}

TEST_F(LastingJournal, HistoryFollowsARotation) {
    make(250);
    JournalHistory history(*file);
    history.open();
    int resets = 0;
    QObject::connect(&history, &controls::RowSource::reset, [&] { ++resets; });
    for (int i = 0; i < 6; ++i)
        file->append(keywordClosure(QStringLiteral("P%1").arg(i), "http://x/"));
    EXPECT_GE(resets, 1);
    // Only what both files still hold.
    const QByteArray whole = file->wholeJournal().value();
    EXPECT_EQ(history.rowCount(), whole.count('\n') - 1);
    EXPECT_EQ(history.cell(0, 4), "P5");
}
