#pragma once
// Text in the system's ANSI code page (the text of every "A" function) to and from UTF-16, as the
// system converts it: a character the code page has no exact form for becomes a look-alike or the
// default character, so that a conversion there and back tells whether anything was lost.

#include <string>
#include <string_view>

namespace zapnix {

std::string AnsiFromUtf16(std::u16string_view text);
std::u16string Utf16FromAnsi(std::string_view text);

}  // namespace zapnix
