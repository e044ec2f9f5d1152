// A rename: whether it changes the visible name, and the notice the plug-in echoes for it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fx/Clock.h"

namespace pellix {

// Longest name taken from the host for the rename comparison and notice.
inline constexpr std::size_t kRenameNameMaxBytes = 1023;

// A rename is noticed and recorded only when it changes the visible name: the base names of
// both full names (each taken up to 1023 bytes) differ, compared byte by byte. Unlike the base
// names shown, these are not cut back to a character boundary.
bool RenameChangesBaseName(std::string_view oldName, std::string_view newName) noexcept;

// "［09時05分07秒］[old] は [new] に改名しました。\r\n": the time of day of `now` and the base
// names of the full names.
std::string RenameNotice(const fx::LocalTime& now, std::string_view oldName, std::string_view newName);

}  // namespace pellix
