#include "keywords/KeywordList.h"

namespace keywords {

void KeywordList::assign(QStringList words) {
    resetRows([&] {
        m_words = std::move(words);
        m_lowered.clear();
        m_lowered.reserve(std::size_t(m_words.size()));
        for (const QString& word : std::as_const(m_words))
            m_lowered.push_back(word.toLower());
        m_matcherStale = true;
    });
}

void KeywordList::append(const QString& word) {
    insertRows(size(), 1, [&] {
        m_words.append(word);
        m_lowered.push_back(word.toLower());
        m_matcherStale = true;
    });
}

void KeywordList::append(const QStringList& words) {
    insertRows(size(), int(words.size()), [&] {
        m_words.append(words);
        m_lowered.reserve(m_lowered.size() + std::size_t(words.size()));
        for (const QString& word : words)
            m_lowered.push_back(word.toLower());
        m_matcherStale = true;
    });
}

void KeywordList::replace(int i, const QString& word) {
    if (i < 0 || i >= size())
        return;
    m_words[i] = word;
    m_lowered[std::size_t(i)] = word.toLower();
    m_matcherStale = true;
    emit rowsChanged(i, i);
}

void KeywordList::removeAt(int i) {
    if (i < 0 || i >= size())
        return;
    removeRows(i, 1, [&] {
        m_words.removeAt(i);
        m_lowered.erase(m_lowered.begin() + i);
        m_matcherStale = true;
    });
}

int KeywordList::indexOfLowered(const QString& lowered) const {
    for (std::size_t i = 0; i < m_lowered.size(); ++i)
        if (m_lowered[i] == lowered)
            return int(i);
    return -1;
}

const KeywordMatcher& KeywordList::matcher() const {
    if (m_matcherStale) {
        m_matcher.build(m_lowered);
        m_matcherStale = false;
    }
    return m_matcher;
}

} // namespace keywords
