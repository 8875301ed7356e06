#include "keywords/KeywordMatcher.h"

#include <algorithm>

namespace keywords {

KeywordMatcher::KeywordMatcher(std::function<QString(int)> lowered)
    : m_lowered(std::move(lowered)) {}

KeywordMatcher::Filed KeywordMatcher::file(const std::function<QString(int)>& lowered, int count) {
    Filed filed;
    filed.table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString text = lowered(i);
        if (text.isEmpty())
            continue;
        filed.table.insert(TextTable::hash(text), i);
        ++filed.lengthCount[text.size()];
    }
    return filed;
}

void KeywordMatcher::adopt(Filed filed) {
    m_table = std::move(filed.table);
    m_lengthCount = std::move(filed.lengthCount);
    listLengths();
}

void KeywordMatcher::listLengths() {
    m_lengths.clear();
    for (const auto& [l, c] : m_lengthCount)
        m_lengths.push_back(l);
}

void KeywordMatcher::countLength(qsizetype length, int delta) {
    int& n = m_lengthCount[length];
    n += delta;
    const bool appeared = n == delta && delta > 0;
    if (n <= 0)
        m_lengthCount.erase(length);
    if (appeared || n <= 0)
        listLengths();
}

void KeywordMatcher::insert(int i) {
    const QString text = m_lowered(i);
    if (text.isEmpty())
        return;
    m_table.insert(TextTable::hash(text), i);
    countLength(text.size(), 1);
}

void KeywordMatcher::erase(int i) {
    const QString text = m_lowered(i);
    if (!text.isEmpty() && m_table.erase(TextTable::hash(text), i))
        countLength(text.size(), -1);
}

void KeywordMatcher::closeGap(int i) {
    m_table.closeGap(i);
}

void KeywordMatcher::scan(QStringView text, std::vector<int>& out) const {
    m_hashes.read(text);
    const qsizetype n = text.size();
    for (const qsizetype length : m_lengths) {
        if (length > n)
            break;
        for (qsizetype from = 0; from + length <= n; ++from) {
            const std::uint64_t h = m_hashes.hash(from, length);
            if (!m_table.mayHold(h))
                continue;
            m_table.forEach(h, [&](int k) {
                if (text.mid(from, length) == QStringView(m_lowered(k)))
                    out.push_back(k);
                return true;
            });
        }
    }
}

void KeywordMatcher::findAll(QStringView a, QStringView b, std::vector<int>& out) const {
    if (m_table.size() == 0)
        return;
    const std::size_t first = out.size();
    scan(a, out);
    scan(b, out);
    std::sort(out.begin() + std::ptrdiff_t(first), out.end());
    out.erase(std::unique(out.begin() + std::ptrdiff_t(first), out.end()), out.end());
    // The hashes of a huge text are not kept.
    if (m_hashes.size() > 65536)
        m_hashes = SubstringHashes();
}

std::size_t KeywordMatcher::memoryBytes() const {
    return m_table.memoryBytes() + m_lengths.capacity() * sizeof(qsizetype) +
           m_lengthCount.size() * 48;
}

} // namespace keywords
