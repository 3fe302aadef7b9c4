#pragma once
// A profile file held in memory with the reading and writing rules of the Windows profile
// functions (GetPrivateProfileStringA / GetPrivateProfileIntA / WritePrivateProfileStringA).
// Lines are kept verbatim: whatever a write does not touch is serialised byte for byte as parsed.
// A document belongs to one thread at a time: even a read may make the index of its key names.

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
    IniDocument(const IniDocument&) = default;
    IniDocument(IniDocument&&) noexcept = default;
    IniDocument& operator=(const IniDocument&) = default;
    IniDocument& operator=(IniDocument&&) noexcept = default;
    ~IniDocument();
    static IniDocument Parse(std::string_view bytes);
    // Keeps `bytes` as the document's buffer instead of copying them.
    static IniDocument Parse(std::string&& bytes);
    static IniDocument Parse(const char* bytes) { return Parse(std::string_view(bytes)); }
    // An empty string to read the next file into: the buffer of the last document this thread dropped,
    // so that reading a file of about the same size again takes no fresh memory from the system.
    static std::string TakeSpareBuffer();
    std::string Serialize() const;
    // The same bytes as pieces to be written one after the other: long runs of lines that stand as they
    // were read are views into the document, everything else is joined in `joined`. Valid while neither
    // the document nor `joined` changes. A save writes these, never copying the unchanged bulk of a file.
    std::vector<std::string_view> SerializePieces(std::string& joined) const;

    // "" when the section or key is missing; blanks and one pair of enclosing quotes removed.
    std::string ReadString(std::string_view section, std::string_view key) const;
    // Leading decimal digits after an optional sign, wrapping modulo 2^32; 0 when empty.
    std::uint32_t ReadNumber(std::string_view section, std::string_view key) const;
    // Replaces the first matching key in place, inserts a missing key after the last key line of its
    // section, or appends a missing section. Line breaks in the value never become lines of the file:
    // each CR and each LF is written as one space (in names too, which reads then treat alike).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Whether two section or key names are one to the profile functions: ASCII letter case aside.
    static bool SameName(std::string_view a, std::string_view b);

    // The line records that writes have made, rewritten, moved or stepped over since parsing: what a
    // batch of writes costs, which must grow with the writes and not with the lines they pass.
    std::uint64_t LineOperations() const { return lineOperations_; }

    // Writes into one section key after key, each write giving the bytes WriteString would give, for a
    // batch whose keys are pairwise different names, ASCII letter case aside (the caller's promise:
    // it is not checked). As long as the section's key lines come in the order of the keys written,
    // each is found by stepping on from the last: no look-up, and the index of key names that any
    // other look-up needs is never made. From the first key that breaks the order on, the writes go
    // through WriteString. Nothing else may change the document while the batch is written.
    class OrderedWrites {
    public:
        void Write(std::string_view key, std::string_view value);

    private:
        friend class IniDocument;
        OrderedWrites(IniDocument& document, std::string_view section);

        IniDocument& document_;
        std::string_view section_;
        std::uint32_t sectionNumber_;
        std::uint32_t at_;  // the key line written last, or the section's header
    };
    // `section` must outlive the batch.
    OrderedWrites WriteInOrder(std::string_view section) { return OrderedWrites(*this, section); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    static constexpr std::uint32_t kSectionScope = UINT32_MAX;  // index scope of section names

    enum class LineEnd : unsigned char { None, CrLf, Lf, Cr };  // None: last line without a line end
    enum class Kind : unsigned char { Other, Comment, Header, Key };
    // Lines never move once made: a new line is linked in after its predecessor, so that inserting
    // above the long tail of a section costs the same as appending.
    struct Line {
        std::size_t begin = 0;  // the text, without its line end: in read_, or past its end in written_
        std::size_t length = 0;
        std::uint32_t next = kNone;  // the following line of the file
        // Where the section name of a header or the key name of a key line stands in the text, found once
        // when the line is made: look-ups compare names on every write and must not classify again.
        // nameLength kNone: a line too long for these fields, classified when asked.
        std::uint32_t nameBegin = 0;
        std::uint32_t nameLength = 0;
        LineEnd eol = LineEnd::None;
        Kind kind = Kind::Other;
        bool asParsed = false;  // text and line end still stand in read_ as they were read
    };
    struct Section {
        std::uint32_t header = kNone;
        std::uint32_t lastKey = kNone;  // a new key goes below this line: the last key line, or the header
    };
    // One open-addressing table for every name look-up: section names (scope kSectionScope, value a
    // section number) and key names (scope the section's number, value the line). The names themselves
    // stay in the lines, without regard to ASCII letter case.
    struct Slot {
        std::uint32_t value = kNone;
        std::uint32_t scope = 0;
        std::uint32_t hash = 0;
    };

    std::string_view TextOf(std::uint32_t line) const {
        return {At(lines_[line].begin), lines_[line].length};
    }
    const char* At(std::size_t begin) const {
        return begin < read_.size() ? read_.data() + begin : written_.data() + (begin - read_.size());
    }
    // Where the text written next begins.
    std::size_t WrittenEnd() const { return read_.size() + written_.size(); }
    std::uint32_t MakeLine(std::size_t begin, std::size_t length, LineEnd eol);
    void Link(std::uint32_t line, std::uint32_t after);  // after kNone: at the end of the file
    // Sets the line's kind and name; `equals`: where the first '=' of its text stands, npos when none.
    void Classify(std::uint32_t line, std::size_t equals);
    void Classify(std::uint32_t line) { Classify(line, TextOf(line).find('=')); }
    void TakeLine(std::uint32_t line);                   // classifies and indexes a line at the end of the file
    void ParseLines();                                   // the lines of read_
    // The key names of every section into the index, in file order: made when a look-up first needs
    // them, since a batch of writes in the file's order never does.
    void IndexKeys() const;
    // Writes `value` into the key line `line`, keeping the file's spelling of its key.
    void ReplaceValue(std::uint32_t line, std::string_view value);
    // Whether a key line is the first of its name in its section, which reads find; known once the
    // key names are indexed.
    bool IsFirstOfName(std::uint32_t line) const {
        return line / 64 < firstOfName_.size() && ((firstOfName_[line / 64] >> (line % 64)) & 1) != 0;
    }
    void SetFirstOfName(std::uint32_t line) const;
    void InsertAfterLastKey(std::uint32_t section, std::size_t begin, std::size_t length);
    std::size_t AppendKeyLine(std::string_view key, std::string_view value);
    void EndWithLineBreak(std::uint32_t line);
    void MarkChanged(std::uint32_t line);  // a parsed line rewritten, or with lines linked in after it
    bool Precedes(std::uint32_t line, std::uint32_t other);  // walks the file from `line`

    // By a caller's name, not yet trimmed or flattened; `scratch` holds the flattened copy when one is
    // made. kNone when missing.
    std::uint32_t FindSection(std::string_view given, std::string& scratch) const;
    std::uint32_t FindKey(std::uint32_t section, std::string_view given, std::string& scratch) const;
    std::uint32_t Lookup(std::uint32_t scope, std::string_view name) const;     // kNone when missing
    void Index(std::uint32_t scope, std::string_view name, std::uint32_t value, bool replace);
    void Insert(std::uint32_t scope, std::uint32_t hash, std::string_view name, std::uint32_t value, bool replace);
    // Puts a name into a table that has room for it, probing from its home slot.
    void Place(std::size_t home, std::uint32_t scope, std::uint32_t hash, std::string_view name, std::uint32_t value,
               bool replace) const;
    std::size_t HomeSlot(std::uint32_t scope, std::uint32_t hash) const;
    std::size_t NextSlot(std::size_t slot) const { return slot + 1 == slots_ ? 0 : slot + 1; }
    // The table is at most 70 % full: probes stay short, and a file's names take fewer cache lines than
    // at half full.
    static constexpr std::size_t kLoadNumerator = 7;
    static constexpr std::size_t kLoadDenominator = 10;
    std::string_view NameOf(std::uint32_t scope, std::uint32_t value) const;
    std::string_view LineName(std::uint32_t number) const {
        const Line& line = lines_[number];
        if (line.nameLength == kNone) return ClassifiedName(number);
        return {At(line.begin) + line.nameBegin, line.nameLength};
    }
    std::string_view ClassifiedName(std::uint32_t line) const;
    void GrowIndex(std::size_t names) const;
    // The line records and index table of the last document this thread dropped, for the next one to
    // parse into: a save parses, writes and drops a document, and the next save would otherwise take
    // fresh pages from the system for the same tables all over again.
    struct Spare {
        std::string read;
        std::vector<Line> lines;
        std::vector<Slot> index;
        ~Spare();
    };
    // Null once the thread's spare is gone: a document destroyed after it (a static one at exit) keeps
    // its tables to itself.
    static Spare* ThreadSpare();

    std::string read_;  // the parsed bytes, never changed: lines that stay point into them
    // The text of every line written since, apart from the read bytes so that the first write does not
    // copy a whole file that was read.
    std::string written_;
    std::vector<Line> lines_;
    std::uint32_t first_ = kNone;
    std::uint32_t last_ = kNone;
    std::uint32_t parsedLines_ = 0;  // lines 0 to parsedLines_ - 1 are the parsed ones, in file order
    std::vector<std::uint64_t> changed_;  // a bit per parsed line, set by MarkChanged
    std::vector<Section> sections_;      // in the order they were made
    std::uint32_t lastSection_ = kNone;  // the section the file's last line belongs to
    // The index, its key names made when first needed: reads may make them.
    mutable std::vector<Slot> index_;
    // index_.size(), kept apart: a Slot is 12 bytes, and a division by 12 on every probe shows.
    mutable std::size_t slots_ = 0;
    mutable std::size_t indexed_ = 0;
    mutable bool keysIndexed_ = false;
    mutable std::vector<std::uint64_t> firstOfName_;  // a bit per line
    std::size_t size_ = 0;  // of the serialised bytes
    // A batch reads or writes the keys of a file mostly in the file's order: the key line after the one
    // found last is tried before the index, which saves a random access into it per key.
    mutable std::uint32_t cursor_ = kNone;
    mutable std::uint32_t cursorSection_ = kNone;
    std::uint64_t lineOperations_ = 0;
};

}  // namespace zapnix
