// The event list's row store: what the window shows and copies is what was appended.
#include <gtest/gtest.h>

#include <string>

#include "eventlog/EventRows.h"

using pellix::EventRows;
using pellix::RecordKind;

TEST(EventRows, AMillionRowsKeepEveryCellAndAClearLeavesNone) {
  EventRows rows;
  constexpr std::size_t kRows = 1000000;
  for (std::size_t i = 0; i < kRows; ++i) rows.Append(i % 2 ? RecordKind::Url : RecordKind::Chat, "09:05:07", "発言", "<taro> " + std::to_string(i));
  ASSERT_EQ(rows.Count(), kRows);
  for (std::size_t i : {std::size_t{0}, std::size_t{4096}, kRows - 1}) {
    EXPECT_STREQ(rows.Cell(i, 0), "09:05:07");
    EXPECT_STREQ(rows.Cell(i, 1), "発言");
    EXPECT_EQ(rows.Cell(i, 2), "<taro> " + std::to_string(i));
    EXPECT_EQ(rows.KindOf(i), i % 2 ? RecordKind::Url : RecordKind::Chat);
  }
  EXPECT_EQ(rows.KindOf(kRows), std::nullopt);
  rows.Clear();
  EXPECT_EQ(rows.Count(), 0u);
  EXPECT_STREQ(rows.Cell(0, 0), "");
  EXPECT_EQ(rows.KindOf(0), std::nullopt);
  rows.Append(RecordKind::Join, "a", "b", "c");
  EXPECT_STREQ(rows.Cell(0, 2), "c") << "rows come again after a clear";
}

TEST(EventRows, ReadsPastTheEndAreEmptyAndLongOrEmptyCellsStayWhole) {
  EventRows rows;
  EXPECT_STREQ(rows.Cell(0, 0), "");
  const std::string longText(700000, 'x');  // more than a block
  rows.Append(RecordKind::Url, "", "", longText);
  rows.Append(RecordKind::Chat, std::string("a\0b", 3), "", "");
  EXPECT_EQ(rows.Cell(0, 2), longText);
  EXPECT_STREQ(rows.Cell(0, 0), "");
  EXPECT_EQ(rows.KindOf(0), RecordKind::Url) << "the kind survives a row longer than a block";
  EXPECT_STREQ(rows.Cell(1, 0), "a") << "a cell ends at a NUL, as a C string would";
  EXPECT_STREQ(rows.Cell(1, 3), "");
  EXPECT_STREQ(rows.Cell(1, -1), "");
  EXPECT_STREQ(rows.Cell(2, 0), "");
}
