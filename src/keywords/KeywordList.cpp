#include "keywords/KeywordList.h"

#include <algorithm>

namespace keywords {

KeywordList::KeywordList() : m_matcher([this](int i) { return lowered(i); }) {}

namespace {
bool placeBefore(const std::pair<int, QString>& p, int at) {
    return p.first < at;
}
} // namespace

KeywordList::Differing::iterator KeywordList::upperAt(Differing& differing, int i) {
    return std::lower_bound(differing.begin(), differing.end(), i, placeBefore);
}

QString KeywordList::loweredIn(const QStringList& words, const Differing& differing, int i) {
    const auto it = std::lower_bound(differing.begin(), differing.end(), i, placeBefore);
    return it != differing.end() && it->first == i ? it->second : words.at(i);
}

QString KeywordList::lowered(int i) const {
    return loweredIn(m_words, m_differing, i);
}

void KeywordList::setLowered(const QStringList& words, Differing& differing, int i) {
    const QString& word = words.at(i);
    QString lower = word.toLower();
    const auto it = upperAt(differing, i);
    const bool kept = it != differing.end() && it->first == i;
    if (lower == word) {
        if (kept)
            differing.erase(it);
    } else if (kept) {
        it->second = std::move(lower);
    } else {
        differing.insert(it, {i, std::move(lower)});
    }
}

KeywordList::Prepared KeywordList::prepare(QStringList words) {
    Prepared p;
    p.words = std::move(words);
    for (int i = 0; i < p.words.size(); ++i)
        setLowered(p.words, p.differing, i);
    p.filed = KeywordMatcher::file([&](int i) { return loweredIn(p.words, p.differing, i); },
                                   int(p.words.size()));
    return p;
}

void KeywordList::adopt(Prepared prepared) {
    settle();
    resetRows([&] {
        m_words = std::move(prepared.words);
        m_differing = std::move(prepared.differing);
        m_matcher.adopt(std::move(prepared.filed));
        ++m_revision;
    });
}

void KeywordList::append(const QString& word) {
    append(QStringList{word});
}

void KeywordList::assignInBackground(std::function<Prepared()> prepare) {
    m_replacing.run<Prepared>(std::move(prepare),
                              [this](Prepared prepared) { adopt(std::move(prepared)); });
}

void KeywordList::append(const QStringList& words) {
    settle();
    insertRows(size(), int(words.size()), [&] {
        const int first = size();
        m_words.append(words);
        for (int i = first; i < size(); ++i) {
            setLowered(m_words, m_differing, i);
            m_matcher.insert(i);
        }
        ++m_revision;
    });
}

void KeywordList::replace(int i, const QString& word) {
    settle();
    if (i < 0 || i >= size())
        return;
    m_matcher.erase(i);
    m_words[i] = word;
    setLowered(m_words, m_differing, i);
    m_matcher.insert(i);
    ++m_revision;
    emit rowsChanged(i, i);
}

void KeywordList::removeAt(int i) {
    settle();
    if (i < 0 || i >= size())
        return;
    removeRows(i, 1, [&] {
        m_matcher.erase(i);
        m_matcher.closeGap(i);
        auto it = upperAt(m_differing, i);
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
