#include "rules/IniDocument.h"

#include <utility>

namespace zapnix {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string_view TrimSpaces(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// The profile functions would write a line break inside a value (or a name) raw, so that a title
// copied from some other program's window could add keys or whole sections to the file. Each CR and
// each LF becomes one space instead: the text keeps its length and the file keeps its shape.
std::string FlattenLineBreaks(std::string_view text) {
    std::string flat(text);
    for (char& c : flat) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return flat;
}

// A caller's section or key name as the profile functions use it: only spaces are trimmed. Line breaks
// are flattened first, as a write flattens them, so that a name reads back the way it was written.
std::string CallerName(std::string_view name) {
    return std::string(TrimSpaces(FlattenLineBreaks(name)));
}

enum class LineKind { Other, Comment, Header, Key };

struct LineClass {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section name of a header, key name of a key line
};

// The one place that decides what a line is. Writes classify the lines they create with it too, so
// that the document in memory always matches what parsing its own bytes would give.
LineClass Classify(std::string_view text) {
    const std::string_view line = TrimBlanks(text);
    if (line.empty()) {
        return {};
    }
    if (line.front() == '[') {
        const std::size_t close = line.find(']', 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        return {LineKind::Header, TrimBlanks(line.substr(1, end - 1))};
    }
    if (line.front() == ';') {
        return {LineKind::Comment, {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    return {LineKind::Key, TrimBlanks(line.substr(0, equals))};
}

std::string_view ValueOf(std::string_view keyLine) {
    return keyLine.substr(keyLine.find('=') + 1);
}

// FNV-1a over the folded bytes.
std::uint32_t HashName(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(FoldCase(c));
        hash *= 16777619u;
    }
    return hash;
}

// The name tables keep numbers only; these read the name of an entry from the document's lines.
template <class Lines>
auto KeyNamesOf(const Lines& lines) {
    return [&lines](std::uint32_t id) { return Classify(lines[id].text).name; };
}

template <class Sections>
auto SectionNamesOf(const Sections& sections) {
    return [&sections](std::uint32_t id) { return Classify(sections[id - 1].lines[0].text).name; };
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

template <class GetName>
std::uint32_t IniDocument::NameTable::Find(std::string_view name, const GetName& getName) const {
    if (slots_.empty()) {
        return 0;
    }
    const std::uint32_t hash = HashName(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.id == 0) {
            return 0;
        }
        if (slot.hash == hash && SameName(getName(slot.id), name)) {
            return slot.id;
        }
    }
}

template <class GetName>
void IniDocument::NameTable::Add(std::uint32_t id, std::string_view name, const GetName& getName) {
    if ((count_ + 1) * 2 > slots_.size()) {
        Grow();
    }
    const std::uint32_t hash = HashName(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.id == 0) {
            slot = {id, hash};
            ++count_;
            return;
        }
        if (slot.hash == hash && SameName(getName(slot.id), name)) {
            if (id < slot.id) {
                slot.id = id;
            }
            return;
        }
    }
}

void IniDocument::NameTable::ShiftAbove(std::uint32_t after) {
    for (Slot& slot : slots_) {
        if (slot.id > after) {
            ++slot.id;
        }
    }
}

void IniDocument::NameTable::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.id == 0) {
            continue;
        }
        std::size_t i = slot.hash & mask;
        while (slots_[i].id != 0) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
    }
}

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            document.AddLine({std::string(bytes.substr(pos)), LineEnd::None});
            break;
        }
        LineEnd eol = bytes[end] == '\n' ? LineEnd::Lf : LineEnd::Cr;
        std::size_t next = end + 1;
        if (eol == LineEnd::Cr && next < bytes.size() && bytes[next] == '\n') {
            eol = LineEnd::CrLf;
            ++next;
        }
        document.AddLine({std::string(bytes.substr(pos, end - pos)), eol});
        pos = next;
    }
    return document;
}

namespace {

std::string_view LineEndText(unsigned char eol) {
    constexpr std::string_view kTexts[] = {"", "\r\n", "\n", "\r"};
    return kTexts[eol];
}

}  // namespace

std::string IniDocument::Serialize() const {
    std::size_t size = 0;
    const auto measure = [&size](const std::vector<Line>& lines) {
        for (const Line& line : lines) {
            size += line.text.size() + LineEndText(static_cast<unsigned char>(line.eol)).size();
        }
    };
    measure(prelude_);
    for (const Section& section : sections_) {
        measure(section.lines);
    }

    std::string bytes;
    bytes.reserve(size);
    const auto append = [&bytes](const std::vector<Line>& lines) {
        for (const Line& line : lines) {
            bytes += line.text;
            bytes += LineEndText(static_cast<unsigned char>(line.eol));
        }
    };
    append(prelude_);
    for (const Section& section : sections_) {
        append(section.lines);
    }
    return bytes;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key) const {
    const std::size_t sectionIndex = FindSection(CallerName(section));
    if (sectionIndex == sections_.size()) {
        return {};
    }
    const Section& found = sections_[sectionIndex];
    const std::size_t lineIndex = FindKey(found, CallerName(key));
    if (lineIndex == 0) {
        return {};
    }
    std::string_view value = TrimBlanks(ValueOf(found.lines[lineIndex].text));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxReadLength));
}

std::uint32_t IniDocument::ReadNumber(std::string_view section, std::string_view key) const {
    const std::string text = ReadString(section, key);
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        pos = 1;
    }
    // Unsigned arithmetic wraps modulo 2^32 exactly as the profile functions do with overlong numbers.
    std::uint32_t number = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        number = number * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    return negative ? 0u - number : number;
}

void IniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = CallerName(section);
    const std::string keyName = CallerName(key);
    std::string keyLine;
    keyLine.reserve(keyName.size() + 1 + value.size());
    keyLine += keyName;
    keyLine += '=';
    keyLine += FlattenLineBreaks(value);

    const std::size_t sectionIndex = FindSection(sectionName);
    if (sectionIndex == sections_.size()) {
        EndWithLineBreak();
        AddLine({"[" + sectionName + "]", LineEnd::CrLf});
        AddLine({std::move(keyLine), LineEnd::CrLf});
        return;
    }

    Section& found = sections_[sectionIndex];
    const std::size_t lineIndex = FindKey(found, keyName);
    if (lineIndex == 0) {
        InsertAfterLastKey(sectionIndex, {std::move(keyLine), LineEnd::CrLf});
        return;
    }
    // The file's own spelling of the key stays; indentation and blanks around '=' do not. The key
    // itself is unchanged, so the index still finds this line.
    Line& line = found.lines[lineIndex];
    const std::string_view text = line.text;
    std::string replaced(TrimBlanks(text.substr(0, text.find('='))));
    replaced.append(keyLine, keyName.size());
    line.text = std::move(replaced);
    line.eol = LineEnd::CrLf;
}

void IniDocument::AddLine(Line line) {
    const LineKind kind = Classify(line.text).kind;
    if (kind == LineKind::Header) {
        sections_.emplace_back();
        sections_.back().lines.push_back(std::move(line));
        const std::uint32_t id = static_cast<std::uint32_t>(sections_.size());
        sectionIndex_.Add(id, Classify(sections_.back().lines[0].text).name, SectionNamesOf(sections_));
        return;
    }
    if (sections_.empty()) {
        prelude_.push_back(std::move(line));
        return;
    }
    Section& section = sections_.back();
    section.lines.push_back(std::move(line));
    if (kind == LineKind::Key) {
        const std::size_t index = section.lines.size() - 1;
        const std::string_view name = Classify(section.lines[index].text).name;
        section.keys.Add(static_cast<std::uint32_t>(index), name, KeyNamesOf(section.lines));
        section.lastKeyLine = index;
    }
}

// Everything below the last key line of a section holds no key, so inserting there moves no line that
// the key index points at.
void IniDocument::InsertAfterLastKey(std::size_t sectionIndex, Line line) {
    Section& section = sections_[sectionIndex];
    const std::size_t at = section.lastKeyLine + 1;
    Line& previous = section.lines[at - 1];
    if (previous.eol == LineEnd::None) {
        previous.eol = LineEnd::CrLf;
    }

    const LineKind kind = Classify(line.text).kind;
    if (kind == LineKind::Header) {
        // A key name that begins with '[' makes a header, as it would when the file is read again: the
        // lines below it now belong to the new section.
        Section split;
        split.lines.reserve(section.lines.size() - at + 1);
        split.lines.push_back(std::move(line));
        for (std::size_t i = at; i < section.lines.size(); ++i) {
            split.lines.push_back(std::move(section.lines[i]));
        }
        section.lines.resize(at);
        sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(sectionIndex + 1), std::move(split));
        const std::uint32_t id = static_cast<std::uint32_t>(sectionIndex + 2);
        sectionIndex_.ShiftAbove(id - 1);
        sectionIndex_.Add(id, Classify(sections_[sectionIndex + 1].lines[0].text).name, SectionNamesOf(sections_));
        return;
    }

    section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    if (kind == LineKind::Key) {
        const std::string_view name = Classify(section.lines[at].text).name;
        section.keys.Add(static_cast<std::uint32_t>(at), name, KeyNamesOf(section.lines));
        section.lastKeyLine = at;
    }
}

void IniDocument::EndWithLineBreak() {
    std::vector<Line>& last = sections_.empty() ? prelude_ : sections_.back().lines;
    if (!last.empty() && last.back().eol == LineEnd::None) {
        last.back().eol = LineEnd::CrLf;
    }
}

std::size_t IniDocument::FindSection(std::string_view name) const {
    const std::uint32_t id = sectionIndex_.Find(name, SectionNamesOf(sections_));
    return id == 0 ? sections_.size() : id - 1;
}

std::size_t IniDocument::FindKey(const Section& section, std::string_view name) const {
    return section.keys.Find(name, KeyNamesOf(section.lines));
}

}  // namespace zapnix
