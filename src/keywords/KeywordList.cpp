#include "keywords/KeywordList.h"

#include <algorithm>

namespace keywords {

KeywordList::KeywordList() : m_matcher([this](int i) { return lowered(i); }) {}

std::vector<std::pair<int, QString>>::iterator KeywordList::upperAt(int i) {
    return std::lower_bound(m_differing.begin(), m_differing.end(), i,
                            [](const std::pair<int, QString>& p, int at) { return p.first < at; });
}

QString KeywordList::lowered(int i) const {
    const auto it =
        std::lower_bound(m_differing.begin(), m_differing.end(), i,
                         [](const std::pair<int, QString>& p, int at) { return p.first < at; });
    return it != m_differing.end() && it->first == i ? it->second : m_words.at(i);
}

void KeywordList::setLowered(int i) {
    const QString& word = m_words.at(i);
    QString lower = word.toLower();
    const auto it = upperAt(i);
    const bool kept = it != m_differing.end() && it->first == i;
    if (lower == word) {
        if (kept)
            m_differing.erase(it);
    } else if (kept) {
        it->second = std::move(lower);
    } else {
        m_differing.insert(it, {i, std::move(lower)});
    }
}

void KeywordList::assign(QStringList words) {
    resetRows([&] {
        m_words = std::move(words);
        m_differing.clear();
        for (int i = 0; i < size(); ++i)
            setLowered(i);
        m_matcher.build(size());
        ++m_revision;
    });
}

void KeywordList::append(const QString& word) {
    append(QStringList{word});
}

void KeywordList::append(const QStringList& words) {
    insertRows(size(), int(words.size()), [&] {
        const int first = size();
        m_words.append(words);
        for (int i = first; i < size(); ++i) {
            setLowered(i);
            m_matcher.insert(i);
        }
        ++m_revision;
    });
}

void KeywordList::replace(int i, const QString& word) {
    if (i < 0 || i >= size())
        return;
    m_matcher.erase(i);
    m_words[i] = word;
    setLowered(i);
    m_matcher.insert(i);
    ++m_revision;
    emit rowsChanged(i, i);
}

void KeywordList::removeAt(int i) {
    if (i < 0 || i >= size())
        return;
    removeRows(i, 1, [&] {
        m_matcher.erase(i);
        m_matcher.closeGap(i);
        auto it = upperAt(i);
        if (it != m_differing.end() && it->first == i)
            it = m_differing.erase(it);
        for (; it != m_differing.end(); ++it)
            --it->first;
        m_words.removeAt(i);
        ++m_revision;
    });
}

int KeywordList::indexOfLowered(const QString& lowered) const {
    int first = -1;
    if (lowered.isEmpty()) {
        for (int i = 0; i < size(); ++i)
            if (m_words.at(i).isEmpty())
                return i;
        return -1;
    }
    m_matcher.table().forEach(TextTable::hash(lowered), [&](int k) {
        if ((first < 0 || k < first) && this->lowered(k) == lowered)
            first = k;
        return true;
    });
    return first;
}

int KeywordList::indexOf(const QString& word) const {
    if (word.isEmpty())
        return indexOfLowered(word);
    int first = -1;
    m_matcher.table().forEach(TextTable::hash(word.toLower()), [&](int k) {
        if ((first < 0 || k < first) && m_words.at(k) == word)
            first = k;
        return true;
    });
    return first;
}

} // namespace keywords
