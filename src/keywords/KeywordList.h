#pragma once

#include "controls/RowSource.h"
#include "keywords/KeywordMatcher.h"

#include <QStringList>
#include <utility>
#include <vector>

namespace keywords {

// The keyword list: the words in their order, as the user typed them, and one matcher over
// their lower-cased forms, which the scans compare. Most words are lower-case already: only
// the lower-cased forms that differ from their word are kept. Every change reaches the
// matcher at once (it files a word in constant time), so the next scan finds it. Shown one
// word a row.
class KeywordList : public controls::RowSource {
    Q_OBJECT
public:
    KeywordList();

    int size() const { return int(m_words.size()); }
    bool isEmpty() const { return m_words.isEmpty(); }
    const QString& at(int i) const { return m_words.at(i); }
    /// Word i lower-cased.
    QString lowered(int i) const;
    const QStringList& words() const { return m_words; }

    /// Replaces every word.
    void assign(QStringList words);
    void append(const QString& word);
    /// Appends words at the bottom, in their order, as one change.
    void append(const QStringList& words);
    void replace(int i, const QString& word);
    void removeAt(int i);
    /// The first word whose lower-cased form is `lowered`, or -1.
    int indexOfLowered(const QString& lowered) const;
    /// The first word that is exactly `word`, or -1.
    int indexOf(const QString& word) const;

    /// Finds every word of the list in a text, as the list is now.
    const KeywordMatcher& matcher() const { return m_matcher; }
    /// Goes up at every change of the words.
    quint64 revision() const { return m_revision; }

    int rowCount() const override { return size(); }
    int columnCount() const override { return 1; }
    QString cell(int row, int column) const override {
        return column == 0 ? m_words.at(row) : QString();
    }

private:
    /// Where word i's lower-cased form would be among those kept.
    std::vector<std::pair<int, QString>>::iterator upperAt(int i);
    /// Keeps word i's lower-cased form when it differs from the word.
    void setLowered(int i);

    QStringList m_words;
    // The lower-cased forms that differ from their word, by the word's place, ascending.
    std::vector<std::pair<int, QString>> m_differing;
    KeywordMatcher m_matcher;
    quint64 m_revision = 0;
};

} // namespace keywords
