#pragma once
// A profile file held in memory with the reading and writing rules of the Windows profile functions
// (GetPrivateProfileStringA / GetPrivateProfileIntA / WritePrivateProfileStringA). Lines are kept
// verbatim: whatever a write does not touch is serialised byte for byte as it was parsed.
// A document belongs to one thread at a time: even a read may make the index of a section's key names.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zapnix {

class IniDocument {
public:
    // The longest text a read hands back: the profile functions fill a buffer of 260 characters.
    static constexpr std::size_t kMaxReadLength = 259;
    // A document holds less than 4 GB (parsed bytes and written text together): Parse and the writes
    // throw std::length_error beyond.
    static constexpr std::size_t kMaxBytes = UINT32_MAX - 1;

    static IniDocument Parse(std::string bytes);
    std::string Serialize() const;
    // The same bytes as views into the document, to be written one after the other: lines that stand
    // one after the other in its buffer (all lines of a file that was only read) make one run. Valid
    // until the document changes.
    std::vector<std::string_view> Runs() const;

    // "" when the section or key is missing; blanks and one pair of enclosing quotes removed.
    std::string ReadString(std::string_view section, std::string_view key) const;
    // Whether the section holds the key, empty or not: what reads cannot tell.
    bool HasKey(std::string_view section, std::string_view key) const;
    // Leading decimal digits after an optional sign, wrapping modulo 2^32; 0 when empty.
    std::uint32_t ReadNumber(std::string_view section, std::string_view key) const;
    // The number that a read string holds, as ReadNumber reads it.
    static std::uint32_t NumberIn(std::string_view text);
    // Replaces the first matching key in place, inserts a missing key after the last key line of its
    // section, or appends a missing section. Line breaks in the value never become lines of the file:
    // each CR and each LF is written as one space (in names too, which reads then treat alike).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key lines of the section whose key names `doomed` picks; every other line stays.
    void RemoveKeys(std::string_view section, const std::function<bool(std::string_view name)>& doomed);

    // Whether two section or key names are one to the profile functions: ASCII letter case aside.
    static bool SameName(std::string_view a, std::string_view b);

    // A batch of reads or writes of one section's keys, pairwise different names (the caller's
    // promise: it is not checked), each with the meaning of ReadString or WriteString. A list is
    // mostly read and saved in the order its last save left it, so each key is looked for first on
    // the section's key line after the last one found: no look-up, and past the section's last key
    // line a key is missing. A key found elsewhere or not at all goes through the look-up that
    // ReadString and WriteString use. Nothing else may change the document during a batch.
    class OrderedReads {
    public:
        std::string Read(std::string_view key);

    private:
        friend class IniDocument;
        OrderedReads(const IniDocument& document, std::string_view section);

        const IniDocument& document_;
        std::string section_;
        std::uint32_t sectionNumber_;  // kNone when the section is missing
        std::uint32_t at_;           // the key line found last, or the section's header
    };
    class OrderedWrites {
    public:
        void Write(std::string_view key, std::string_view value);
        // Then RemoveKeys for the section, where `doomed` picks none of the keys written: only the
        // lines below the last key found need a look.
        void RemoveOthers(const std::function<bool(std::string_view name)>& doomed);

    private:
        friend class IniDocument;
        OrderedWrites(IniDocument& document, std::string_view section);

        IniDocument& document_;
        std::string section_;
        std::uint32_t sectionNumber_;  // kNone when the section is missing
        std::uint32_t at_;           // the key line found last, or the section's header
    };
    OrderedReads ReadInOrder(std::string_view section) const { return OrderedReads(*this, section); }
    OrderedWrites WriteInOrder(std::string_view section) { return OrderedWrites(*this, section); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    enum class Kind : unsigned char { Other, Comment, Header, Key };

    // Lines never move once made: a new line is linked in below another one, so that line numbers
    // stay valid in the index and inserting amid a long file costs no more than appending. Line
    // numbers and places are 32 bits wide: a large file's save spends much of its time making fresh
    // memory for these records, twice as much at 64 bits.
    struct Line {
        std::uint32_t begin = 0;       // the text in bytes_, its line end right after it
        std::uint32_t length = 0;      // without the line end
        std::uint32_t next = kNone;    // the line below
        std::uint32_t nameBegin = 0;   // the section name of a header or the key name of a key line,
        std::uint32_t nameLength = 0;  // where it stands in the text: found once, compared on every write
        unsigned char endLength = 0;   // 2 for CR LF, 1 for CR or LF, 0 for a last line without one
        Kind kind = Kind::Other;
    };
    struct Section {
        std::uint32_t header = kNone;
        std::uint32_t lastKey = kNone;  // new keys go below this line: the last key line, or the header
        // Key names, ASCII letters made small, to the first key line of that name. Made when a look-up
        // first needs it: a save that steps through the section in order never does.
        mutable std::unordered_map<std::string, std::uint32_t> keys = {};
        mutable bool indexed = false;
    };

    // Sets the kind and the name of a line whose text is `text`.
    static void Classify(Line& line, std::string_view text);
    std::string_view TextOf(std::uint32_t line) const { return {bytes_.data() + lines_[line].begin, lines_[line].length}; }
    std::string_view NameOf(std::uint32_t line) const {
        return TextOf(line).substr(lines_[line].nameBegin, lines_[line].nameLength);
    }

    std::uint32_t FindSection(std::string_view name) const;  // kNone when missing
    std::uint32_t FindKey(std::uint32_t section, std::string_view name) const;
    // The batches' look-up: the key line after `at` in section `section` when it holds `key` (raw, as
    // it stands in the file), and then `at` moves there; kNone otherwise. The key lines from the header
    // down to `at` are all keys found before, of other names: so the line found is the first of its name,
    // and when `at` is the last key line a key of plain name is missing.
    std::uint32_t StepTo(std::uint32_t section, std::uint32_t& at, std::string_view key) const;
    std::string ValueOf(std::uint32_t line) const;
    // The section the file's last line is in; kNone when no line is in one.
    std::uint32_t LastSection() const { return sections_.empty() ? kNone : static_cast<std::uint32_t>(sections_.size() - 1); }

    // Makes a line of `text` ended by CR LF below line `after` (kNone: the file is empty), in section
    // number `section` (kNone: above every header).
    std::uint32_t InsertLine(std::uint32_t after, std::string_view text, std::uint32_t section);
    // Links a line record in below `after` and files it in its section as a header or key line.
    std::uint32_t AddLine(const Line& line, std::uint32_t after, std::uint32_t section);
    // Puts `text` and CR LF at the end of bytes_ for line `line`; what it had stays there, unused.
    void SetText(Line& line, std::string_view text);
    void ReplaceValue(std::uint32_t line, std::string_view value);
    // Removes the key lines that `doomed` picks from a section, below line `from` of it.
    void RemoveKeys(std::uint32_t section, std::uint32_t from, const std::function<bool(std::string_view)>& doomed);

    std::string bytes_;        // the bytes parsed, then the text of every line written since
    std::vector<Line> lines_;  // in the order they were made; `next` gives the order of the file
    std::uint32_t first_ = kNone;
    std::uint32_t last_ = kNone;
    std::vector<Section> sections_;  // in file order: with duplicate names the first one is searched
};

// The runs one after the other, in one string.
std::string Joined(std::span<const std::string_view> runs);

}  // namespace zapnix
