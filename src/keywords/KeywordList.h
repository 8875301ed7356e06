#pragma once

#include "controls/RowSource.h"
#include "keywords/BackgroundWork.h"
#include "keywords/KeywordMatcher.h"

#include <QStringList>
#include <utility>
#include <vector>

namespace keywords {

// The keyword list: the words in their order, as the user typed them, and one matcher over
// their lower-cased forms, which the scans compare. Most words are lower-case already: only
// the lower-cased forms that differ from their word are kept. Every change reaches the
// matcher at once (it files a word in constant time), so the next scan finds it. A large list
// that replaces every word is prepared on a thread of its own: until it is taken in, the list
// and its matcher stay as they were, whole, and every change (and `settle`) takes it in first,
// so changes apply to the new words, in the order they were made. Shown one word a row.
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

    /// Words made ready to replace the list's, on any thread (a large file is read away from
    /// the interface thread): their lower-cased forms and the matcher's table.
    struct Prepared {
        QStringList words;
        std::vector<std::pair<int, QString>> differing;
        KeywordMatcher::Filed filed;
    };
    static Prepared prepare(QStringList words);
    /// Replaces every word by prepared ones, in constant time.
    void adopt(Prepared prepared);
    /// Replaces every word.
    void assign(QStringList words) { adopt(prepare(std::move(words))); }
    /// Replaces every word by those `prepare` gives, run on a thread of its own; they are taken
    /// in by the event loop when ready, or before the next change or `settle`.
    void assignInBackground(std::function<Prepared()> prepare);
    /// Takes in now the words being prepared, if any (waiting for them): before the words are
    /// read to be saved.
    void settle() { m_replacing.finish(); }
    /// Whether words are being prepared to replace these.
    bool replacing() const { return m_replacing.busy(); }
    void append(const QString& word);
    /// Appends words at the bottom, in their order, as one change.
    void append(const QStringList& words);
    /// Word i of the list as it is once settled: whoever finds i calls `settle` first.
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
    using Differing = std::vector<std::pair<int, QString>>;
    /// Where word i's lower-cased form would be among those kept.
    static Differing::iterator upperAt(Differing& differing, int i);
    static QString loweredIn(const QStringList& words, const Differing& differing, int i);
    /// Keeps word i's lower-cased form when it differs from the word.
    static void setLowered(const QStringList& words, Differing& differing, int i);

    QStringList m_words;
    // The lower-cased forms that differ from their word, by the word's place, ascending.
    Differing m_differing;
    KeywordMatcher m_matcher;
    quint64 m_revision = 0;
    BackgroundWork m_replacing;
};

} // namespace keywords
