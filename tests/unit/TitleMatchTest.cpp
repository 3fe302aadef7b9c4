#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/TitleMatch.h"

namespace zapnix {
namespace {

// Lowers the Latin-1 capitals as well, so that bytes above 0x7F are lowered through the port too.
class Latin1TextCase final : public TextCase {
public:
    std::string Lower(std::string_view text) const override {
        std::string out(text);
        for (char& c : out) {
            const auto b = static_cast<unsigned char>(c);
            if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
        }
        return out;
    }
    std::string Upper(std::string_view text) const override { return AsciiTextCase().Upper(text); }
};

const Latin1TextCase kCase;

// The meaning of matching written down as plainly as possible: every rule, one at a time. Only the exact
// literals count ("yes" is no "Yes", "exact" no mode); a pattern longer than the title neither begins nor
// ends it; an empty title contains nothing, not even an empty pattern.
bool ReferenceMatches(const RuleList& rules, std::string_view title) {
    title = title.substr(0, 259);
    for (const WindowKiller& rule : rules.Rows()) {
        if (rule.active != "Yes") continue;
        const bool cs = rule.caseSensitive == "Yes";
        const std::string t = cs ? std::string(title) : kCase.Lower(title);
        const std::string p = cs ? rule.title : kCase.Lower(rule.title);
        const std::string tail = t.substr(t.size() - std::min(p.size(), t.size()));
        if ((rule.match == "Exact" && t == p) || (rule.match == "Begins" && t.substr(0, p.size()) == p) ||
            (rule.match == "Ends" && tail == p) || (rule.match == "Contains" && !t.empty() && t.find(p) != t.npos))
            return true;
    }
    return false;
}

TEST(TitleMatch, TheIndexAnswersAsEveryRuleTriedInTurn) {
    std::mt19937 random(13);
    const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    const std::string letters = "abAB \xC4\xE4\xFF";
    const auto text = [&](std::size_t length) {
        std::string s(length, ' ');
        for (char& c : s) c = letters[random() % letters.size()];
        return s;
    };
    const auto length = [&] { return random() % 8 ? random() % 6 : 255 + random() % 8; };
    int matched = 0, missed = 0;
    for (int list = 0; list < 300; ++list) {
        RuleList rules;
        for (std::size_t i = 0, n = random() % 25; i < n; ++i)
            rules.Append({text(length()), pick({"Yes", "Yes", "yes", "No"}),
                          pick({"Exact", "Begins", "Contains", "Ends", "exact", ""}), pick({"Yes", "No", "yes"})});
        const RuleIndex index(rules.Rows(), kCase);
        for (int t = 0; t < 100; ++t) {
            // Titles built around the patterns, so that every mode both matches and misses.
            std::string title = text(length());
            if (rules.Count() && random() % 2)
                title.insert(random() % (title.size() + 1), rules.Row(random() % rules.Count()).title);
            const bool expected = ReferenceMatches(rules, title);
            ASSERT_EQ(index.Matches(title, kCase), expected) << "list " << list << " title [" << title << "]";
            ++(expected ? matched : missed);
        }
    }
    EXPECT_GT(std::min(matched, missed), 5000);
}

}  // namespace
}  // namespace zapnix
