#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "handlers/UrlScan.h"

namespace pellix {
namespace {

using Urls = std::vector<std::string>;

TEST(UrlScan, TheLeadingHIsRestored) {
  EXPECT_EQ(ScanUrls("see ttp://x/y then"), Urls{"http://x/y"});
  EXPECT_EQ(ScanUrls("http://x/y"), Urls{"http://x/y"});
  EXPECT_EQ(ScanUrls("ftp://r/s"), Urls{"ftp://r/s"});
  EXPECT_EQ(ScanUrls("www.p/q"), Urls{"www.p/q"});
}

TEST(UrlScan, StarterPriorityWinsOverPosition) {
  EXPECT_EQ(ScanUrls("www.p/q and ftp://r/s"), Urls{"ftp://r/s"});
  // After ftp://r/s the search goes on: "www." later in the line is found then.
  EXPECT_EQ(ScanUrls("www.p/q ftp://r/s www.t/u"), (Urls{"ftp://r/s", "www.t/u"}));
  EXPECT_EQ(ScanUrls("ftp://a http://b ftp://c"), (Urls{"http://b", "ftp://c"}));
  EXPECT_EQ(ScanUrls("a http://b c http://d"), (Urls{"http://b", "http://d"}));
}

TEST(UrlScan, StartersAreCaseSensitive) {
  EXPECT_EQ(ScanUrls("HTTP://x/y WWW.z"), Urls{});
  EXPECT_EQ(ScanUrls("https://x/y"), Urls{});
  EXPECT_EQ(ScanUrls("https://www.x/y"), Urls{"www.x/y"});
}

TEST(UrlScan, AUrlHoldingHttpFurtherOnKeepsItsForm) {
  EXPECT_EQ(ScanUrls("http://a/?u=http://b"), Urls{"ttp://a/?u=http://b"});
  EXPECT_EQ(ScanUrls("ttp://a/?u=ttp://b"), Urls{"http://a/?u=ttp://b"});
}

TEST(UrlScan, UrlsEndAtSpacesControlsAndNonAsciiBytes) {
  EXPECT_EQ(ScanUrls("http://x/y日本"), Urls{"http://x/y"});
  EXPECT_EQ(ScanUrls("http://x/y\tz"), Urls{"http://x/y"});
  EXPECT_EQ(ScanUrls("<http://x/~y>\"'"), Urls{"http://x/~y>\"'"});
  EXPECT_EQ(ScanUrls("http://x\x7Fy"), Urls{"http://x\x7Fy"});
  const std::string loneLead = std::string("ア").substr(0, 1);
  EXPECT_EQ(ScanUrls("http://x/y" + loneLead), Urls{"http://x/y"});
}

TEST(UrlScan, StartersInsideDoubleByteCharactersAreNotFound) {
  // The trail byte of "ヘ" is 'w': "ヘww." holds no "www." at a character start.
  EXPECT_EQ(ScanUrls("ヘww.x"), Urls{});
  // Right after a URL that ends at a double-byte character, the scan resumes after that character.
  EXPECT_EQ(ScanUrls("http://a/ヘww.x"), Urls{"http://a/"});
  EXPECT_EQ(ScanUrls("http://a/ヘ www.x"), (Urls{"http://a/", "www.x"}));
}

TEST(UrlScan, NoUrlsInPlainText) {
  EXPECT_EQ(ScanUrls(""), Urls{});
  EXPECT_EQ(ScanUrls("こんにちは ttp"), Urls{});
}

TEST(UrlScan, LinearOnAHugeLineFullOfStarters) {
  // About 1 MB of "www." starters and no "ttp:" or "ftp:". A scan that looked for the absent
  // starters again after every URL, or walked the line from its start for each search, would
  // take minutes here and run into the test's time limit.
  std::string line;
  while (line.size() < 1'000'000) line += "www.a ";
  const Urls urls = ScanUrls(line);
  ASSERT_EQ(urls.size(), line.size() / 6);
  EXPECT_EQ(urls.front(), "www.a");
  EXPECT_EQ(urls.back(), "www.a");

  // Every "ttp:" wins over the "www." before it.
  std::string mixed;
  while (mixed.size() < 1'000'000) mixed += "www.a ttp:b ";
  const Urls found = ScanUrls(mixed);
  ASSERT_EQ(found.size(), mixed.size() / 12);
  EXPECT_EQ(found.back(), "http:b");
}

}  // namespace
}  // namespace pellix
