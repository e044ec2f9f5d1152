// URLs in a chat line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pellix {

// The URLs of `text`, in the order found. From the current position the first "ttp:" is used; only
// when there is none, the first "ftp:"; only when neither is left, the first "www." (exact case,
// at character starts). A URL runs over bytes 0x21..0x7F and the search goes on after it. A URL
// holding "ttp:" but no "http:" gets an "h" in front, so "ttp://x" and "http://x" both give
// "http://x". Linear in the text length, whatever the number of starters.
std::vector<std::string> ScanUrls(std::string_view text);

}  // namespace pellix
