#pragma once

#include "controls/RowSource.h"
#include "keywords/KeywordMatcher.h"

#include <QStringList>
#include <vector>

namespace keywords {

// The keyword list: the words in their order, as the user typed them, with their lower-cased
// forms, which the scans compare, and one matcher over all of them. The matcher is built
// again the first time it is asked for after a change. Shown one word a row.
class KeywordList : public controls::RowSource {
    Q_OBJECT
public:
    int size() const { return int(m_words.size()); }
    bool isEmpty() const { return m_words.isEmpty(); }
    const QString& at(int i) const { return m_words.at(i); }
    const QString& lowered(int i) const { return m_lowered.at(std::size_t(i)); }
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

    /// Finds every word of the list in a text; built for the list as it is now.
    const KeywordMatcher& matcher() const;

    int rowCount() const override { return size(); }
    int columnCount() const override { return 1; }
    QString cell(int row, int column) const override {
        return column == 0 ? m_words.at(row) : QString();
    }

private:
    QStringList m_words;
    std::vector<QString> m_lowered;
    mutable KeywordMatcher m_matcher;
    mutable bool m_matcherStale = true;
};

} // namespace keywords
