#include "keywords/KeywordList.h"
#include "keywords/TextTable.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>

using keywords::KeywordList;
using keywords::TextTable;

namespace {

std::vector<int> find(const KeywordList& list, const QString& a, const QString& b) {
    std::vector<int> out;
    list.matcher().findAll(a, b, out);
    return out;
}

// A list holding these words (lists are not copied: each test keeps its own).
struct ListOf : KeywordList {
    explicit ListOf(const QStringList& words) { assign(words); }
};

// What the scan must find: every keyword, lower-cased, that a lower-cased text holds.
std::vector<int> plainSearch(const KeywordList& list, const QString& a, const QString& b) {
    std::vector<int> expected;
    for (int i = 0; i < list.size(); ++i) {
        const QString k = list.at(i).toLower();
        if (!k.isEmpty() && (a.contains(k) || b.contains(k)))
            expected.push_back(i);
    }
    return expected;
}

} // namespace

TEST(KeywordMatcher, FindsEveryKeywordOnceInListOrder) {
    const ListOf list({"pub", "ads", "pub", "ub", "q", "publicity"});
    EXPECT_EQ(find(list, "http://ads.example/pub/", "le pub"), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(find(list, "nothing", "here"), std::vector<int>{});
    EXPECT_EQ(find(list, "", "publicity"), (std::vector<int>{0, 2, 3, 5}));
}

// An empty keyword (a blank line of the file) would close every window: it matches nothing.
TEST(KeywordMatcher, EmptyKeywordMatchesNothing) {
    const ListOf list({"zz", "", "a"});
    EXPECT_EQ(list.matcher().keywordCount(), 2);
    EXPECT_EQ(find(list, "a", ""), std::vector<int>{2});
    EXPECT_EQ(find(list, "", "b"), std::vector<int>{});
    EXPECT_EQ(find(list, "zz", "a"), (std::vector<int>{0, 2}));
    EXPECT_EQ(find(ListOf({""}), "abc", "def"), std::vector<int>{});
    EXPECT_EQ(find(ListOf(QStringList{}), "abc", "def"), std::vector<int>{});
}

// Overlapping keywords over a small alphabet, the list changing under the matcher: after
// every change the next search finds what a plain search finds.
TEST(KeywordMatcher, AgreesWithPlainSubstringSearchThroughEveryChange) {
    QRandomGenerator rng(42);
    auto word = [&](int maxLen) {
        QString s;
        const int len = int(rng.bounded(maxLen)) + 1;
        for (int i = 0; i < len; ++i)
            s += QChar(u'a' + char16_t(rng.bounded(3)));
        return s;
    };
    for (int round = 0; round < 20; ++round) {
        QStringList words;
        for (int i = 0; i < 40; ++i)
            words.append(word(5));
        KeywordList list;
        list.assign(words);
        for (int step = 0; step < 60; ++step) {
            switch (rng.bounded(4)) {
            case 0:
                list.append(word(6).toUpper());
                break;
            case 1:
                list.replace(int(rng.bounded(list.size())), word(5));
                break;
            case 2:
                if (list.size() > 1)
                    list.removeAt(int(rng.bounded(list.size())));
                break;
            default:
                list.append(QStringList{word(4), QString(), word(7)});
            }
            const QString a = word(30), b = word(30);
            ASSERT_EQ(find(list, a, b), plainSearch(list, a, b))
                << a.toStdString() << " " << b.toStdString();
        }
    }
}

TEST(KeywordMatcher, ComparesLowerCasedFormsOutsideAsciiToo) {
    const ListOf list({QStringLiteral("Été"), QStringLiteral("日本"), QStringLiteral("🙂"),
                       QStringLiteral("PUB")});
    EXPECT_EQ(list.lowered(0), QStringLiteral("été"));
    EXPECT_EQ(list.lowered(3), QStringLiteral("pub"));
    EXPECT_EQ(list.at(3), QStringLiteral("PUB"));
    EXPECT_EQ(find(list, QStringLiteral("un été chaud"), QStringLiteral("x🙂 pub")),
              (std::vector<int>{0, 2, 3}));
    // Searched as the scan gives them: lower-cased, so an upper-case text finds nothing.
    EXPECT_EQ(find(list, QStringLiteral("PUB"), QString()), std::vector<int>{});
}

TEST(KeywordList, FindsItsWordsByTextAndByLowerCasedText) {
    ListOf list({"Pub", "ads", "pub", "", "Pub"});
    EXPECT_EQ(list.indexOfLowered("pub"), 0);
    EXPECT_EQ(list.indexOf("pub"), 2);
    EXPECT_EQ(list.indexOf("Pub"), 0);
    EXPECT_EQ(list.indexOf(""), 3);
    EXPECT_EQ(list.indexOf("PUB"), -1);
    EXPECT_EQ(list.indexOfLowered("casino"), -1);
    list.removeAt(0);
    EXPECT_EQ(list.indexOf("Pub"), 3);
    EXPECT_EQ(list.indexOfLowered("pub"), 1);
    list.replace(1, "Casino");
    EXPECT_EQ(list.indexOfLowered("casino"), 1);
    EXPECT_EQ(list.indexOfLowered("pub"), 3);
    const quint64 before = list.revision();
    list.append("x");
    EXPECT_GT(list.revision(), before);
}

// The table against a plain map of the same entries, through insertions, removals and the
// gaps they leave, across its growth.
TEST(TextTable, HoldsWhatAPlainMapHolds) {
    QRandomGenerator rng(7);
    TextTable table;
    std::multimap<std::uint64_t, int> plain;
    std::vector<std::uint64_t> hashes; // of entry i
    for (int step = 0; step < 20000; ++step) {
        const int op = int(rng.bounded(3));
        if (op < 2 || hashes.empty()) {
            // Few distinct hashes, so that entries share them and probe runs wrap.
            const std::uint64_t h = TextTable::hash(QString::number(rng.bounded(500)));
            table.insert(h, int(hashes.size()));
            plain.emplace(h, int(hashes.size()));
            hashes.push_back(h);
        } else {
            const int gone = int(rng.bounded(quint32(hashes.size())));
            ASSERT_TRUE(table.erase(hashes[std::size_t(gone)], gone));
            ASSERT_FALSE(table.erase(hashes[std::size_t(gone)], gone));
            table.closeGap(gone);
            hashes.erase(hashes.begin() + gone);
            plain.clear();
            for (std::size_t i = 0; i < hashes.size(); ++i)
                plain.emplace(hashes[i], int(i));
        }
        if (step % 97 != 0)
            continue;
        ASSERT_EQ(table.size(), int(hashes.size()));
        for (std::size_t i = 0; i < hashes.size(); i += 7) {
            std::vector<int> got;
            ASSERT_TRUE(table.mayHold(hashes[i]));
            table.forEach(hashes[i], [&](int e) {
                got.push_back(e);
                return true;
            });
            std::sort(got.begin(), got.end());
            std::vector<int> expected;
            const auto [from, to] = plain.equal_range(hashes[i]);
            for (auto it = from; it != to; ++it)
                expected.push_back(it->second);
            std::sort(expected.begin(), expected.end());
            ASSERT_EQ(got, expected);
        }
    }
}
