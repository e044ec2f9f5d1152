#include "handlers/UrlScan.h"

#include <array>
#include <cstddef>
#include <utility>

#include "fx/Sjis.h"

namespace pellix {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsUrlByte(char c) noexcept {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x21 && b <= 0x7F;
}

// The next occurrence of one starter at or after a position. A found position stays valid until the
// scan passes it, and an absent starter stays absent, so every byte is searched once per starter.
class StarterCursor {
 public:
  explicit StarterCursor(std::string_view starter) : m_starter(starter) {}

  // `from` must be a character start of `text`; the search sees only the rest of the text, so
  // that it neither re-walks the line from its start nor counts characters from a trail byte.
  std::size_t NextAt(std::string_view text, std::size_t from) {
    if (m_exhausted) return npos;
    if (m_found != npos && m_found >= from) return m_found;
    const std::size_t rel = from <= text.size() ? fx::sjis::Find(text.substr(from), m_starter) : npos;
    m_found = rel == npos ? npos : from + rel;
    m_exhausted = m_found == npos;
    return m_found;
  }

 private:
  std::string_view m_starter;
  std::size_t m_found = npos;
  bool m_exhausted = false;
};

}  // namespace

std::vector<std::string> ScanUrls(std::string_view text) {
  std::array<StarterCursor, 3> starters = {StarterCursor("ttp:"), StarterCursor("ftp:"), StarterCursor("www.")};
  std::vector<std::string> urls;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t start = npos;
    for (auto& starter : starters) {
      start = starter.NextAt(text, from);
      if (start != npos) break;
    }
    if (start == npos) break;

    std::size_t end = start;
    while (end < text.size() && IsUrlByte(text[end])) ++end;
    const std::string_view url = text.substr(start, end - start);

    // Built apart and moved in: assigning into the fresh vector element trips a false
    // -Wrestrict of GCC 12 at -O2.
    std::string added;
    added.reserve(url.size() + 1);
    // Every URL byte is a single-byte character, so a byte search is the character-wise one.
    if (url.find("ttp:") != npos && url.find("http:") == npos) added.push_back('h');
    added.append(url);
    urls.push_back(std::move(added));

    // URL bytes are all single-byte characters, so `end` is a character start. The scan goes on
    // one byte later, unless the byte that ended the URL is a lead byte: its trail byte is no
    // character start, so the next one is after the pair.
    from = end + fx::sjis::CharLength(text, end);
  }
  return urls;
}

}  // namespace pellix
