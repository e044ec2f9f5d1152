// Private-profile (INI) files with the Windows semantics. `file` is a CP932 path.
//
// Sections and keys match case-insensitively (single-byte ASCII letters fold), the first
// matching section and the first matching key in it win, and names and values are trimmed of
// spaces and tabs. A value enclosed in matching single or double quotes is read without them,
// as Windows does. A value ends at its first NUL byte, as in Windows' own reading of a damaged
// file. Lines beginning with ';' are comments. Bytes are kept as they are.
//
// A file is parsed once and kept until it is written through this API or changes on disk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fx {

// The value, or defaultValue when the file, section or key is missing; either is cut to
// bufferSize - 1 bytes at a character boundary (bufferSize 0 gives "").
std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize, std::string_view file);

// defaultValue when the key is missing or its value empty; otherwise an optional sign and the
// leading decimal digits (0 for a non-number), saturated to the range of int.
int ProfileGetInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file);

// Replaces the key's value in place, keeping every other line byte for byte; a new key goes
// after the last key of its section, a new section at the end of the file, which is created
// when missing. Lines written end in CR LF. The value ends at its first CR, LF or NUL, so it
// cannot break into other lines. False, with the file untouched, when the section or key is
// unusable (empty key, '=' in the key, ']' in the section, line breaks) or the file cannot be
// written. The new content goes to a temporary file in the same folder, renamed over the old
// one, so a failed write never leaves a truncated file; the folder must therefore be writable.
bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view file);

// Drops every parsed file, so the next call reads from disk.
void ProfileForgetCache();

}  // namespace fx
