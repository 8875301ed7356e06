#include "keywords/TextTable.h"

#include <algorithm>

namespace keywords {

namespace {

constexpr std::uint64_t kBase = 0x100000001B3ull * 2 + 1; // odd, so every power is too
constexpr std::size_t kFilterBits = std::size_t(1) << 20; // 128 KiB

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

} // namespace

std::uint64_t TextTable::key(std::uint64_t polynomial, qsizetype length) {
    return mix(polynomial + std::uint64_t(length) * 0x9E3779B97F4A7C15ull);
}

std::uint64_t TextTable::hash(QStringView text) {
    std::uint64_t h = 0;
    for (QChar c : text)
        h = h * kBase + c.unicode();
    return key(h, text.size());
}

void TextTable::clear() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_filter.clear();
    m_filter.shrink_to_fit();
    m_mask = 0;
    m_filterMask = 0;
    m_count = 0;
}

void TextTable::reserve(int count) {
    // At most half full: a lookup of a text that is not there stops after two slotCount or so.
    std::size_t slotCount = 16;
    while (slotCount < std::size_t(count) * 2)
        slotCount *= 2;
    if (slotCount > m_slots.size())
        grow(slotCount);
}

void TextTable::grow(std::size_t slotCount) {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(slotCount, Slot{});
    m_mask = slotCount - 1;
    m_filter.assign(kFilterBits / 64, 0);
    m_filterMask = kFilterBits - 1;
    for (const Slot& s : old)
        if (s.entry != kEmpty)
            place(s.low, s.entry);
}

void TextTable::setFilterBit(std::uint32_t low) {
    const std::uint64_t bit = filterBit(low);
    m_filter[bit >> 6] |= std::uint64_t(1) << (bit & 63);
}

void TextTable::place(std::uint32_t low, std::uint32_t entry) {
    std::size_t s = low & m_mask;
    while (m_slots[s].entry != kEmpty)
        s = (s + 1) & m_mask;
    m_slots[s] = {low, entry};
    setFilterBit(low);
}

void TextTable::insert(std::uint64_t hash, int entry) {
    if (std::size_t(m_count + 1) * 2 > m_slots.size())
        grow(std::max<std::size_t>(16, m_slots.size() * 2));
    place(std::uint32_t(hash), std::uint32_t(entry));
    ++m_count;
}

bool TextTable::erase(std::uint64_t hash, int entry) {
    if (m_count == 0)
        return false;
    const std::uint32_t low = std::uint32_t(hash);
    std::size_t s = low & m_mask;
    for (;; s = (s + 1) & m_mask) {
        if (m_slots[s].entry == kEmpty)
            return false;
        if (m_slots[s].low == low && m_slots[s].entry == std::uint32_t(entry))
            break;
    }
    // Linear probing without tombstones: the slotCount after the hole that cannot stay where they
    // are move back into it.
    std::size_t hole = s;
    for (std::size_t next = (hole + 1) & m_mask; m_slots[next].entry != kEmpty;
         next = (next + 1) & m_mask) {
        const std::size_t home = m_slots[next].low & m_mask;
        // The slot stays when its home lies cyclically in (hole, next].
        const bool stays =
            hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!stays) {
            m_slots[hole] = m_slots[next];
            hole = next;
        }
    }
    m_slots[hole] = Slot{};
    --m_count;
    return true;
}

void TextTable::closeGap(int entry) {
    for (Slot& s : m_slots)
        if (s.entry != kEmpty && s.entry > std::uint32_t(entry))
            --s.entry;
}

void SubstringHashes::read(QStringView text) {
    m_prefix.resize(std::size_t(text.size()) + 1);
    m_prefix[0] = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        m_prefix[std::size_t(i) + 1] = m_prefix[std::size_t(i)] * kBase + text[i].unicode();
    if (m_power.empty())
        m_power.push_back(1);
    while (m_power.size() < m_prefix.size())
        m_power.push_back(m_power.back() * kBase);
}

std::uint64_t SubstringHashes::hash(qsizetype from, qsizetype length) const {
    const std::uint64_t value = m_prefix[std::size_t(from + length)] -
                                m_prefix[std::size_t(from)] * m_power[std::size_t(length)];
    return TextTable::key(value, length);
}

} // namespace keywords
