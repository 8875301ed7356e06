#include "keywords/KeywordMatcher.h"

#include <algorithm>

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

    // Distinct keywords in code-unit order: with sorted input each keyword shares its prefix
    // with the one before it along the most recently added children, so the trie is built
    // without any child search. Children are linked in ascending order.
    std::vector<int> order(keywords.size());
    for (int i = 0; i < int(keywords.size()); ++i)
        order[i] = i;
    std::erase_if(order, [&](int i) {
        if (!keywords[i].isEmpty())
            return false;
        m_emptyKeywords.push_back(i);
        return true;
    });
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return QStringView(keywords[a]).compare(QStringView(keywords[b])) < 0;
    });

    struct BuildNode {
        char16_t ch = 0;
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t nextSibling = kNone;
        std::uint32_t childCount = 0;
        std::int32_t firstOutput = -1; // into `outputs`, grouped per node (keywords are sorted)
        std::uint32_t outputCount = 0;
    };
    std::vector<BuildNode> trie(1);
    std::vector<int> outputs;
    outputs.reserve(order.size());
    std::vector<std::uint32_t> path{kRoot}; // nodes along the previous keyword
    QStringView previous;
    for (int i : order) {
        const QStringView kw(keywords[i]);
        qsizetype common = 0;
        const qsizetype limit = std::min(kw.size(), previous.size());
        while (common < limit && kw[common] == previous[common])
            ++common;
        path.resize(std::size_t(common) + 1);
        for (qsizetype k = common; k < kw.size(); ++k) {
            const std::uint32_t parent = path.back();
            const auto created = std::uint32_t(trie.size());
            trie.push_back({});
            trie.back().ch = kw[k].unicode();
            BuildNode& p = trie[parent];
            if (p.lastChild == kNone)
                p.firstChild = created;
            else
                trie[p.lastChild].nextSibling = created;
            p.lastChild = created;
            ++p.childCount;
            path.push_back(created);
        }
        BuildNode& end = trie[path.back()];
        if (end.outputCount == 0)
            end.firstOutput = std::int32_t(outputs.size());
        outputs.push_back(i);
        ++end.outputCount;
        previous = kw;
    }

    // Breadth-first renumbering, with each node's edges contiguous and sorted.
    std::vector<std::uint32_t> bfs;
    bfs.reserve(trie.size());
    std::vector<std::uint32_t> newId(trie.size());
    bfs.push_back(kRoot);
    for (std::size_t q = 0; q < bfs.size(); ++q)
        for (std::uint32_t c = trie[bfs[q]].firstChild; c != kNone; c = trie[c].nextSibling)
            bfs.push_back(c);
    for (std::uint32_t i = 0; i < bfs.size(); ++i)
        newId[bfs[i]] = i;

    m_nodes.assign(bfs.size(), Node{});
    m_edges.reserve(bfs.size());
    for (std::uint32_t i = 0; i < bfs.size(); ++i) {
        const BuildNode& b = trie[bfs[i]];
        Node& n = m_nodes[i];
        n.firstEdge = std::uint32_t(m_edges.size());
        n.edgeCount = b.childCount;
        for (std::uint32_t c = b.firstChild; c != kNone; c = trie[c].nextSibling)
            m_edges.push_back({trie[c].ch, newId[c]});
        if (b.outputCount > 0) {
            n.firstOutput = int(m_outputs.size());
            n.outputCount = b.outputCount;
            m_outputs.insert(m_outputs.end(), outputs.begin() + b.firstOutput,
                             outputs.begin() + b.firstOutput + b.outputCount);
        }
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
