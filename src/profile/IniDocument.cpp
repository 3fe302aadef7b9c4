#include "profile/IniDocument.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/TextCase.h"

namespace zapnix {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// Where the line that begins at `from` ends: the first CR or LF, or the end of the bytes. Eight bytes
// at a time: a byte at a time, this search was the largest part of a parse.
std::size_t LineEnd(std::string_view bytes, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    for (; from + 8 <= bytes.size(); from += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + from, 8);
        const std::uint64_t cr = word ^ (kOnes * '\r');  // a zero byte where the word holds a CR
        const std::uint64_t lf = word ^ (kOnes * '\n');
        // The classic test for a zero byte: it may also flag bytes after one, but never misses one.
        if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighBits) break;
    }
    while (from < bytes.size() && !IsLineBreak(bytes[from])) ++from;
    return from;
}

// Eight bytes at a time too: a save compares every name and value of a list with the file's.
bool SameBytes(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    for (; i + 8 <= a.size(); i += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) return false;
    }
    for (; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Where `c` first stands in `text`, or text.size(). Lines are short: a call of the C library's memchr
// for each one costs more than the search (under Wine it made a parse take half as long again).
std::size_t Find(std::string_view text, char c) {
    return static_cast<std::size_t>(std::find(text.begin(), text.end(), c) - text.begin());
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The profile functions would write a line break inside a value (or a name) raw, so that a title
// copied from some other program's window could add keys or whole sections to the file. Each CR and
// each LF becomes one space instead: the text keeps its length and the file keeps its shape.
std::string Flattened(std::string_view text) {
    std::string flat(text);
    std::replace_if(flat.begin(), flat.end(), IsLineBreak, ' ');
    return flat;
}

// A caller's section or key name as the profile functions use it: only spaces are trimmed. Line breaks
// are flattened first, as a write flattens them, so that a name reads back the way it was written.
std::string CallerName(std::string_view name) {
    return std::string(TrimSpaces(Flattened(name)));
}

std::string Folded(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), AsciiLower);
    return folded;
}

// Whether a key line made of `name` and '=' reads back as a key of exactly that name.
bool IsPlainKeyName(std::string_view name) {
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back()) || name.front() == '[' || name.front() == ';')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '=' || IsLineBreak(c); });
}

}  // namespace

bool IniDocument::SameName(std::string_view a, std::string_view b) {
    // A program mostly asks for a name as the file spells it: a plain comparison settles that.
    return SameBytes(a, b) || (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                                   return AsciiLower(x) == AsciiLower(y);
                               }));
}

// The one place that decides what a line is. Writes classify the lines they make with it too, so that
// the document in memory always matches what parsing its own bytes would give.
void IniDocument::Classify(Line& line, std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    std::string_view name;
    line.kind = Kind::Other;
    if (trimmed.empty()) {
    } else if (trimmed.front() == '[') {
        line.kind = Kind::Header;
        name = TrimBlanks(trimmed.substr(1, Find(trimmed.substr(1), ']')));  // to the first ']', or the end
    } else if (trimmed.front() == ';') {
        line.kind = Kind::Comment;
    } else if (const std::size_t equals = Find(trimmed, '='); equals != trimmed.size()) {
        line.kind = Kind::Key;
        name = TrimBlanks(trimmed.substr(0, equals));
    }
    line.nameBegin = name.empty() ? 0 : static_cast<std::uint32_t>(name.data() - text.data());
    line.nameLength = static_cast<std::uint32_t>(name.size());
}

IniDocument IniDocument::Parse(std::string bytes) {
    if (bytes.size() > kMaxBytes) throw std::length_error("profile file of 4 GB or more");
    IniDocument document;
    document.bytes_ = std::move(bytes);
    const std::string_view all = document.bytes_;
    // Room for every line at once: growing the records as they come would copy them over and over. (A
    // count of CR and LF, no more lines than that and one; counted as bits, the compiler's loop takes
    // many bytes at a time.)
    std::size_t breaks = 1;
    for (const char c : all) breaks += static_cast<std::size_t>((c == '\r') | (c == '\n'));
    document.lines_.reserve(breaks);
    for (std::size_t begin = 0; begin < all.size();) {
        const std::size_t end = LineEnd(all, begin);
        Line line{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin)};
        if (end < all.size()) line.endLength = all.substr(end, 2) == "\r\n" ? 2 : 1;
        Classify(line, all.substr(begin, end - begin));
        document.AddLine(line, document.last_, document.LastSection());
        begin = end + line.endLength;
    }
    return document;
}

std::vector<std::string_view> IniDocument::Runs() const {
    std::vector<std::string_view> runs;
    for (std::uint32_t line = first_; line != kNone; line = lines_[line].next) {
        const std::string_view bytes(bytes_.data() + lines_[line].begin, lines_[line].length + lines_[line].endLength);
        if (!runs.empty() && runs.back().data() + runs.back().size() == bytes.data())
            runs.back() = {runs.back().data(), runs.back().size() + bytes.size()};
        else
            runs.push_back(bytes);
    }
    return runs;
}

std::string IniDocument::Serialize() const {
    return Joined(Runs());
}

std::string Joined(std::span<const std::string_view> runs) {
    std::size_t size = 0;
    for (const std::string_view run : runs) size += run.size();
    std::string bytes;
    bytes.reserve(size);
    for (const std::string_view run : runs) bytes += run;
    return bytes;
}

std::uint32_t IniDocument::FindSection(std::string_view name) const {
    for (std::uint32_t number = 0; number < sections_.size(); ++number)
        if (SameName(NameOf(sections_[number].header), name)) return number;
    return kNone;
}

std::uint32_t IniDocument::FindKey(std::uint32_t number, std::string_view name) const {
    const Section& section = sections_[number];
    if (!section.indexed) {
        // try_emplace keeps the first line of a name: that is the one reads find.
        for (std::uint32_t line = lines_[section.header].next; line != kNone && lines_[line].kind != Kind::Header;
             line = lines_[line].next)
            if (lines_[line].kind == Kind::Key) section.keys.try_emplace(Folded(NameOf(line)), line);
        section.indexed = true;
    }
    const auto found = section.keys.find(Folded(name));
    return found == section.keys.end() ? kNone : found->second;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key) const {
    const std::uint32_t number = FindSection(CallerName(section));
    if (number == kNone) return {};
    const std::uint32_t line = FindKey(number, CallerName(key));
    return line == kNone ? std::string() : ValueOf(line);
}

bool IniDocument::HasKey(std::string_view section, std::string_view key) const {
    const std::uint32_t number = FindSection(CallerName(section));
    return number != kNone && FindKey(number, CallerName(key)) != kNone;
}

std::string IniDocument::ValueOf(std::uint32_t line) const {
    const std::string_view text = TextOf(line);
    std::string_view value = TrimBlanks(text.substr(Find(text, '=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxReadLength));
}

std::uint32_t IniDocument::ReadNumber(std::string_view section, std::string_view key) const {
    return NumberIn(ReadString(section, key));
}

std::uint32_t IniDocument::NumberIn(std::string_view text) {
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
    const std::string sectionName = CallerName(section);
    const std::string keyName = CallerName(key);
    const std::uint32_t number = FindSection(sectionName);
    if (number == kNone) {
        const std::uint32_t header = InsertLine(last_, "[" + sectionName + "]", LastSection());
        InsertLine(header, keyName + "=" + Flattened(value), LastSection());
        return;
    }
    const std::uint32_t line = FindKey(number, keyName);
    if (line == kNone)
        InsertLine(sections_[number].lastKey, keyName + "=" + Flattened(value), number);
    else
        ReplaceValue(line, value);
}

void IniDocument::ReplaceValue(std::uint32_t line, std::string_view value) {
    // The file's own spelling of the key stays; indentation and blanks around '=' do not.
    const std::string_view text = TextOf(line);
    const std::string_view spelling = NameOf(line);
    // A save mostly writes back what the file holds already: such a line stays as it is. (A key line
    // holds an '=' after its name: the value begins within the text.)
    const std::string_view old = text.substr(spelling.size() + 1);
    const auto same = [](char was, char given) { return was == (IsLineBreak(given) ? ' ' : given); };
    if (lines_[line].endLength == 2 && spelling.data() == text.data() && text[spelling.size()] == '=' &&
        (SameBytes(old, value) || std::equal(old.begin(), old.end(), value.begin(), value.end(), same)))
        return;
    SetText(lines_[line], std::string(spelling) + "=" + Flattened(value));
}

std::uint32_t IniDocument::InsertLine(std::uint32_t after, std::string_view text, std::uint32_t section) {
    // Only the last line of a file can lack a line end; a line below it needs one.
    if (after != kNone && lines_[after].endLength == 0) SetText(lines_[after], std::string(TextOf(after)));
    Line line;
    SetText(line, text);
    return AddLine(line, after, section);
}

std::uint32_t IniDocument::AddLine(const Line& made, std::uint32_t after, std::uint32_t section) {
    const auto line = static_cast<std::uint32_t>(lines_.size());  // no more lines than bytes
    lines_.push_back(made);
    if (after == kNone) {
        first_ = line;  // the file was empty
    } else {
        lines_[line].next = lines_[after].next;
        lines_[after].next = line;
    }
    if (after == last_) last_ = line;

    if (made.kind == Kind::Header) {
        // The lines below it, to the next header, are now this section's: as the line was made below the
        // last key line of its section (or at the end of the file), none of them is a key.
        const std::uint32_t number = section == kNone ? 0 : section + 1;
        sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(number), Section{line, line});
    } else if (made.kind == Kind::Key && section != kNone) {
        sections_[section].lastKey = line;
        if (sections_[section].indexed) sections_[section].keys.try_emplace(Folded(NameOf(line)), line);
    }
    return line;
}

void IniDocument::SetText(Line& line, std::string_view text) {
    if (bytes_.size() + text.size() + 2 > kMaxBytes) throw std::length_error("profile file of 4 GB or more");
    line.begin = static_cast<std::uint32_t>(bytes_.size());
    line.length = static_cast<std::uint32_t>(text.size());
    line.endLength = 2;
    Classify(line, text);
    bytes_ += text;
    bytes_ += "\r\n";
}

void IniDocument::RemoveKeys(std::string_view section, const std::function<bool(std::string_view name)>& doomed) {
    const std::uint32_t number = FindSection(CallerName(section));
    if (number != kNone) RemoveKeys(number, sections_[number].header, doomed);
}

void IniDocument::RemoveKeys(std::uint32_t number, std::uint32_t from,
                             const std::function<bool(std::string_view)>& doomed) {
    Section& section = sections_[number];
    section.lastKey = from;  // the header, or a key line that stays
    std::uint32_t above = from;
    for (std::uint32_t line = lines_[from].next; line != kNone && lines_[line].kind != Kind::Header;
         line = lines_[line].next) {
        if (lines_[line].kind == Kind::Key && doomed(NameOf(line))) {
            lines_[above].next = lines_[line].next;
            if (last_ == line) last_ = above;
            continue;
        }
        if (lines_[line].kind == Kind::Key) section.lastKey = line;
        above = line;
    }
    section.keys.clear();
    section.indexed = false;
}

std::uint32_t IniDocument::StepTo(std::uint32_t section, std::uint32_t& at, std::string_view key) const {
    if (at == sections_[section].lastKey) return kNone;
    // A key line of the section comes below, before any header.
    std::uint32_t line = lines_[at].next;
    while (lines_[line].kind != Kind::Key) line = lines_[line].next;
    if (!SameName(NameOf(line), key)) return kNone;
    at = line;
    return line;
}

IniDocument::OrderedReads::OrderedReads(const IniDocument& document, std::string_view section)
    : document_(document),
      section_(section),
      sectionNumber_(document.FindSection(CallerName(section))),
      at_(sectionNumber_ == kNone ? kNone : document.sections_[sectionNumber_].header) {}

std::string IniDocument::OrderedReads::Read(std::string_view key) {
    if (sectionNumber_ == kNone) return {};
    if (const std::uint32_t line = document_.StepTo(sectionNumber_, at_, key); line != kNone)
        return document_.ValueOf(line);
    if (at_ == document_.sections_[sectionNumber_].lastKey && IsPlainKeyName(key)) return {};
    return document_.ReadString(section_, key);
}

IniDocument::OrderedWrites::OrderedWrites(IniDocument& document, std::string_view section)
    : document_(document),
      section_(section),
      sectionNumber_(document.FindSection(CallerName(section))),
      at_(sectionNumber_ == kNone ? kNone : document.sections_[sectionNumber_].header) {}

void IniDocument::OrderedWrites::Write(std::string_view key, std::string_view value) {
    IniDocument& document = document_;
    if (sectionNumber_ != kNone) {
        if (const std::uint32_t line = document.StepTo(sectionNumber_, at_, key); line != kNone) {
            document.ReplaceValue(line, value);
            return;
        }
        if (at_ == document.sections_[sectionNumber_].lastKey && IsPlainKeyName(key)) {
            at_ = document.InsertLine(at_, std::string(key) + "=" + Flattened(value), sectionNumber_);
            return;
        }
    }
    // Elsewhere in the section, or missing with a name that no key line holds as given (" key", "[key"):
    // the look-up decides. Such a write leaves the lines down to at_ as they are (a header made from a
    // key splits the section below its last key line).
    document.WriteString(section_, key, value);
}

void IniDocument::OrderedWrites::RemoveOthers(const std::function<bool(std::string_view name)>& doomed) {
    if (sectionNumber_ != kNone)
        document_.RemoveKeys(sectionNumber_, at_, doomed);  // the key lines down to at_ were written
    else
        document_.RemoveKeys(section_, doomed);
}

}  // namespace zapnix
