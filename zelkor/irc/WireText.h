// Text between the wire and the plug-in. The wire speaks UTF-8; older Japanese clients send
// Shift-JIS; the plug-in sees only Shift-JIS (code page 932).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelkor::irc {

// Text from the wire as Shift-JIS. UTF-8 is converted, and a character Shift-JIS cannot hold
// becomes '?'. A text that is not UTF-8 but is Shift-JIS is taken as it is. Any other byte that
// is not UTF-8 becomes '?'.
std::string WireToCp932(std::string_view wire);
// The plug-in's Shift-JIS as UTF-8; a byte that is not Shift-JIS becomes U+FFFD.
std::string Cp932ToWire(std::string_view cp932);

bool IsUtf8(std::string_view text);

// The longest prefix of at most `maxBytes` that does not split a UTF-8 character: a cut inside
// one goes back to its start (three bytes at most). Where the text is not UTF-8, or the first
// character is longer than `maxBytes`, the cut is at `maxBytes`.
std::size_t Utf8CutLength(std::string_view utf8, std::size_t maxBytes);

// Consecutive pieces of a UTF-8 text, each at most `maxBytes` (at least 4), cut only between
// characters; together they are the whole text. An empty text gives no piece.
std::vector<std::string_view> SplitUtf8(std::string_view utf8, std::size_t maxBytes);

// Chat text without the formatting codes clients embed (bold, colour with its numbers, italic,
// underline, reverse, reset...), as a person reads it.
std::string WithoutFormatting(std::string_view text);

}  // namespace zelkor::irc
