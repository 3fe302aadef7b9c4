#include "profile/IniDocument.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <emmintrin.h>  // SSE2, which every x86-64 processor has
#include <stdexcept>
#include <utility>

namespace zapnix {

namespace {

// Scans go eight bytes at a time: a byte at a time (as the C library of some systems does memchr) they
// would cost more than the rest of parsing together. Bytes are numbered from the low end of a word.
static_assert(std::endian::native == std::endian::little);
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

std::uint64_t LoadWord(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The high bit of each byte of `word` that equals `c`, and no other bit.
std::uint64_t BytesEqual(std::uint64_t word, char c) {
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Finds the lines of a buffer 64 bytes at a time: for each block, one bit per byte that is a line end
// (CR or LF) and one per '=', so that walking from line to line and finding a key line's '=' cost a
// few bit operations rather than a look at every byte.
class LineScanner {
public:
    LineScanner(const char* data, std::size_t size) : data_(data), size_(size) { Load(0); }

    struct Line {
        std::size_t end;     // the first CR or LF at or after the line's start, or the buffer's size
        std::size_t equals;  // the first '=' before `end`, npos when none
    };
    // The line that begins at `from`, which is at or after the start of the previous line found.
    Line Next(std::size_t from) {
        std::size_t equals = std::string_view::npos;
        while (from >= base_ + 64) Load(base_ + 64);
        for (std::size_t at = from;;) {
            const unsigned shift = static_cast<unsigned>(at - base_);
            const std::uint64_t ends = ends_ >> shift;
            const std::uint64_t found = equals == std::string_view::npos ? equals_ >> shift : 0;
            if (ends != 0) {
                const auto end = static_cast<unsigned>(std::countr_zero(ends));
                if (found != 0 && static_cast<unsigned>(std::countr_zero(found)) < end)
                    equals = at + static_cast<std::size_t>(std::countr_zero(found));
                return {at + end, equals};
            }
            if (found != 0) equals = at + static_cast<std::size_t>(std::countr_zero(found));
            if (base_ + 64 >= size_) return {size_, equals};
            Load(base_ + 64);
            at = base_;
        }
    }

private:
    void Load(std::size_t base) {
        base_ = base;
        ends_ = 0;
        equals_ = 0;
        if (base + 64 <= size_) {
            const __m128i lf = _mm_set1_epi8('\n');
            const __m128i cr = _mm_set1_epi8('\r');
            const __m128i eq = _mm_set1_epi8('=');
            for (unsigned k = 0; k < 4; ++k) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data_ + base + 16 * k));
                const auto lineEnds = static_cast<std::uint32_t>(
                    _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr))));
                const auto equalSigns = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, eq)));
                ends_ |= std::uint64_t{lineEnds} << (16 * k);
                equals_ |= std::uint64_t{equalSigns} << (16 * k);
            }
            return;
        }
        for (std::size_t i = base; i < size_; ++i) {
            const std::uint64_t bit = std::uint64_t{1} << (i - base);
            if (data_[i] == '\n' || data_[i] == '\r') ends_ |= bit;
            if (data_[i] == '=') equals_ |= bit;
        }
    }

    const char* data_;
    std::size_t size_;
    std::size_t base_ = 0;  // where the current block begins
    std::uint64_t ends_ = 0;
    std::uint64_t equals_ = 0;
};

// The first `c` in `text`, or npos; a library call for the few bytes before a key's '=' would cost
// more than the search.
std::size_t FindByte(std::string_view text, char c) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        const std::uint64_t found = BytesEqual(LoadWord(text.data() + i), c);
        if (found != 0) return i + static_cast<std::size_t>(std::countr_zero(found) / 8);
    }
    for (; i < text.size(); ++i)
        if (text[i] == c) return i;
    return std::string_view::npos;
}

// Whether `text` holds a CR or an LF: every write asks it of its section and key names.
[[gnu::always_inline]] inline bool HasLineBreak(std::string_view text) {
    const auto breaks = [](std::uint64_t word) { return (BytesEqual(word, '\n') | BytesEqual(word, '\r')) != 0; };
    const char* const at = text.data();
    const std::size_t size = text.size();
    if (size < 8) {
        if (size >= 4) {  // two overlapping halves
            std::uint32_t head;
            std::uint32_t tail;
            std::memcpy(&head, at, 4);
            std::memcpy(&tail, at + size - 4, 4);
            return breaks(std::uint64_t{head} << 32 | tail);
        }
        for (const char c : text)
            if (c == '\r' || c == '\n') return true;
        return false;
    }
    for (std::size_t i = 0; i + 8 < size; i += 8)
        if (breaks(LoadWord(at + i))) return true;
    return breaks(LoadWord(at + size - 8));
}

// Whether the `size` bytes at `a` and at `b` are equal, in at most a few loads: the names and values
// compared on every write are short.
[[gnu::always_inline]] inline bool SameBytes(const char* a, const char* b, std::size_t size) {
    if (size >= 8) {
        for (std::size_t i = 0; i + 8 < size; i += 8)
            if (LoadWord(a + i) != LoadWord(b + i)) return false;
        return LoadWord(a + size - 8) == LoadWord(b + size - 8);
    }
    if (size >= 4) {
        std::uint32_t x[2];
        std::uint32_t y[2];
        std::memcpy(&x[0], a, 4);
        std::memcpy(&x[1], a + size - 4, 4);
        std::memcpy(&y[0], b, 4);
        std::memcpy(&y[1], b + size - 4, 4);
        return x[0] == y[0] && x[1] == y[1];
    }
    for (std::size_t i = 0; i < size; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

[[gnu::always_inline]] inline std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

[[gnu::always_inline]] inline std::string_view TrimSpaces(std::string_view text) {
    if (text.empty() || (text.front() != ' ' && text.back() != ' ')) return text;
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The profile functions would write a line break inside a value (or a name) raw, so that a title
// copied from some other program's window could add keys or whole sections to the file. Each CR and
// each LF becomes one space instead: the text keeps its length and the file keeps its shape.
void FlattenLineBreaks(char* begin, char* end) {
    std::replace_if(begin, end, IsLineBreak, ' ');
}

// Whether `text` is `value` as a write stores it.
[[gnu::always_inline]] inline bool SameFlattened(std::string_view text, std::string_view value) {
    if (text.size() != value.size()) return false;
    // A line's text holds no line break: where the bytes are equal, the value had none either.
    if (SameBytes(text.data(), value.data(), value.size())) return true;
    return std::equal(value.begin(), value.end(), text.begin(),
                      [](char v, char t) { return (IsLineBreak(v) ? ' ' : v) == t; });
}

// A caller's section or key name as the profile functions use it: only spaces are trimmed. Line breaks
// are flattened first, as a write flattens them, so that a name reads back the way it was written.
// `scratch` holds the flattened copy when there is one.
[[gnu::always_inline]] inline std::string_view CallerName(std::string_view name, std::string& scratch) {
    if (HasLineBreak(name)) {
        scratch.assign(name);
        FlattenLineBreaks(scratch.data(), scratch.data() + scratch.size());
        name = scratch;
    }
    return TrimSpaces(name);
}

enum class LineKind { Other, Comment, Header, Key };

struct LineClass {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section name of a header, key name of a key line
};

// The one place that decides what a line is. Writes classify the lines they create with it too, so
// that the document in memory always matches what parsing its own bytes would give. `equals` is where
// the first '=' of `text` stands, npos when it has none.
LineClass Classify(std::string_view text, std::size_t equals) {
    const std::string_view line = TrimBlanks(text);
    if (line.empty()) return {};
    if (line.front() == '[') {
        const std::size_t close = line.find(']', 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        return {LineKind::Header, TrimBlanks(line.substr(1, end - 1))};
    }
    if (line.front() == ';') return {LineKind::Comment, {}};
    if (equals == std::string_view::npos) return {};
    const auto begin = static_cast<std::size_t>(line.data() - text.data());
    return {LineKind::Key, TrimBlanks(text.substr(begin, equals - begin))};
}

LineClass Classify(std::string_view text) {
    return Classify(text, FindByte(text, '='));
}

std::string_view ValueOf(std::string_view keyLine) {
    return keyLine.substr(FindByte(keyLine, '=') + 1);
}

// ASCII capitals of all eight bytes of `word` made small, as FoldCase does to one.
std::uint64_t FoldCaseWord(std::uint64_t word) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint64_t low7 = word & kLow7;
    const std::uint64_t atLeastA = low7 + kOnes * (0x80 - 'A');     // high bit: at least 'A'
    const std::uint64_t aboveZ = low7 + kOnes * (0x80 - 'Z' - 1);   // high bit: above 'Z'
    const std::uint64_t capital = atLeastA & ~aboveZ & ~word & kHigh;
    return word | (capital >> 2);  // 0x80 >> 2 is the 0x20 that tells small letters from capitals
}

// A hash of the folded name eight bytes at a time, started from the scope so that equal names of two
// scopes part. The last eight bytes are loaded as one word even where it overlaps the one before, and a
// shorter name in two overlapping halves: equal names still give equal words, and no name costs a loop
// over its bytes.
std::uint32_t HashName(std::uint32_t scope, std::string_view name) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    const char* const at = name.data();
    const std::size_t size = name.size();
    std::uint64_t hash = (std::uint64_t{scope} << 32 | size) * kMultiplier;
    const auto mix = [&](std::uint64_t word) {
        hash = (hash ^ FoldCaseWord(word)) * kMultiplier;
        hash ^= hash >> 29;
    };
    if (size >= 8) {
        for (std::size_t i = 0; i + 8 < size; i += 8) mix(LoadWord(at + i));
        mix(LoadWord(at + size - 8));
    } else if (size >= 4) {
        std::uint32_t head;
        std::uint32_t tail;
        std::memcpy(&head, at, 4);
        std::memcpy(&tail, at + size - 4, 4);
        mix(std::uint64_t{head} << 32 | tail);
    } else if (size > 0) {
        std::uint64_t word = 0;
        for (std::size_t k = 0; k < size; ++k) word |= std::uint64_t{static_cast<unsigned char>(at[k])} << (8 * k);
        mix(word);
    }
    return static_cast<std::uint32_t>(hash >> 32);
}

[[gnu::always_inline]] inline bool NamesMatch(std::string_view a, std::string_view b) {
    // A program mostly asks for a name as the file spells it: a plain comparison settles that.
    if (a.size() != b.size()) return false;
    if (SameBytes(a.data(), b.data(), a.size())) return true;
    return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

std::size_t LineEndLength(unsigned char eol) {
    return eol == 1 ? 2 : eol == 0 ? 0 : 1;
}

std::string_view LineEndText(unsigned char eol) {
    constexpr std::string_view kTexts[] = {"", "\r\n", "\n", "\r"};
    return kTexts[eol];
}

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ull;

}  // namespace

IniDocument::~IniDocument() {
    // Only tables of a bounded size are kept, the larger of what is kept and what is offered.
    constexpr std::size_t kMostKept = std::size_t{1} << 20;
    Spare* const spare = ThreadSpare();
    if (spare == nullptr) return;
    if (lines_.capacity() <= kMostKept && lines_.capacity() > spare->lines.capacity()) spare->lines = std::move(lines_);
    if (index_.capacity() <= kMostKept && index_.capacity() > spare->index.capacity()) spare->index = std::move(index_);
    if (read_.capacity() <= kMostKept * 64 && read_.capacity() > spare->read.capacity()) spare->read = std::move(read_);
}

std::string IniDocument::TakeSpareBuffer() {
    Spare* const spare = ThreadSpare();
    if (spare == nullptr) return {};
    std::string buffer = std::exchange(spare->read, {});
    buffer.clear();
    return buffer;
}

namespace {
thread_local bool spareGone = false;  // trivially destroyed, so it can still be read after the spare went
}  // namespace

IniDocument::Spare::~Spare() {
    spareGone = true;
}

IniDocument::Spare* IniDocument::ThreadSpare() {
    if (spareGone) return nullptr;
    thread_local Spare spare;
    return &spare;
}

IniDocument IniDocument::Parse(std::string_view bytes) {
    return Parse(std::string(bytes));
}

IniDocument IniDocument::Parse(std::string&& bytes) {
    IniDocument document;
    document.read_ = std::move(bytes);
    document.ParseLines();
    return document;
}

void IniDocument::ParseLines() {
    const char* const data = read_.data();
    const std::size_t size = read_.size();
    Spare* const spare = ThreadSpare();
    if (spare != nullptr && spare->lines.capacity() > lines_.capacity()) {
        lines_ = std::exchange(spare->lines, {});
        lines_.clear();
    }
    // A guess that most files' lines exceed; the records of the last file this thread parsed are
    // usually there already. Fresh memory comes with room to spare, so that the same file saved again
    // a few lines longer (a kill recorded) still fits what is kept.
    const std::size_t guess = size / 16 + 16;
    if (lines_.capacity() < guess) lines_.reserve(guess + guess / 8);

    LineScanner scanner(data, size);
    std::size_t pos = 0;
    std::uint32_t previous = kNone;
    while (pos < size) {
        const auto [end, equals] = scanner.Next(pos);
        LineEnd eol = LineEnd::None;
        std::size_t next = end;
        if (end < size) {
            eol = data[end] == '\n' ? LineEnd::Lf : LineEnd::Cr;
            next = end + 1;
            if (eol == LineEnd::Cr && next < size && data[next] == '\n') {
                eol = LineEnd::CrLf;
                ++next;
            }
        }
        const std::uint32_t line = MakeLine(pos, end - pos, eol);
        lines_[line].asParsed = true;
        if (previous == kNone)
            first_ = line;
        else
            lines_[previous].next = line;
        previous = line;
        Classify(line, equals == std::string_view::npos ? equals : equals - pos);
        if (lines_[line].kind == Kind::Header) {
            lastSection_ = static_cast<std::uint32_t>(sections_.size());
            sections_.push_back({line, line});
        } else if (lines_[line].kind == Kind::Key && lastSection_ != kNone) {
            sections_[lastSection_].lastKey = line;
        }
        pos = next;
    }
    last_ = previous;
    parsedLines_ = static_cast<std::uint32_t>(lines_.size());
    // Only the first of sections with one name is ever searched.
    GrowIndex(sections_.size() + 16);
    for (std::uint32_t section = 0; section < sections_.size(); ++section)
        Index(kSectionScope, NameOf(kSectionScope, section), section, false);
}

void IniDocument::IndexKeys() const {
    keysIndexed_ = true;
    firstOfName_.assign(lines_.size() / 64 + 1, 0);
    // Room for a name on every line and then some, so that no name placed here needs to grow the table,
    // and a save that adds a few keys (a kill recorded, a rule added) does not rehash it.
    GrowIndex(lines_.size() + lines_.size() / 16 + 16);
    // The names go in batches: first each one's slot is asked for, so that the slots are in the cache
    // by the time the names go in, in file order, which keeps the first of equal names the one found.
    // A large file would otherwise wait for memory on every name.
    struct Pending {
        std::size_t home;
        std::uint32_t scope;
        std::uint32_t hash;
        std::uint32_t line;
    };
    constexpr std::size_t kBatch = 32;
    Pending batch[kBatch];
    std::size_t queued = 0;
    const auto flush = [&] {
        for (std::size_t i = 0; i < queued; ++i)
            Place(batch[i].home, batch[i].scope, batch[i].hash, LineName(batch[i].line), batch[i].line, false);
        queued = 0;
    };
    // Sections stand in the file in the order of their numbers: the parsed ones as they were read, and
    // any made since at the end of the file (a header amid the file, from a key beginning with '[', is
    // only ever made after a look-up of its section's keys).
    std::uint32_t section = kNone;
    for (std::uint32_t line = first_; line != kNone; line = lines_[line].next) {
        if (lines_[line].kind == Kind::Header) {
            section = section == kNone ? 0 : section + 1;
            continue;
        }
        if (lines_[line].kind != Kind::Key || section == kNone) continue;
        const std::uint32_t hash = HashName(section, LineName(line));
        const std::size_t home = HomeSlot(section, hash);
        __builtin_prefetch(&index_[home]);
        batch[queued++] = {home, section, hash, line};
        if (queued == kBatch) flush();
    }
    flush();
}

void IniDocument::SetFirstOfName(std::uint32_t line) const {
    if (line / 64 >= firstOfName_.size()) firstOfName_.resize(line / 64 + 1 + firstOfName_.size() / 8);
    firstOfName_[line / 64] |= std::uint64_t{1} << (line % 64);
}

std::vector<std::string_view> IniDocument::SerializePieces(std::string& joined) const {
    // Runs shorter than this are cheaper copied than written on their own.
    constexpr std::size_t kLongRun = 4096;
    struct Piece {
        bool joined;
        std::size_t begin;
        std::size_t length;
    };
    std::vector<Piece> pieces;
    joined.clear();
    const auto join = [&](std::string_view bytes) {
        if (pieces.empty() || !pieces.back().joined) pieces.push_back({true, joined.size(), 0});
        joined += bytes;
        pieces.back().length += bytes.size();
    };
    const auto run = [&](std::size_t begin, std::size_t end) {
        if (end - begin >= kLongRun)
            pieces.push_back({false, begin, end - begin});
        else if (end != begin)
            join({read_.data() + begin, end - begin});
    };
    const auto joinLine = [&](std::uint32_t number) {
        join(TextOf(number));
        join(LineEndText(static_cast<unsigned char>(lines_[number].eol)));
    };
    if (parsedLines_ == 0) {
        for (std::uint32_t number = first_; number != kNone; number = lines_[number].next) joinLine(number);
    } else {
        // Parsed lines keep their order and never leave the file, and parsing numbered them in file order:
        // between two changed ones (rewritten, or followed by lines written since) the parsed lines stand
        // in the read buffer one after the other, as they were read. Only the changed ones are visited.
        const auto runOf = [&](std::uint32_t from, std::uint32_t to) {  // parsed lines [from, to)
            if (from >= to) return;
            const Line& last = lines_[to - 1];
            run(lines_[from].begin, last.begin + last.length + LineEndLength(static_cast<unsigned char>(last.eol)));
        };
        std::uint32_t from = 0;
        for (std::size_t word = 0; word < changed_.size(); ++word) {
            for (std::uint64_t bits = changed_[word]; bits != 0; bits &= bits - 1) {
                const auto changed = static_cast<std::uint32_t>(word * 64 + static_cast<unsigned>(std::countr_zero(bits)));
                if (lines_[changed].asParsed) {
                    runOf(from, changed + 1);
                } else {
                    runOf(from, changed);
                    joinLine(changed);
                }
                for (std::uint32_t next = lines_[changed].next; next != kNone && next >= parsedLines_;
                     next = lines_[next].next)
                    joinLine(next);
                from = changed + 1;
            }
        }
        runOf(from, parsedLines_);
    }

    std::vector<std::string_view> views;
    views.reserve(pieces.size());
    for (const Piece& piece : pieces)
        views.emplace_back((piece.joined ? joined.data() : read_.data()) + piece.begin, piece.length);
    return views;
}

std::string IniDocument::Serialize() const {
    std::string joined;
    const std::vector<std::string_view> pieces = SerializePieces(joined);
    if (pieces.size() == 1 && pieces[0].size() == joined.size()) return joined;
    std::string bytes;
    bytes.reserve(size_);
    for (const std::string_view piece : pieces) bytes += piece;
    return bytes;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key) const {
    std::string scratch;
    const std::uint32_t sectionNumber = FindSection(section, scratch);
    if (sectionNumber == kNone) return {};
    const std::uint32_t line = FindKey(sectionNumber, key, scratch);
    if (line == kNone) return {};
    std::string_view value = TrimBlanks(ValueOf(TextOf(line)));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxReadLength));
}

std::uint32_t IniDocument::ReadNumber(std::string_view section, std::string_view key) const {
    const std::string text = ReadString(section, key);
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) pos = 1;
    // Unsigned arithmetic wraps modulo 2^32 exactly as the profile functions do with overlong numbers.
    std::uint32_t number = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        number = number * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    return negative ? 0u - number : number;
}

void IniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string sectionScratch;
    std::string keyScratch;
    const std::uint32_t sectionNumber = FindSection(section, sectionScratch);
    if (sectionNumber == kNone) {
        const std::string_view sectionName = CallerName(section, sectionScratch);
        const std::string_view keyName = CallerName(key, keyScratch);
        if (last_ != kNone) EndWithLineBreak(last_);
        const std::size_t header = WrittenEnd();
        written_.reserve(written_.size() + sectionName.size() + 2);
        written_ += '[';
        written_ += sectionName;
        written_ += ']';
        TakeLine(MakeLine(header, WrittenEnd() - header, LineEnd::CrLf));
        const std::size_t keyLine = AppendKeyLine(keyName, value);
        TakeLine(MakeLine(keyLine, WrittenEnd() - keyLine, LineEnd::CrLf));
        lineOperations_ += 2;
        return;
    }

    const std::uint32_t line = FindKey(sectionNumber, key, keyScratch);
    if (line == kNone) {
        const std::size_t keyLine = AppendKeyLine(CallerName(key, keyScratch), value);
        InsertAfterLastKey(sectionNumber, keyLine, WrittenEnd() - keyLine);
        return;
    }
    ReplaceValue(line, value);
}

void IniDocument::ReplaceValue(std::uint32_t line, std::string_view value) {
    // The file's own spelling of the key stays; indentation and blanks around '=' do not. The key
    // itself is unchanged, so the index still finds this line.
    const std::string_view old = TextOf(line);
    const std::string_view spelling = LineName(line);
    ++lineOperations_;
    // A save mostly writes back what the file holds already: such a line stays as it is.
    if (lines_[line].eol == LineEnd::CrLf && spelling.data() == old.data() && old[spelling.size()] == '=' &&
        SameFlattened(old.substr(spelling.size() + 1), value))
        return;
    const std::size_t begin = WrittenEnd();
    // A spelling that stands in written_ is copied by its place there: the view would not survive the
    // buffer growing.
    const bool spellingWritten = lines_[line].begin >= read_.size();
    const auto spellingAt = spellingWritten ? static_cast<std::size_t>(spelling.data() - written_.data()) : 0;
    written_.reserve(written_.size() + spelling.size() + 1 + value.size());
    if (spellingWritten)
        written_.append(written_, spellingAt, spelling.size());
    else
        written_ += spelling;
    written_ += '=';
    written_ += value;
    FlattenLineBreaks(written_.data() + written_.size() - value.size(), written_.data() + written_.size());

    Line& replaced = lines_[line];
    size_ -= replaced.length + LineEndLength(static_cast<unsigned char>(replaced.eol));
    replaced.begin = begin;
    replaced.length = WrittenEnd() - begin;
    replaced.eol = LineEnd::CrLf;
    replaced.asParsed = false;
    MarkChanged(line);
    replaced.nameBegin = 0;
    replaced.nameLength = replaced.length > UINT32_MAX ? kNone : static_cast<std::uint32_t>(spelling.size());
    size_ += replaced.length + 2;
}

namespace {

// Whether a key line made of `name` and '=' reads back as a key of exactly that name.
bool IsPlainKeyName(std::string_view name) {
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back()) || name.front() == '[' || name.front() == ';')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '=' || IsLineBreak(c); });
}

}  // namespace

IniDocument::OrderedWrites::OrderedWrites(IniDocument& document, std::string_view section)
    : document_(document), section_(section), sectionNumber_(kNone), at_(kNone) {
    std::string scratch;
    sectionNumber_ = document.FindSection(section, scratch);
    if (sectionNumber_ != kNone) at_ = document.sections_[sectionNumber_].header;
}

void IniDocument::OrderedWrites::Write(std::string_view key, std::string_view value) {
    IniDocument& document = document_;
    if (sectionNumber_ != kNone) {
        // The key lines of the section above at_ hold the keys written so far, so a key line reached by
        // stepping on is the first of its name: the keys differ from each other.
        if (at_ == document.sections_[sectionNumber_].lastKey) {
            // No key line of the section comes below: the key is not in it.
            if (IsPlainKeyName(key)) {
                const std::size_t keyLine = document.AppendKeyLine(key, value);
                document.InsertAfterLastKey(sectionNumber_, keyLine, document.WrittenEnd() - keyLine);
                at_ = document.sections_[sectionNumber_].lastKey;
                return;
            }
        } else {
            // A key line of the section comes below, and no header before it.
            std::uint32_t line = document.lines_[at_].next;
            for (; document.lines_[line].kind != Kind::Key; line = document.lines_[line].next)
                ++document.lineOperations_;
            if (NamesMatch(document.LineName(line), key)) {
                document.ReplaceValue(line, value);
                at_ = line;
                return;
            }
        }
        sectionNumber_ = kNone;  // out of order from here on
    }
    document.WriteString(section_, key, value);
}

std::size_t IniDocument::AppendKeyLine(std::string_view key, std::string_view value) {
    const std::size_t begin = WrittenEnd();
    written_.reserve(written_.size() + key.size() + 1 + value.size());
    written_ += key;
    written_ += '=';
    written_ += value;
    FlattenLineBreaks(written_.data() + written_.size() - value.size(), written_.data() + written_.size());
    return begin;
}

[[gnu::always_inline]] inline std::uint32_t IniDocument::MakeLine(std::size_t begin, std::size_t length, LineEnd eol) {
    if (lines_.size() >= kNone) throw std::length_error("profile file with too many lines");
    Line& line = lines_.emplace_back();
    line.begin = begin;
    line.length = length;
    line.eol = eol;
    size_ += length + LineEndLength(static_cast<unsigned char>(eol));
    return static_cast<std::uint32_t>(lines_.size() - 1);
}

void IniDocument::Link(std::uint32_t line, std::uint32_t after) {
    if (after == kNone) after = last_;
    if (after == kNone) {
        first_ = line;
    } else {
        MarkChanged(after);
        lines_[line].next = lines_[after].next;
        lines_[after].next = line;
    }
    if (after == last_) last_ = line;
}

[[gnu::always_inline]] inline void IniDocument::Classify(std::uint32_t number, std::size_t equals) {
    Line& line = lines_[number];
    const LineClass kind = zapnix::Classify(TextOf(number), equals);
    line.kind = static_cast<Kind>(kind.kind);
    if (line.length > UINT32_MAX) {
        line.nameLength = kNone;
    } else {
        line.nameBegin = static_cast<std::uint32_t>(kind.name.data() - At(line.begin));
        line.nameLength = static_cast<std::uint32_t>(kind.name.size());
    }
}

std::string_view IniDocument::ClassifiedName(std::uint32_t line) const {
    return zapnix::Classify(TextOf(line)).name;
}

void IniDocument::TakeLine(std::uint32_t line) {
    Link(line, kNone);
    Classify(line);
    const LineClass kind = {static_cast<LineKind>(lines_[line].kind), LineName(line)};
    if (kind.kind == LineKind::Header) {
        lastSection_ = static_cast<std::uint32_t>(sections_.size());
        sections_.push_back({line, line});
        // Only the first of sections with one name is ever searched, and the first of keys.
        Index(kSectionScope, kind.name, lastSection_, false);
    } else if (kind.kind == LineKind::Key && lastSection_ != kNone) {
        Index(lastSection_, kind.name, line, false);
        sections_[lastSection_].lastKey = line;
    }
}

// Everything below the last key line of a section holds no key, so a new line there never comes
// before a key of its section, and the first of two equal keys stays the first.
void IniDocument::InsertAfterLastKey(std::uint32_t section, std::size_t begin, std::size_t length) {
    const std::uint32_t after = sections_[section].lastKey;
    EndWithLineBreak(after);
    const std::uint32_t line = MakeLine(begin, length, LineEnd::CrLf);
    Link(line, after);
    ++lineOperations_;

    Classify(line);
    const LineClass kind = {static_cast<LineKind>(lines_[line].kind), LineName(line)};
    if (kind.kind == LineKind::Key) {
        Index(section, kind.name, line, false);
        sections_[section].lastKey = line;
    } else if (kind.kind == LineKind::Header) {
        // A key name that begins with '[' makes a header, as it would when the file is read again: the
        // lines below it now belong to the new section, and none of them is a key.
        const auto split = static_cast<std::uint32_t>(sections_.size());
        sections_.push_back({line, line});
        const std::uint32_t existing = Lookup(kSectionScope, kind.name);
        if (existing == kNone || Precedes(line, sections_[existing].header)) {
            Index(kSectionScope, kind.name, split, true);
            cursorSection_ = kNone;  // it may no longer be the first of its name
        }
    }
}

bool IniDocument::Precedes(std::uint32_t line, std::uint32_t other) {
    for (std::uint32_t next = lines_[line].next; next != kNone; next = lines_[next].next) {
        ++lineOperations_;
        if (next == other) return true;
    }
    return false;
}

void IniDocument::EndWithLineBreak(std::uint32_t line) {
    if (lines_[line].eol != LineEnd::None) return;
    lines_[line].eol = LineEnd::CrLf;
    lines_[line].asParsed = false;
    MarkChanged(line);
    size_ += 2;
}

void IniDocument::MarkChanged(std::uint32_t line) {
    if (line >= parsedLines_) return;
    if (changed_.empty()) changed_.resize((parsedLines_ + 63) / 64);
    changed_[line / 64] |= std::uint64_t{1} << (line % 64);
}

[[gnu::always_inline]] inline std::string_view IniDocument::NameOf(std::uint32_t scope, std::uint32_t value) const {
    return LineName(scope == kSectionScope ? sections_[value].header : value);
}

// Both finds try the line the last find leads to first, with the caller's name as given (spaces
// trimmed): a name that equals one of the file's holds no line break, since no name in a file can, so
// the flattened copy that every other look-up needs would be the same name.
[[gnu::always_inline]] inline std::uint32_t IniDocument::FindSection(std::string_view given,
                                                                      std::string& scratch) const {
    if (cursorSection_ != kNone && NamesMatch(NameOf(kSectionScope, cursorSection_), TrimSpaces(given)))
        return cursorSection_;
    return Lookup(kSectionScope, CallerName(given, scratch));
}

[[gnu::always_inline]] inline std::uint32_t IniDocument::FindKey(std::uint32_t section, std::string_view given,
                                                                  std::string& scratch) const {
    if (!keysIndexed_) IndexKeys();
    const std::uint32_t from = cursorSection_ == section ? cursor_ : sections_[section].header;
    const std::uint32_t next = lines_[from].next;
    std::uint32_t line = kNone;
    // A key line right below a key line (or the header) of a section is in that section.
    if (next != kNone && IsFirstOfName(next) && NamesMatch(LineName(next), TrimSpaces(given))) {
        line = next;
    } else {
        line = Lookup(section, CallerName(given, scratch));
        if (line == kNone) return kNone;
    }
    cursor_ = line;
    cursorSection_ = section;
    return line;
}

std::uint32_t IniDocument::Lookup(std::uint32_t scope, std::string_view name) const {
    if (scope != kSectionScope && !keysIndexed_) IndexKeys();
    if (index_.empty()) return kNone;
    const std::uint32_t hash = HashName(scope, name);
    for (std::size_t i = HomeSlot(scope, hash);; i = NextSlot(i)) {
        const Slot& slot = index_[i];
        if (slot.value == kNone) return kNone;
        if (slot.hash == hash && slot.scope == scope && NamesMatch(NameOf(scope, slot.value), name)) return slot.value;
    }
}

void IniDocument::Index(std::uint32_t scope, std::string_view name, std::uint32_t value, bool replace) {
    if (scope != kSectionScope && !keysIndexed_) return;  // the line is there when the key names are indexed
    Insert(scope, HashName(scope, name), name, value, replace);
}

// The table's size need not be a power of two: the mixed hash is scaled to it (the high half of a
// 64 by 64 bit product), so that the table can be sized to the names rather than to the next power.
[[gnu::always_inline]] inline std::size_t IniDocument::HomeSlot(std::uint32_t scope, std::uint32_t hash) const {
    __extension__ using Wide = unsigned __int128;
    const std::uint64_t mixed = ((std::uint64_t{scope} << 32) | hash) * kGolden;
    return static_cast<std::size_t>((Wide{mixed} * slots_) >> 64);
}

void IniDocument::Insert(std::uint32_t scope, std::uint32_t hash, std::string_view name, std::uint32_t value,
                         bool replace) {
    if ((indexed_ + 1) * kLoadDenominator > slots_ * kLoadNumerator) GrowIndex(std::max(indexed_ + 1, slots_));
    Place(HomeSlot(scope, hash), scope, hash, name, value, replace);
}

void IniDocument::Place(std::size_t home, std::uint32_t scope, std::uint32_t hash, std::string_view name,
                        std::uint32_t value, bool replace) const {
    for (std::size_t i = home;; i = NextSlot(i)) {
        Slot& slot = index_[i];
        if (slot.value == kNone) {
            slot = {value, scope, hash};
            ++indexed_;
            if (scope != kSectionScope) SetFirstOfName(value);
            return;
        }
        if (slot.hash == hash && slot.scope == scope && NamesMatch(NameOf(scope, slot.value), name)) {
            if (replace) slot.value = value;
            return;
        }
    }
}

void IniDocument::GrowIndex(std::size_t names) const {
    const std::size_t size = std::max<std::size_t>(16, names * kLoadDenominator / kLoadNumerator + 1);
    if (size <= slots_) return;
    std::vector<Slot> old;
    std::vector<Slot> fresh;
    if (index_.capacity() >= size) {
        // The table's own memory will do (the sections alone were in it): only its few names move.
        old.assign(index_.begin(), index_.end());
        fresh = std::move(index_);
    } else {
        old = std::move(index_);
        Spare* const spare = ThreadSpare();
        if (spare != nullptr && spare->index.capacity() >= size)
            std::swap(fresh, spare->index);
        else
            fresh.reserve(size + size / 8);  // the same file a few lines longer fits it again when kept
    }
    fresh.assign(size, Slot{});
    index_ = std::move(fresh);
    slots_ = size;
    for (const Slot& slot : old) {
        if (slot.value == kNone) continue;
        std::size_t i = HomeSlot(slot.scope, slot.hash);
        while (index_[i].value != kNone) i = NextSlot(i);
        index_[i] = slot;
    }
}

bool IniDocument::SameName(std::string_view a, std::string_view b) {
    return NamesMatch(a, b);
}

}  // namespace zapnix
