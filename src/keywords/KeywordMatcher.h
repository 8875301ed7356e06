#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace keywords {

// Finds, in one pass over a text, every keyword of a list that occurs in it (Aho-Corasick
// over UTF-16 code units). Keywords are given already lower-cased; the texts searched must be
// lower-cased the same way.
class KeywordMatcher {
public:
    /// Builds the automaton; keyword i of the list has index i in the results.
    void build(const std::vector<QString>& keywords);
    /// Appends to `out` the index of every keyword found in `a` or in `b`, ascending, each
    /// once. An empty keyword is found nowhere.
    void findAll(QStringView a, QStringView b, std::vector<int>& out) const;
    int keywordCount() const { return m_keywordCount; }

private:
    struct Node {
        std::uint32_t firstEdge = 0; // edges of this node: [firstEdge, firstEdge + edgeCount)
        std::uint32_t edgeCount = 0;
        std::uint32_t fail = 0;
        std::uint32_t outputLink = 0;  // nearest node on the fail chain that ends a keyword
        std::int32_t firstOutput = -1; // keywords ending here: m_outputs[firstOutput ...]
        std::uint32_t outputCount = 0;
    };
    struct Edge {
        char16_t ch;
        std::uint32_t target;
    };

    std::uint32_t step(std::uint32_t state, char16_t ch) const;
    std::uint32_t child(std::uint32_t node, char16_t ch) const;
    void scan(QStringView text, std::vector<std::uint32_t>& stamp, std::uint32_t mark,
              std::vector<int>& out) const;

    std::vector<Node> m_nodes;
    std::vector<Edge> m_edges;
    std::vector<int> m_outputs;
    std::vector<std::uint16_t> m_rootNext; // dense transitions of the root for fast restarts
    int m_keywordCount = 0;
    mutable std::vector<std::uint32_t> m_stamp;
    mutable std::uint32_t m_mark = 0;
};

} // namespace keywords
