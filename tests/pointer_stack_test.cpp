#include <gtest/gtest.h>

#include <string>

#include "engine/pointer_stack.h"
#include "extract/settings.h"
#include "platform/fake/fake_platform.h"
#include "support/warning_recorder.h"

namespace tanavo {
namespace {

struct StackFixture {
  StackFixture() : stack(platform, settings, mobileFile) {
    settings.entries[0].name = "rec";
    settings.entries[1].name = "grp";
  }
  FakePlatform platform;
  ExtractionSettings settings;
  std::string mobileFile = "whole file";
  FilePointerStack stack;
};

TEST(FilePointerStack, LevelZeroIsTheMobileFileItself) {
  StackFixture f;
  EXPECT_EQ(f.stack.Depth(), 0);
  EXPECT_EQ(f.stack.TopText(), "whole file");
  EXPECT_EQ(f.stack.TopText().data(), f.mobileFile.data());  // read in place, not copied
  EXPECT_EQ(f.stack.TopOwner(), "");
  f.stack.SetTopText("ignored");  // level 0 changes only by loading a file
  EXPECT_EQ(f.stack.TopText(), "whole file");
  f.mobileFile = "another file";
  EXPECT_EQ(f.stack.TopText(), "another file");
}

TEST(FilePointerStack, PushSetPopNest) {
  StackFixture f;
  EXPECT_TRUE(f.stack.Push(0));
  EXPECT_EQ(f.stack.TopText(), "");
  EXPECT_EQ(f.stack.TopOwner(), "rec");
  f.stack.SetTopText("record");
  EXPECT_TRUE(f.stack.Push(1));
  f.stack.SetTopText("group");
  EXPECT_EQ(f.stack.Depth(), 2);
  EXPECT_EQ(f.stack.TopOwner(), "grp");
  EXPECT_TRUE(f.stack.Pop());
  EXPECT_EQ(f.stack.TopText(), "record");
  EXPECT_EQ(f.stack.TopOwner(), "rec");
  // A pushed level starts empty, not with what was there before.
  EXPECT_TRUE(f.stack.Push(1));
  EXPECT_EQ(f.stack.TopText(), "");
  // An index outside the table gives an empty owner rather than a stray read.
  EXPECT_TRUE(f.stack.Push(kTagEntries));
  EXPECT_EQ(f.stack.TopOwner(), "");
  EXPECT_TRUE(f.stack.Push(-1));
  EXPECT_EQ(f.stack.TopOwner(), "");
  f.stack.Reset();
  EXPECT_EQ(f.stack.Depth(), 0);
  EXPECT_EQ(f.stack.TopText(), "whole file");
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(FilePointerStack, WarnsOnceAtEachLimitAndChangesNothing) {
  StackFixture f;
  for (int i = 0; i < kMaxStackDepth; ++i) {
    ASSERT_TRUE(f.stack.Push(1));
    f.stack.SetTopText("level " + std::to_string(i + 1));
  }
  EXPECT_EQ(f.stack.Depth(), 10);
  EXPECT_TRUE(f.platform.boxes.empty());
  EXPECT_FALSE(f.stack.Push(0));
  EXPECT_EQ(f.stack.Depth(), 10);
  EXPECT_EQ(f.stack.TopText(), "level 10");
  EXPECT_EQ(f.stack.TopOwner(), "grp");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルポインタの階層が深すぎます!!");
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::None);

  f.stack.Reset();
  f.platform.boxes.clear();
  EXPECT_FALSE(f.stack.Pop());
  EXPECT_EQ(f.stack.Depth(), 0);
  EXPECT_EQ(f.stack.TopText(), "whole file");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルポインタが戻りすぎます!!");
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
}

TEST(FilePointerStack, LimitsAreCodesToTheCallersReporterAndNoBox) {
  StackFixture f;
  WarningRecorder<StackWarning> warnings;
  FilePointerStack stack(f.platform, f.settings, f.mobileFile, &warnings);
  EXPECT_FALSE(stack.Pop());
  for (int i = 0; i < kMaxStackDepth; ++i) ASSERT_TRUE(stack.Push(1));
  EXPECT_FALSE(stack.Push(1));
  EXPECT_EQ(warnings.codes, (std::vector<StackWarning>{StackWarning::PoppedTooFar, StackWarning::TooDeep}));
  EXPECT_EQ(stack.Depth(), kMaxStackDepth);
  EXPECT_TRUE(f.platform.boxes.empty());
}

}  // namespace
}  // namespace tanavo
