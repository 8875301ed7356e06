#include "keywords/KeywordMatcher.h"

#include <algorithm>
#include <map>

namespace keywords {

namespace {
constexpr std::uint32_t kRoot = 0;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
} // namespace

void KeywordMatcher::build(const std::vector<QString>& keywords) {
    m_keywordCount = int(keywords.size());
    m_nodes.clear();
    m_edges.clear();
    m_outputs.clear();
    m_emptyKeywords.clear();
    m_stamp.assign(keywords.size(), 0);
    m_mark = 0;

    // Build the trie with per-node child maps, then lay it out breadth-first with each node's
    // edges sorted and contiguous.
    struct BuildNode {
        std::map<char16_t, std::uint32_t> children;
        std::vector<int> outputs;
    };
    std::vector<BuildNode> trie(1);
    for (int i = 0; i < int(keywords.size()); ++i) {
        const QString& kw = keywords[i];
        if (kw.isEmpty()) {
            m_emptyKeywords.push_back(i);
            continue;
        }
        std::uint32_t node = kRoot;
        for (QChar qc : kw) {
            const char16_t ch = qc.unicode();
            auto it = trie[node].children.find(ch);
            if (it == trie[node].children.end()) {
                trie.push_back({});
                const auto created = std::uint32_t(trie.size() - 1);
                trie[node].children.emplace(ch, created);
                node = created;
            } else {
                node = it->second;
            }
        }
        trie[node].outputs.push_back(i);
    }

    // Breadth-first renumbering.
    std::vector<std::uint32_t> order;
    order.reserve(trie.size());
    std::vector<std::uint32_t> newId(trie.size());
    order.push_back(kRoot);
    for (std::size_t q = 0; q < order.size(); ++q)
        for (const auto& [ch, c] : trie[order[q]].children)
            order.push_back(c);
    for (std::uint32_t i = 0; i < order.size(); ++i)
        newId[order[i]] = i;

    m_nodes.assign(order.size(), Node{});
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        BuildNode& b = trie[order[i]];
        Node& n = m_nodes[i];
        n.firstEdge = std::uint32_t(m_edges.size());
        n.edgeCount = std::uint32_t(b.children.size());
        for (const auto& [ch, c] : b.children)
            m_edges.push_back({ch, newId[c]});
        if (!b.outputs.empty()) {
            n.firstOutput = int(m_outputs.size());
            n.outputCount = std::uint32_t(b.outputs.size());
            m_outputs.insert(m_outputs.end(), b.outputs.begin(), b.outputs.end());
        }
        b.children.clear();
    }
    trie.clear();
    trie.shrink_to_fit();

    // Dense root transitions (0 means "stay at the root").
    m_rootNext.assign(0x10000, 0);
    const Node& root = m_nodes[kRoot];
    for (std::uint32_t e = root.firstEdge; e < root.firstEdge + root.edgeCount; ++e)
        m_rootNext[m_edges[e].ch] =
            std::uint16_t(std::min<std::uint32_t>(m_edges[e].target, 0xFFFF));
    // Nodes beyond 65535 cannot be stored densely: mark them so that child() is used.
    for (std::uint32_t e = root.firstEdge; e < root.firstEdge + root.edgeCount; ++e)
        if (m_edges[e].target > 0xFFFF)
            m_rootNext[m_edges[e].ch] = 0xFFFF;

    // Failure and output links. Nodes are numbered breadth-first, so a node's own failure link
    // is known before its children's are computed.
    for (std::uint32_t u = 0; u < m_nodes.size(); ++u) {
        const Node& n = m_nodes[u];
        for (std::uint32_t e = n.firstEdge; e < n.firstEdge + n.edgeCount; ++e) {
            const char16_t ch = m_edges[e].ch;
            const std::uint32_t c = m_edges[e].target;
            std::uint32_t target = kRoot;
            if (u != kRoot) {
                for (std::uint32_t f = n.fail;; f = m_nodes[f].fail) {
                    const std::uint32_t next = child(f, ch);
                    if (next != kNone) {
                        target = next;
                        break;
                    }
                    if (f == kRoot)
                        break;
                }
            }
            m_nodes[c].fail = target;
            const Node& fn = m_nodes[target];
            m_nodes[c].outputLink = fn.outputCount > 0 ? target : fn.outputLink;
        }
    }
}

std::uint32_t KeywordMatcher::child(std::uint32_t node, char16_t ch) const {
    const Node& n = m_nodes[node];
    const Edge* begin = m_edges.data() + n.firstEdge;
    const Edge* end = begin + n.edgeCount;
    const Edge* it =
        std::lower_bound(begin, end, ch, [](const Edge& e, char16_t c) { return e.ch < c; });
    return (it != end && it->ch == ch) ? it->target : kNone;
}

std::uint32_t KeywordMatcher::step(std::uint32_t state, char16_t ch) const {
    while (state != kRoot) {
        const std::uint32_t next = child(state, ch);
        if (next != kNone)
            return next;
        state = m_nodes[state].fail;
    }
    const std::uint16_t dense = m_rootNext[ch];
    if (dense != 0xFFFF)
        return dense;
    const std::uint32_t next = child(kRoot, ch);
    return next == kNone ? kRoot : next;
}

void KeywordMatcher::scan(QStringView text, std::vector<std::uint32_t>& stamp, std::uint32_t mark,
                          std::vector<int>& out) const {
    std::uint32_t state = kRoot;
    for (QChar qc : text) {
        state = step(state, qc.unicode());
        for (std::uint32_t s = state; s != kRoot; s = m_nodes[s].outputLink) {
            const Node& n = m_nodes[s];
            bool fresh = false;
            for (std::uint32_t k = 0; k < n.outputCount; ++k) {
                const int kw = m_outputs[n.firstOutput + k];
                if (stamp[kw] != mark) {
                    stamp[kw] = mark;
                    out.push_back(kw);
                    fresh = true;
                }
            }
            // Once a node's keywords were reported, those along its output chain were too.
            if (n.outputCount > 0 && !fresh)
                break;
        }
    }
}

void KeywordMatcher::findAll(QStringView a, QStringView b, std::vector<int>& out) const {
    const std::size_t first = out.size();
    if (m_nodes.empty() && m_emptyKeywords.empty())
        return;
    if (++m_mark == 0) {
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        m_mark = 1;
    }
    if (!m_nodes.empty()) {
        scan(a, m_stamp, m_mark, out);
        scan(b, m_stamp, m_mark, out);
    }
    if (!a.isEmpty() || !b.isEmpty())
        out.insert(out.end(), m_emptyKeywords.begin(), m_emptyKeywords.end());
    std::sort(out.begin() + std::ptrdiff_t(first), out.end());
}

} // namespace keywords
