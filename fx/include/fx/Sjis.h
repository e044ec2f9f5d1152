// Shift-JIS (code page 932) text helpers. Text is stepped character by character from its start:
// a lead byte and the byte after it form one character, so a trail byte is never read as ASCII.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fx::sjis {

constexpr bool IsLeadByte(unsigned char b) noexcept {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// 2 for a lead byte with a following byte, else 1 (also for pos at or past the end, so that
// stepping loops always advance).
std::size_t CharLength(std::string_view text, std::size_t pos) noexcept;

// True when pos is the start of a character or the end of the text.
bool IsCharBoundary(std::string_view text, std::size_t pos) noexcept;

// Longest prefix length <= maxBytes that does not split a double-byte character.
std::size_t CutLength(std::string_view text, std::size_t maxBytes) noexcept;
std::string_view Cut(std::string_view text, std::size_t maxBytes) noexcept;

// Searches that match only whole characters: a match starts and ends on character boundaries.
// `from` is a byte offset, rounded up to the next character start. npos when there is no match.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0) noexcept;
// As Find, folding single-byte ASCII letters only; double-byte characters compare exactly.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) noexcept;
bool Contains(std::string_view text, std::string_view needle) noexcept;
bool ContainsNoCase(std::string_view text, std::string_view needle) noexcept;
bool EqualsNoCase(std::string_view a, std::string_view b) noexcept;
bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept;

// Lower-cases single-byte ASCII letters only.
std::string ToLower(std::string_view text);

// Position of the last '\\' or '/' that is a whole character; npos when there is none.
std::size_t FindLastSeparator(std::string_view path) noexcept;

// UTF-8 -> CP932; nullopt for invalid UTF-8 or a character CP932 cannot represent.
std::optional<std::string> FromUtf8(std::string_view utf8);
// CP932 -> UTF-8; each invalid byte or unassigned character becomes U+FFFD.
std::string ToUtf8(std::string_view cp932);

}  // namespace fx::sjis
