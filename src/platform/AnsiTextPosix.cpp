#include "platform/AnsiText.h"

namespace zapnix {

// Where there is no Windows code page, the tests' one: ISO 8859-1, whose 256 characters are the first
// 256 of Unicode.

std::string AnsiFromUtf16(std::u16string_view text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (const char16_t unit : text) ansi += unit < 0x100 ? static_cast<char>(unit) : '?';
    return ansi;
}

std::u16string Utf16FromAnsi(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (const char byte : text) wide += static_cast<char16_t>(static_cast<unsigned char>(byte));
    return wide;
}

}  // namespace zapnix
