#pragma once
// The active window killers prepared once for many titles. A title is looked up by walking it a few
// times, whatever the number of rules: a hash set for "Exact", tries for "Begins" and "Ends" (the
// latter over reversed patterns) and an Aho-Corasick automaton for "Contains", one set of each for
// the rules where letter case counts and one, over lowered text, for the others.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/TextCase.h"
#include "rules/RuleList.h"

namespace zapnix {

// Byte patterns in a trie, with the transitions in one hash table: a node of a long rule list can
// have any of 256 children, and a table per node would cost far more memory than the patterns.
class PatternTrie {
public:
    PatternTrie();

    void Add(std::string_view pattern);
    void AddReversed(std::string_view pattern);
    // Readies OccursIn; call once, after the last Add.
    void LinkFailures();

    bool Empty() const { return !any_; }
    bool HasPrefixOf(std::string_view text) const;
    bool HasReversedSuffixOf(std::string_view text) const;  // for patterns added reversed
    bool OccursIn(std::string_view text) const;             // some pattern occurs somewhere in text

private:
    static constexpr std::uint32_t kNone = 0;  // the root is nobody's child
    struct Node {
        std::uint32_t fail = 0;
        std::uint32_t firstChild = kNone;
        std::uint32_t nextSibling = kNone;
        unsigned char byte = 0;  // on the edge from the parent
        bool terminal = false;   // a pattern ends here
        bool output = false;     // a pattern ends here or at a node of the failure chain
    };
    struct Edge {
        std::uint64_t key = 0;  // (parent << 8 | byte) + 1; 0 marks a free slot
        std::uint32_t child = kNone;
    };

    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    // Whether the bytes from `first` to `last`, followed from the root, pass a pattern's end.
    template <typename Bytes>
    bool PassesPatternEnd(Bytes first, Bytes last) const;
    std::uint32_t AddChild(std::uint32_t node, unsigned char byte);
    void Mark(std::uint32_t node);
    void GrowEdges();

    std::vector<Node> nodes_;
    // The root's children in a plain table: a title that matches nothing keeps falling back to the
    // root, and there a look-up is one load.
    std::array<std::uint32_t, 256> rootChildren_{};
    std::vector<Edge> edges_;
    std::size_t edgeCount_ = 0;
    unsigned shift_ = 64;
    bool any_ = false;
};

class RuleIndex {
public:
    RuleIndex() = default;
    RuleIndex(const std::vector<WindowKiller>& rules, const TextCase& textCase);

    // True when at least one active rule matches the title (its first 259 characters).
    bool Matches(std::string_view title, const TextCase& textCase) const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    struct Modes {
        std::unordered_set<std::string, Hash, std::equal_to<>> exact;
        PatternTrie begins;
        PatternTrie ends;
        PatternTrie contains;

        bool Empty() const { return exact.empty() && begins.Empty() && ends.Empty() && contains.Empty(); }
        bool Match(std::string_view text) const;
    };

    Modes caseSensitive_;
    Modes lowered_;  // patterns lowered by the TextCase that lowers the titles
};

}  // namespace zapnix
