#include "platform/TextCase.h"

namespace zapnix {

std::string AsciiTextCase::Lower(std::string_view text) const {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

std::string AsciiTextCase::Upper(std::string_view text) const {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace zapnix
