#pragma once

#include <QStringView>
#include <cstdint>
#include <vector>

namespace keywords {

// A hash table from texts to the numbers of the entries holding them, which keeps no text:
// each slot holds 32 bits of the text's hash and the entry's number, 8 bytes in all. A text's
// hash is polynomial over its UTF-16 code units, so that the hash of every substring of a
// longer text follows from that text's prefix hashes (see SubstringHashes). Several entries
// may hold the same text; a lookup gives every entry whose hash bits agree, and the caller
// compares the texts.
class TextTable {
public:
    /// The hash of a text.
    static std::uint64_t hash(QStringView text);
    /// The table's key from a text's polynomial value and its length.
    static std::uint64_t key(std::uint64_t polynomial, qsizetype length);

    int size() const { return m_count; }
    void clear();
    /// Room for `count` entries without growing.
    void reserve(int count);
    void insert(std::uint64_t hash, int entry);
    /// Removes the slot of `entry` filed under `hash`; false when there is none.
    bool erase(std::uint64_t hash, int entry);
    /// Every entry number above `entry` goes down by one (entry `entry` was removed).
    void closeGap(int entry);
    /// Calls `found(entry)` for every entry filed under `hash`; stops early when it returns
    /// false.
    template <typename F> void forEach(std::uint64_t hash, F&& found) const {
        if (m_count == 0)
            return;
        const std::uint32_t low = std::uint32_t(hash);
        for (std::size_t s = low & m_mask;; s = (s + 1) & m_mask) {
            const Slot& slot = m_slots[s];
            if (slot.entry == kEmpty)
                return;
            if (slot.low == low && !found(int(slot.entry)))
                return;
        }
    }
    /// Whether some entry may be filed under `hash`: a quick test on a small bit set, which
    /// answers false for most texts that are not there.
    bool mayHold(std::uint64_t hash) const {
        const std::uint64_t bit = filterBit(std::uint32_t(hash));
        return m_count != 0 && (m_filter[bit >> 6] >> (bit & 63)) & 1;
    }
    std::size_t memoryBytes() const {
        return m_slots.capacity() * sizeof(Slot) + m_filter.capacity() * 8;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    struct Slot {
        std::uint32_t low = 0;
        std::uint32_t entry = kEmpty;
    };
    std::uint64_t filterBit(std::uint32_t low) const { return (low >> 12) & m_filterMask; }
    void grow(std::size_t slotCount);
    void place(std::uint32_t low, std::uint32_t entry);
    void setFilterBit(std::uint32_t low);

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    int m_count = 0;
    // One bit for each value of 20 bits of the hash, set for every entry's (a removal leaves
    // its bit until the table grows: the filter only ever answers "maybe").
    std::vector<std::uint64_t> m_filter;
    std::uint64_t m_filterMask = 0;
};

// The hashes of every substring of a text, in constant time each once the text is read.
class SubstringHashes {
public:
    void read(QStringView text);
    qsizetype size() const { return qsizetype(m_prefix.size()) - 1; }
    /// The table hash of text[from, from + length).
    std::uint64_t hash(qsizetype from, qsizetype length) const;

private:
    std::vector<std::uint64_t> m_prefix; // polynomial value of each prefix
    std::vector<std::uint64_t> m_power;  // the base to each power, as far as needed
};

} // namespace keywords
