// Text between the movie file's UTF-8 and the caption fonts' Latin-1.
//
// Caption fonts hold at most 256 glyphs, indexed by Latin-1 code; expat hands
// the movie's texts over as UTF-8. Depends on nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xmo {

// The code points of well-formed UTF-8 (no overlong forms, no surrogates,
// nothing past U+10FFFF); nothing for anything else.
std::optional<std::u32string> decodeUtf8(std::string_view text);

// Writes text into out as Latin-1 bytes, reusing out's storage: characters up
// to U+00FF become their byte, every other character (and each byte of
// malformed UTF-8) becomes '?'.
void convertUtf8ToLatin1(std::string_view text, std::string& out);

}  // namespace xmo
