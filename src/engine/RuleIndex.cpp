#include "engine/RuleIndex.h"

#include <optional>

#include "platform/WindowSystem.h"

namespace zapnix {

PatternTrie::PatternTrie() : nodes_(1) {}

std::uint32_t PatternTrie::Child(std::uint32_t node, unsigned char byte) const {
    if (node == 0) return rootChildren_[byte];
    if (edges_.empty()) return kNone;
    const std::uint64_t key = ((std::uint64_t{node} << 8) | byte) + 1;
    const std::size_t mask = edges_.size() - 1;
    for (std::size_t i = (key * 0x9E3779B97F4A7C15ull) >> shift_;; i = (i + 1) & mask) {
        if (edges_[i].key == key) return edges_[i].child;
        if (edges_[i].key == 0) return kNone;
    }
}

std::uint32_t PatternTrie::AddChild(std::uint32_t node, unsigned char byte) {
    if (const std::uint32_t existing = Child(node, byte); existing != kNone) return existing;
    if (node != 0 && (edgeCount_ + 1) * 2 > edges_.size()) GrowEdges();
    const auto child = static_cast<std::uint32_t>(nodes_.size());
    nodes_.push_back({});
    nodes_[child].byte = byte;
    nodes_[child].nextSibling = nodes_[node].firstChild;
    nodes_[node].firstChild = child;
    if (node == 0) {
        rootChildren_[byte] = child;
        return child;
    }

    const std::uint64_t key = ((std::uint64_t{node} << 8) | byte) + 1;
    const std::size_t mask = edges_.size() - 1;
    std::size_t i = (key * 0x9E3779B97F4A7C15ull) >> shift_;
    while (edges_[i].key != 0) i = (i + 1) & mask;
    edges_[i] = {key, child};
    ++edgeCount_;
    return child;
}

void PatternTrie::GrowEdges() {
    std::vector<Edge> old = std::move(edges_);
    const std::size_t size = old.empty() ? 64 : old.size() * 2;
    edges_.assign(size, Edge{});
    shift_ = 64;
    for (std::size_t s = size; s > 1; s >>= 1) --shift_;
    const std::size_t mask = size - 1;
    for (const Edge& edge : old) {
        if (edge.key == 0) continue;
        std::size_t i = (edge.key * 0x9E3779B97F4A7C15ull) >> shift_;
        while (edges_[i].key != 0) i = (i + 1) & mask;
        edges_[i] = edge;
    }
}

void PatternTrie::Mark(std::uint32_t node) {
    nodes_[node].terminal = nodes_[node].output = true;
    any_ = true;
}

void PatternTrie::Add(std::string_view pattern) {
    std::uint32_t node = 0;
    for (const char c : pattern) node = AddChild(node, static_cast<unsigned char>(c));
    Mark(node);
}

void PatternTrie::AddReversed(std::string_view pattern) {
    std::uint32_t node = 0;
    for (auto c = pattern.rbegin(); c != pattern.rend(); ++c) node = AddChild(node, static_cast<unsigned char>(*c));
    Mark(node);
}

void PatternTrie::LinkFailures() {
    // Breadth first, so that every node's failure link is known before its children's.
    std::vector<std::uint32_t> queue;
    queue.reserve(nodes_.size());
    queue.push_back(0);
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const std::uint32_t parent = queue[next];
        for (std::uint32_t child = nodes_[parent].firstChild; child != kNone; child = nodes_[child].nextSibling) {
            queue.push_back(child);
            std::uint32_t fail = 0;
            if (parent != 0) {
                std::uint32_t state = nodes_[parent].fail;
                for (;;) {
                    fail = Child(state, nodes_[child].byte);
                    if (fail != kNone || state == 0) break;
                    state = nodes_[state].fail;
                }
            }
            nodes_[child].fail = fail;
            nodes_[child].output = nodes_[child].terminal || nodes_[fail].output;
        }
    }
}

template <typename Bytes>
bool PatternTrie::PassesPatternEnd(Bytes first, Bytes last) const {
    std::uint32_t node = 0;
    if (nodes_[node].terminal) return true;
    for (; first != last; ++first) {
        node = Child(node, static_cast<unsigned char>(*first));
        if (node == kNone) return false;
        if (nodes_[node].terminal) return true;
    }
    return false;
}

bool PatternTrie::HasPrefixOf(std::string_view text) const {
    return PassesPatternEnd(text.begin(), text.end());
}

bool PatternTrie::HasReversedSuffixOf(std::string_view text) const {
    return PassesPatternEnd(text.rbegin(), text.rend());
}

bool PatternTrie::OccursIn(std::string_view text) const {
    std::uint32_t state = 0;
    if (nodes_[state].output) return true;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        std::uint32_t next = Child(state, byte);
        while (next == kNone && state != 0) {
            state = nodes_[state].fail;
            next = Child(state, byte);
        }
        state = next;  // kNone is the root
        if (nodes_[state].output) return true;
    }
    return false;
}

RuleIndex::RuleIndex(const std::vector<WindowKiller>& rules, const TextCase& textCase) {
    for (const WindowKiller& rule : rules) {
        // Every cell is compared with its literal exactly; any other text leaves the rule out.
        if (rule.active != "Yes") continue;
        const bool caseSensitive = rule.caseSensitive == "Yes";
        Modes& modes = caseSensitive ? caseSensitive_ : lowered_;
        std::optional<std::string> lowered;
        if (!caseSensitive) lowered = textCase.Lower(rule.title);
        const std::string& pattern = caseSensitive ? rule.title : *lowered;
        if (rule.match == "Exact") {
            modes.exact.insert(pattern);
        } else if (rule.match == "Begins") {
            modes.begins.Add(pattern);
        } else if (rule.match == "Ends") {
            modes.ends.AddReversed(pattern);
        } else if (rule.match == "Contains") {
            modes.contains.Add(pattern);
        }
    }
    caseSensitive_.contains.LinkFailures();
    lowered_.contains.LinkFailures();
}

bool RuleIndex::Modes::Match(std::string_view text) const {
    // A pattern longer than the title is held against the whole title under "Begins" and "Ends", and so
    // never matches: exactly a prefix or suffix test. An empty title contains nothing, not even an empty
    // pattern.
    return (!exact.empty() && exact.find(text) != exact.end()) || begins.HasPrefixOf(text) ||
           ends.HasReversedSuffixOf(text) || (!text.empty() && contains.OccursIn(text));
}

bool RuleIndex::Matches(std::string_view title, const TextCase& textCase) const {
    title = title.substr(0, WindowSystem::kMaxText);
    if (caseSensitive_.Match(title)) return true;
    // Lowering works character by character, so the lowered title's head or tail is the lowered head or
    // tail of the title.
    return !lowered_.Empty() && lowered_.Match(textCase.Lower(title));
}

}  // namespace zapnix
