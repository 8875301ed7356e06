#pragma once

#include "keywords/TextTable.h"

#include <QString>
#include <QStringView>
#include <functional>
#include <map>
#include <vector>

namespace keywords {

// Finds every keyword of a list that occurs in a text. The keywords are filed in a hash table
// by the hash of their lower-cased form (8 bytes each, no copy of their text); a text is
// searched by hashing each of its substrings whose length some keyword has, and comparing the
// few whose hash is filed with those keywords' texts. A keyword is filed, moved or taken out
// in constant time, so the list can change at any moment without a rebuild. The texts
// searched must be lower-cased as the keywords are.
class KeywordMatcher {
public:
    /// `lowered(i)` gives keyword i lower-cased; the matcher reads it when it files keyword i
    /// and to confirm a find.
    explicit KeywordMatcher(std::function<QString(int)> lowered);

    /// Keywords filed away from the matcher (on any thread), to be adopted in one step.
    struct Filed {
        TextTable table;
        std::map<qsizetype, int> lengthCount;
    };
    /// Files keywords 0..count-1, each given by `lowered`.
    static Filed file(const std::function<QString(int)>& lowered, int count);
    /// Takes these keywords as its own, in place of those filed.
    void adopt(Filed filed);
    /// Files keywords 0..count-1 anew.
    void build(int count) { adopt(file(m_lowered, count)); }
    /// Files keyword i (an empty keyword is found nowhere and is not filed).
    void insert(int i);
    /// Takes keyword i out, before its text changes or it goes.
    void erase(int i);
    /// Keyword i went from the list: those after it move up one place.
    void closeGap(int i);

    /// Appends to `out` the index of every keyword found in `a` or in `b`, ascending, each
    /// once. An empty keyword is found nowhere.
    void findAll(QStringView a, QStringView b, std::vector<int>& out) const;
    /// The keywords filed (the non-empty ones).
    int keywordCount() const { return m_table.size(); }
    /// The memory the matcher holds, in bytes.
    std::size_t memoryBytes() const;
    /// The keywords filed by the hash of their lower-cased form.
    const TextTable& table() const { return m_table; }

private:
    void scan(QStringView text, std::vector<int>& out) const;
    void countLength(qsizetype length, int delta);
    void listLengths();

    std::function<QString(int)> m_lowered;
    TextTable m_table;
    std::map<qsizetype, int> m_lengthCount; // how many keywords have each length
    std::vector<qsizetype> m_lengths;       // those lengths, ascending
    mutable SubstringHashes m_hashes;
};

} // namespace keywords
