#include "keywords/KeywordMatcher.h"

#include <algorithm>

namespace keywords {

namespace {
constexpr std::uint32_t kRoot = 0;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
} // namespace

void KeywordMatcher::build(const std::vector<QString>& keywords) {
    m_keywordCount = int(keywords.size());
    m_stamp.assign(keywords.size(), 0);
    m_mark = 0;

    // The keywords in code-unit order. An empty keyword (a blank line of the list) would close
    // every window: it matches nothing, so it is left out.
    std::vector<int> order;
    order.reserve(keywords.size());
    for (int i = 0; i < int(keywords.size()); ++i)
        if (!keywords[i].isEmpty())
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return QStringView(keywords[a]).compare(QStringView(keywords[b])) < 0;
    });
    const auto at = [&](std::uint32_t k, qsizetype depth) {
        return keywords[std::size_t(order[k])][depth].unicode();
    };

    // The trie has one node for every distinct prefix: each keyword adds those it does not
    // share with the one before it. Counted first, so that the nodes and edges take no more
    // memory than they need.
    std::size_t nodeCount = 1;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const QStringView kw(keywords[std::size_t(order[k])]);
        qsizetype common = 0;
        if (k > 0) {
            const QStringView previous(keywords[std::size_t(order[k - 1])]);
            const qsizetype limit = std::min(kw.size(), previous.size());
            while (common < limit && kw[common] == previous[common])
                ++common;
        }
        nodeCount += std::size_t(kw.size() - common);
    }
    m_nodes.clear();
    m_nodes.shrink_to_fit();
    m_nodes.reserve(nodeCount);
    m_edges.clear();
    m_edges.shrink_to_fit();
    m_edges.reserve(nodeCount - 1);
    m_outputs.clear();
    m_outputs.shrink_to_fit();
    m_outputs.reserve(order.size());

    // Built level by level, straight in breadth-first order, with each node's edges contiguous
    // and sorted: a node stands for the run of sorted keywords that share its prefix; the
    // keywords that end with it come first in the run and are its outputs, the others group
    // by their next character into its children. While building, a node's run [lo, hi) is kept
    // in its fail and outputLink fields, which the failure links below overwrite.
    m_nodes.push_back({});
    m_nodes[kRoot].outputLink = std::uint32_t(order.size());
    std::size_t levelEnd = 1;
    qsizetype depth = 0;
    for (std::uint32_t u = 0; u < m_nodes.size(); ++u) {
        if (u == levelEnd) {
            ++depth;
            levelEnd = m_nodes.size();
        }
        const std::uint32_t lo = m_nodes[u].fail;
        const std::uint32_t hi = m_nodes[u].outputLink;
        std::uint32_t k = lo;
        while (k < hi && keywords[std::size_t(order[k])].size() == depth)
            ++k;
        if (k > lo) {
            m_nodes[u].firstOutput = std::int32_t(m_outputs.size());
            m_nodes[u].outputCount = k - lo;
            m_outputs.insert(m_outputs.end(), order.begin() + lo, order.begin() + k);
        }
        m_nodes[u].firstEdge = std::uint32_t(m_edges.size());
        while (k < hi) {
            const char16_t ch = at(k, depth);
            std::uint32_t end = k + 1;
            while (end < hi && at(end, depth) == ch)
                ++end;
            m_edges.push_back({ch, std::uint32_t(m_nodes.size())});
            Node child;
            child.fail = k;
            child.outputLink = end;
            m_nodes.push_back(child);
            k = end;
        }
        m_nodes[u].edgeCount = std::uint32_t(m_edges.size()) - m_nodes[u].firstEdge;
    }
    m_nodes[kRoot].fail = kRoot;
    m_nodes[kRoot].outputLink = kRoot;

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
    if (m_nodes.size() <= 1)
        return; // no keyword, or empty ones only
    if (++m_mark == 0) {
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        m_mark = 1;
    }
    scan(a, m_stamp, m_mark, out);
    scan(b, m_stamp, m_mark, out);
    std::sort(out.begin() + std::ptrdiff_t(first), out.end());
}

} // namespace keywords
