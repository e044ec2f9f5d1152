// The URL scanner on arbitrary chat text.
#include "FuzzSupport.h"
#include "handlers/UrlScan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> urls = pellix::ScanUrls(text);
  fuzz::Check(urls.size() <= text.size() / 4, "more URLs than the text can hold", text);
  for (const std::string& url : urls) {
    // What was found is in the text (less the "h" put in front), starts with a starter, and
    // holds URL bytes only.
    std::string_view found = url;
    if (url.rfind("http:", 0) == 0 && text.find(found) == std::string_view::npos) found.remove_prefix(1);
    fuzz::Check(text.find(found) != std::string_view::npos, "URL not in the text", url);
    fuzz::Check(found.rfind("ttp:", 0) == 0 || found.rfind("ftp:", 0) == 0 || found.rfind("www.", 0) == 0 ||
                    found.rfind("http:", 0) == 0,
                "URL without a starter", url);
    for (const char c : url) {
      const auto b = static_cast<unsigned char>(c);
      fuzz::Check(b >= 0x21 && b <= 0x7F, "URL holds a byte that ends URLs", url);
    }
  }
  return 0;
}
