#pragma once
// A profile file held in memory with the reading and writing rules of the Windows profile
// functions (GetPrivateProfileStringA / GetPrivateProfileIntA / WritePrivateProfileStringA).
// Lines are kept verbatim: whatever a write does not touch is serialised byte for byte as parsed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zapnix {

class IniDocument {
public:
    // The longest text a read hands back: the profile functions fill a buffer of 260 characters.
    static constexpr std::size_t kMaxReadLength = 259;

    IniDocument() = default;
    static IniDocument Parse(std::string_view bytes);
    std::string Serialize() const;

    // "" when the section or key is missing; blanks and one pair of enclosing quotes removed.
    std::string ReadString(std::string_view section, std::string_view key) const;
    // Leading decimal digits after an optional sign, wrapping modulo 2^32; 0 when empty.
    std::uint32_t ReadNumber(std::string_view section, std::string_view key) const;
    // Replaces the first matching key in place, inserts a missing key after the last key line of its
    // section, or appends a missing section. Line breaks in the value never become lines of the file:
    // each CR and each LF is written as one space (in names too, which reads then treat alike).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

private:
    enum class LineEnd : unsigned char { None, CrLf, Lf, Cr };  // None: last line without a line end
    struct Line {
        std::string text;  // without its line end
        LineEnd eol = LineEnd::None;
    };

    // Name -> number of the first line or section of that name, without regard to ASCII letter case.
    // An open-addressing table of numbers: the names themselves stay in the lines, so that a save of
    // thousands of keys costs no allocation per key. Id 0 marks a free slot.
    class NameTable {
    public:
        // getName(id) yields the name an entry stands for.
        template <class GetName>
        std::uint32_t Find(std::string_view name, const GetName& getName) const;
        // With a name already present the smaller id stays: it is the first in the file.
        template <class GetName>
        void Add(std::uint32_t id, std::string_view name, const GetName& getName);
        // Every id above `after` goes up by one (a section was inserted).
        void ShiftAbove(std::uint32_t after);

    private:
        struct Slot {
            std::uint32_t id = 0;
            std::uint32_t hash = 0;
        };
        void Grow();
        std::vector<Slot> slots_;
        std::size_t count_ = 0;
    };

    struct Section {
        std::vector<Line> lines;      // lines[0] is the header
        NameTable keys;               // key name -> first line holding it
        std::size_t lastKeyLine = 0;  // 0: no key line yet (a new key then goes after the header)
    };

    void AddLine(Line line);
    void InsertAfterLastKey(std::size_t sectionIndex, Line line);
    void EndWithLineBreak();
    std::size_t FindSection(std::string_view name) const;                      // sections_.size() when missing
    std::size_t FindKey(const Section& section, std::string_view name) const;  // 0 when missing

    std::vector<Line> prelude_;  // lines before the first section header: never read
    std::vector<Section> sections_;
    NameTable sectionIndex_;  // section name -> 1 + index of the first section of that name
};

}  // namespace zapnix
