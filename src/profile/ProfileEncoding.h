#pragma once
// The encodings a profile file comes in. The profile functions read and write a file that begins with
// the UTF-16 (little-endian) byte-order mark as Unicode, converting through the ANSI code page; every
// other file is ANSI bytes. The engine works on ANSI text: these turn a UTF-16 file into that text and
// the engine's result back into UTF-16.

#include <string>
#include <string_view>

namespace zapnix {

enum class ProfileEncoding {
    Ansi,
    Utf16,        // little-endian, after its mark FF FE
    Unsupported,  // another mark (UTF-16 big-endian, UTF-8, UTF-32) or broken UTF-16: cannot be read
};

// By the first bytes of the file; a whole file also by its length (UTF-16 comes in pairs of bytes).
ProfileEncoding EncodingOf(std::string_view bytes);

// The ANSI text of a UTF-16 file, its mark dropped.
std::string AnsiOfUtf16File(std::string_view file);
// The ANSI text `ansi` as a UTF-16 file, with its mark. A line of `original` (the file as it stands)
// whose characters the code page cannot hold keeps them wherever `ansi` has that line as the code page
// made it, so that what the engine left as it was loses nothing.
std::string Utf16FileOf(std::string_view ansi, std::string_view original);

}  // namespace zapnix
