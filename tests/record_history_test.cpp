#include <gtest/gtest.h>

#include "state/record_history.h"
#include "platform/fake/fake_platform.h"
#include "support/warning_recorder.h"

namespace tanavo {
namespace {

TEST(RecordHistory, PushBackTopKeepTheOrderOfTheRecordsShown) {
  FakePlatform p;
  RecordHistory h;
  EXPECT_EQ(Top(h), 0);  // nothing stored yet
  EXPECT_TRUE(Push(h, p, 1));
  EXPECT_TRUE(Push(h, p, 40));
  EXPECT_TRUE(Push(h, p, 90));
  EXPECT_EQ(h.top, 3);
  EXPECT_EQ(Top(h), 90);
  EXPECT_EQ(Back(h), 40);
  EXPECT_EQ(Top(h), 40);
  EXPECT_EQ(Back(h), 1);
  EXPECT_EQ(h.top, 1);
  EXPECT_EQ(Back(h), 1);  // the oldest stays
  EXPECT_EQ(h.top, 1);
  EXPECT_TRUE(p.boxes.empty());
}

TEST(RecordHistory, BackWithNothingStoredReturnsOneAndTouchesNothing) {
  FakePlatform p;
  RecordHistory h;
  EXPECT_EQ(Back(h), 1);
  EXPECT_EQ(h.top, 0);
  EXPECT_EQ(Top(h), 0);
  EXPECT_TRUE(Push(h, p, 7));
  EXPECT_EQ(h.starts[1], 7);
}

TEST(RecordHistory, FullAt2500WarnsAndStoresNothing) {
  FakePlatform p;
  RecordHistory h;
  for (int i = 1; i <= kHistorySlots; ++i) ASSERT_TRUE(Push(h, p, i * 10));
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_EQ(Top(h), kHistorySlots * 10);
  EXPECT_FALSE(Push(h, p, 5));
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].text, "スタックの階層が深すぎます!!");
  EXPECT_EQ(p.boxes[0].caption, "警告");
  EXPECT_EQ(p.boxes[0].owner, BoxOwner::None);
  EXPECT_EQ(h.top, kHistorySlots);
  EXPECT_EQ(Top(h), kHistorySlots * 10);
  EXPECT_EQ(Back(h), (kHistorySlots - 1) * 10);
  EXPECT_TRUE(Push(h, p, 5));  // room again
  EXPECT_EQ(Top(h), 5);
}

TEST(RecordHistory, FullIsACodeToTheCallersReporterAndNoBox) {
  FakePlatform p;
  RecordHistory h;
  WarningRecorder<HistoryWarning> warnings;
  for (int i = 1; i <= kHistorySlots; ++i) ASSERT_TRUE(Push(h, p, i, &warnings));
  EXPECT_TRUE(warnings.codes.empty());
  EXPECT_FALSE(Push(h, p, 5, &warnings));
  EXPECT_EQ(warnings.codes, std::vector<HistoryWarning>{HistoryWarning::Full});
  EXPECT_EQ(Top(h), kHistorySlots);
  EXPECT_TRUE(p.boxes.empty());
}

}  // namespace
}  // namespace tanavo
