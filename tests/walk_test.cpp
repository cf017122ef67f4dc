#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/pointer_stack.h"
#include "engine/walk.h"
#include "extract/settings.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

constexpr int kStepCeiling = 100000;  // a walk that takes more steps is taken to loop

struct Def {
  Def(std::string s, std::string e, bool m = false, bool a = false, std::string l = "", std::string n = "")
      : start(std::move(s)), end(std::move(e)), multiple(m), afterPrevious(a), lineEnd(std::move(l)),
        nextLineHead(std::move(n)) {}
  std::string start;
  std::string end;
  bool multiple;
  bool afterPrevious;
  std::string lineEnd;
  std::string nextLineHead;
};

// Builds the tag table in order; Close copies an opening entry, as the
// detail settings window keeps both entries of a pair alike.
class Table {
 public:
  explicit Table(ExtractionSettings& s) : s_(s) {}
  int Add(const std::string& kind, const std::string& name, const Def& d) {
    TagDefinition& e = s_.entries[n_];
    e.kind = kind;
    e.name = name;
    e.rangeStartTag = d.start;
    e.rangeEndTag = d.end;
    e.applyToMultiple = d.multiple ? "Y" : "N";
    e.searchAfterPrevious = d.afterPrevious ? "Y" : "N";
    e.lineEnd = d.lineEnd;
    e.nextLineHead = d.nextLineHead;
    return n_++;
  }
  int Record(const Def& d) { return Add("D_SET", "D_SET", d); }
  int Group(const std::string& name, const Def& d) { return Add("Group", name, d); }
  int Data(const std::string& name, const Def& d) { return Add("Data", name, d); }
  int Close(int opening) {
    s_.entries[n_] = s_.entries[opening];
    return n_++;
  }

 private:
  ExtractionSettings& s_;
  int n_ = 0;
};

struct WalkFixture : ::testing::Test {
  WalkFixture() : stack(platform, settings, file), table(settings) { ResetLastEnd(walk); }

  // Every hook call as a line, with the stack depth and top text it saw.
  WalkResult Walk(int32_t recordFrom = 1, int firstEntry = 0) {
    WalkHooks hooks;
    hooks.shouldStop = [this](int h) {
      if (logStops) events.push_back("stop? " + std::to_string(h));
      if (++steps > kStepCeiling) {
        looped = true;
        return true;
      }
      return stopAt(h);
    };
    hooks.onRecord = [this](const TagMatch& m) {
      events.push_back("record " + std::to_string(m.start) + "-" + std::to_string(m.end) + " " + m.text);
      if (stack.TopOwner() == "D_SET") {
        EXPECT_EQ(stack.TopText(), m.text);
      }
    };
    hooks.onGroup = [this](int h) {
      events.push_back("group " + std::to_string(h) + " d" + std::to_string(stack.Depth()) + " " +
                       std::string(stack.TopText()));
    };
    hooks.onItem = [this](int h, const std::string& text) {
      events.push_back("item " + std::to_string(h) + " d" + std::to_string(stack.Depth()) + " " + text);
      if (stack.TopOwner() == settings.entries[h].name) {
        EXPECT_EQ(stack.TopText(), text);
      }
    };
    steps = 0;
    WalkResult r = WalkRecord(settings, stack, walk, firstEntry, recordFrom, hooks);
    EXPECT_FALSE(looped) << "the walk did not end";
    return r;
  }
  void Expect(const std::vector<std::string>& want) {
    EXPECT_EQ(events, want);
    events.clear();
  }

  FakePlatform platform;
  ExtractionSettings settings;
  std::string file;
  FilePointerStack stack;
  WalkState walk;
  Table table;
  std::vector<std::string> events;
  std::function<bool(int)> stopAt = [](int) { return false; };
  bool logStops = false;
  bool looped = false;
  int steps = 0;
};

TEST_F(WalkFixture, AnEntryOfAnotherKindIsPassedOverAndAnEmptyKindEndsTheWalk) {
  int r = table.Record({"<r>", "</r>"});
  table.Data("A", {"a=", ";"});
  table.Add("data", "B", {"b=", ";"});  // not a spelling of Data
  table.Data("C", {"c=", ";"});
  table.Add("", "D", {"d=", ";"});
  table.Data("E", {"e=", ";"});
  table.Close(r);
  file = "<r>a=1;b=2;c=3;d=4;e=5;</r>";
  logStops = true;
  Walk(1);
  Expect({"stop? 0", "record 1-27 <r>a=1;b=2;c=3;d=4;e=5;</r>", "stop? 1", "item 1 d2 a=1;", "stop? 2", "stop? 3",
          "item 3 d2 c=3;"});
}

TEST_F(WalkFixture, RecordWithItemsInOrder) {
  int r = table.Record({"<r>", "</r>"});
  table.Data("A", {"a=", ";"});
  table.Data("B", {"b=", ";"});
  table.Close(r);
  file = "junk<r>b=2;a=1;</r><r>a=3;</r>";
  logStops = true;
  WalkResult w = Walk(1);
  EXPECT_TRUE(w.recordFound);
  EXPECT_FALSE(w.recordMissing);
  EXPECT_EQ(w.record.start, 5);
  EXPECT_EQ(w.record.end, 19);
  Expect({"stop? 0", "record 5-19 <r>b=2;a=1;</r>", "stop? 1", "item 1 d2 a=1;", "stop? 2", "item 2 d2 b=2;",
          "stop? 3"});
  EXPECT_EQ(stack.Depth(), 0);
  EXPECT_EQ(walk.lastEnd[1], 11);
  EXPECT_EQ(walk.lastEnd[2], 7);

  // The next record is looked for after the previous one's end.
  logStops = false;
  w = Walk(w.record.end + 1);
  EXPECT_EQ(w.record.start, 20);
  Expect({"record 20-30 <r>a=3;</r>", "item 1 d2 a=3;", "item 2 d2 "});  // B missing: empty, still delivered
  w = Walk(w.record.end + 1);
  EXPECT_TRUE(w.recordMissing);
  EXPECT_FALSE(w.recordFound);
  Expect({});
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(WalkFixture, NestedGroupsDescendAndComeBack) {
  int r = table.Record({"<r>", "</r>"});
  int outer = table.Group("Outer", {"<o>", "</o>", true});
  table.Data("X", {"x=", ";"});
  int inner = table.Group("Inner", {"<i>", "</i>", true});
  table.Data("Y", {"y=", ";"});
  table.Close(inner);
  table.Close(outer);
  table.Data("Z", {"z=", ";", false, true});
  table.Close(r);
  file = "<r><o>x=1;<i>y=1;</i><i>y=2;</i></o><o>x=2;<i>y=3;</i></o>z=9;</r>";
  Walk();
  Expect({"record 1-66 " + file, "group 1 d2 <o>x=1;<i>y=1;</i><i>y=2;</i></o>", "item 2 d3 x=1;",
          "group 3 d3 <i>y=1;</i>", "item 4 d4 y=1;", "group 3 d3 <i>y=2;</i>", "item 4 d4 y=2;",
          "group 1 d2 <o>x=2;<i>y=3;</i></o>", "item 2 d3 x=2;",
          // The inner Group of the second block is searched from the start of
          // that block, not from where the outer search stood.
          "group 3 d3 <i>y=3;</i>", "item 4 d4 y=3;", "item 7 d2 z=9;"});
  EXPECT_EQ(stack.Depth(), 0);
  EXPECT_EQ(walk.lastEnd[6], 58);  // the closing entry carries the last block's end
  EXPECT_EQ(walk.levelGroupEntry[2], 1);
  EXPECT_EQ(walk.levelGroupEntry[3], 3);
}

TEST_F(WalkFixture, MissingGroupItemsAreFoundInTheRecordText) {
  int r = table.Record({"<r>", "</r>"});
  int g = table.Group("G", {"<g>", "</g>"});
  table.Data("A", {"a=", ";"});
  table.Close(g);
  table.Data("B", {"b=", ";"});
  table.Close(r);
  file = "<r>a=1;b=2;</r>";
  Walk();
  Expect({"record 1-15 <r>a=1;b=2;</r>", "item 2 d2 a=1;", "item 4 d2 b=2;"});
  EXPECT_EQ(stack.Depth(), 0);

  // Repeated and missing: the block is skipped with its items.
  settings.entries[g].applyToMultiple = "Y";
  settings.entries[3].applyToMultiple = "Y";
  Walk();
  Expect({"record 1-15 <r>a=1;b=2;</r>", "item 4 d2 b=2;"});
}

TEST_F(WalkFixture, RepeatedGroupMayStartAtTheLimitRepeatedItemNot) {
  int r = table.Record({"<r>", "</r>"});
  int g = table.Group("G", {"g", "", true});
  table.Close(g);
  int s = table.Group("S", {"<s>", "</s>"});
  table.Close(s);
  table.Close(r);
  file = "<r>ggg<s>x</s>g</r>";  // the sibling starts at 7: the limit is 6
  Walk();
  Expect({"record 1-19 " + file, "group 1 d2 g", "group 1 d2 g", "group 1 d2 g", "group 3 d2 <s>x</s>"});

  ResetSettings(settings);
  Table t2(settings);
  r = t2.Record({"<r>", "</r>"});
  t2.Data("D", {"d", "", true});
  s = t2.Group("S", {"<s>", "</s>"});
  t2.Close(s);
  t2.Close(r);
  file = "<r>ddd<s>x</s>d</r>";
  Walk();
  Expect({"record 1-19 " + file, "item 1 d2 d", "item 1 d2 d", "group 2 d2 <s>x</s>"});
  ASSERT_TRUE(stack.Push(0));
  stack.SetTopText("ddd<s>x</s>d");
  EXPECT_EQ(RegionLimit(settings, stack, 1), 3);
  EXPECT_EQ(RegionLimit(settings, stack, 2), 12);  // no opening entry after the block
  EXPECT_EQ(EntryRole(settings, 0), Role::Opening);
  EXPECT_EQ(EntryRole(settings, 1), Role::Item);
  EXPECT_EQ(EntryRole(settings, 3), Role::Closing);
}

TEST_F(WalkFixture, RepeatedGroupHoldingAGroupKeepsItsOwnLimit) {
  // The inner block's limit is worked out in each outer block's text; the
  // outer repeats still stop at the sibling's start in the record text.
  int r = table.Record({"<r>", "</r>"});
  int g = table.Group("G", {"<g>", "</g>", true});
  int h = table.Group("H", {"<h>", "</h>"});
  table.Data("D", {"d=", ";"});
  table.Close(h);
  table.Close(g);
  int k = table.Group("K", {"<k>", "</k>"});
  table.Close(k);
  table.Close(r);
  file = "<r><g><h>d=1;</h></g><g><h>d=2;</h></g><k>k</k><g><h>d=3;</h></g></r>";
  Walk();
  Expect({"record 1-69 " + file, "group 1 d2 <g><h>d=1;</h></g>", "group 2 d3 <h>d=1;</h>", "item 3 d4 d=1;",
          "group 1 d2 <g><h>d=2;</h></g>", "group 2 d3 <h>d=2;</h>", "item 3 d4 d=2;", "group 6 d2 <k>k</k>"});
  EXPECT_EQ(stack.Depth(), 0);
}

TEST_F(WalkFixture, SearchAfterPrevious) {
  int r = table.Record({"<r>", "</r>"});
  table.Data("A", {"k=", ";"});
  table.Data("B", {"k=", ";", false, true});  // after an item
  int g = table.Group("G", {"<g>", "</g>"});
  table.Close(g);
  table.Data("C", {"k=", ";", false, true});  // after a closed block
  table.Data("D", {"k=", ";"});               // flag off: from the start again
  table.Close(r);
  file = "<r>k=1;k=2;<g></g>k=3;</r>";
  Walk();
  Expect({"record 1-26 " + file, "item 1 d2 k=1;", "item 2 d2 k=2;", "group 3 d2 <g></g>", "item 5 d2 k=3;",
          "item 6 d2 k=1;"});

  // After a missing item the search starts where it would have without it.
  ResetSettings(settings);
  Table t(settings);
  r = t.Record({"<r>", "</r>"});
  t.Data("A", {"k=", ";"});
  t.Data("Gone", {"q=", ";", false, true});
  t.Data("B", {"k=", ";", false, true});
  t.Close(r);
  Walk();
  Expect({"record 1-26 " + file, "item 1 d2 k=1;", "item 2 d2 ", "item 3 d2 k=2;"});
  EXPECT_EQ(walk.lastEnd[2], walk.lastEnd[1]);

  // A missing first item of a record starts the next one at the record's
  // start, whatever an earlier record left behind.
  settings.entries[1].rangeStartTag = "z=";
  file = "<r>z=1234567890;k=1;</r><r>k=2;</r>";
  Walk(1);
  Expect({"record 1-24 <r>z=1234567890;k=1;</r>", "item 1 d2 z=1234567890;", "item 2 d2 ", "item 3 d2 k=1;"});
  Walk(25);
  Expect({"record 25-35 <r>k=2;</r>", "item 1 d2 ", "item 2 d2 ", "item 3 d2 k=2;"});
}

TEST_F(WalkFixture, ContinuationLinesInsideItems) {
  int r = table.Record({"BEGIN\r\n", "END\r\n"});
  table.Data("Subject", {"Subject:", "\r\n", false, false, "", " "});
  table.Data("Body", {"Body:", "\r\n", false, false, "="});
  table.Close(r);
  file = "BEGIN\r\nSubject: a\r\n b\r\nBody:x=\r\ny=\r\nz\r\nEND\r\n";
  Walk();
  Expect({"record 1-44 " + file, "item 1 d2 Subject: ab\r\n", "item 2 d2 Body:xyz\r\n"});
}

TEST_F(WalkFixture, EntriesBeforeTheRecordSearchTheWholeFile) {
  table.Data("Head", {"h=", ";"});
  int r = table.Record({"<r>", "</r>"});
  table.Data("A", {"a=", ";"});
  table.Close(r);
  file = "h=top;<r>a=1;</r><r>a=2;</r>";
  WalkResult w = Walk(18);
  EXPECT_EQ(w.record.start, 18);
  Expect({"item 0 d1 h=top;", "record 18-28 <r>a=2;</r>", "item 2 d2 a=2;"});
  // Index creation starts at the D_SET entry.
  Walk(1, r);
  Expect({"record 7-17 <r>a=1;</r>", "item 2 d2 a=1;"});
}

TEST_F(WalkFixture, StopsWhenAskedAlsoBetweenOccurrences) {
  int r = table.Record({"<r>", "</r>"});
  table.Data("M", {"m=", ";", true});
  table.Data("N", {"n=", ";"});
  table.Close(r);
  file = "<r>m=1;m=2;m=3;n=4;</r>";
  logStops = true;
  Walk();
  Expect({"stop? 0", "record 1-23 " + file, "stop? 1", "item 1 d2 m=1;", "stop? 1", "item 1 d2 m=2;", "stop? 1",
          "item 1 d2 m=3;", "stop? 1", "stop? 2", "item 2 d2 n=4;", "stop? 3"});
  // Stop as soon as one occurrence is delivered.
  int delivered = 0;
  WalkHooks hooks;
  hooks.shouldStop = [&](int) { return delivered >= 1; };
  hooks.onItem = [&](int, const std::string&) { ++delivered; };
  WalkResult w = WalkRecord(settings, stack, walk, 0, 1, hooks);
  EXPECT_EQ(delivered, 1);
  EXPECT_TRUE(w.recordFound);
  // Stopped before the D_SET step: neither found nor missing.
  hooks.shouldStop = [](int) { return true; };
  w = WalkRecord(settings, stack, walk, 0, 1, hooks);
  EXPECT_FALSE(w.recordFound);
  EXPECT_FALSE(w.recordMissing);
}

TEST_F(WalkFixture, StackLimitsInsideAWalk) {
  // Nine Groups inside the record: the innermost item finds no level left.
  int r = table.Record({"<r>", "</r>"});
  std::vector<int> groups;
  std::string open, close;
  for (int i = 1; i <= 9; ++i) {
    std::string tag = std::to_string(i);
    groups.push_back(table.Group("G" + tag, {"<" + tag + ">", "</" + tag + ">"}));
    open += "<" + tag + ">";
    close = "</" + tag + ">" + close;
  }
  int item = table.Data("X", {"x=", ";"});
  for (int i = 8; i >= 0; --i) table.Close(groups[i]);
  table.Close(r);
  file = "<r>" + open + "x=1;" + close + "</r>";
  WalkResult w = Walk();
  EXPECT_TRUE(w.recordFound);
  EXPECT_FALSE(w.recordMissing);
  ASSERT_EQ(events.size(), 11u);
  EXPECT_EQ(events[9], "group 9 d10 <9>x=1;</9>");
  EXPECT_EQ(events[10], "item " + std::to_string(item) + " d10 x=1;");  // delivered all the same
  EXPECT_EQ(stack.Depth(), 0);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "ファイルポインタの階層が深すぎます!!");
}

TEST_F(WalkFixture, RefusedRecordPushReportsTheRecordOnce) {
  // Ten Groups before the D_SET fill the stack; the record is found, reported
  // once, and never turns missing.
  std::vector<int> groups;
  std::string open, close;
  for (int i = 1; i <= 10; ++i) {
    std::string tag = std::to_string(i);
    groups.push_back(table.Group("G" + tag, {"<" + tag + ">", "</" + tag + ">"}));
    open += "<" + tag + ">";
    close = "</" + tag + ">" + close;
  }
  int r = table.Record({"<r>", "</r>"});
  table.Data("X", {"x=", ";"});
  table.Close(r);
  for (int i = 9; i >= 0; --i) table.Close(groups[i]);
  file = open + "<r>x=1;</r>" + close;
  WalkResult w = Walk();
  EXPECT_TRUE(w.recordFound);
  EXPECT_FALSE(w.recordMissing);
  ASSERT_EQ(events.size(), 11u);
  EXPECT_EQ(events[10], "record 5-15 <r>x=1;</r>");  // found in the innermost Group's text
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "ファイルポインタの階層が深すぎます!!");
  // The next walk starts from level 0 again.
  events.clear();
  Walk(1, r);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], "record 32-42 <r>x=1;</r>");
  EXPECT_EQ(events[1], "item " + std::to_string(r + 1) + " d2 x=1;");
}

TEST_F(WalkFixture, ClosingEntriesWithoutOpeningNeverPopTooFar) {
  int r = table.Record({"<r>", "</r>"});
  table.Data("A", {"a=", ";"});
  table.Close(r);
  int g = table.Group("Late", {"<l>", "</l>"});
  table.Close(g);
  table.Close(g);  // a third entry of the same name
  table.Close(r);  // and a second closing D_SET
  file = "<r>a=1;</r>";
  Walk();
  Expect({"record 1-11 <r>a=1;</r>", "item 1 d2 a=1;"});
  EXPECT_EQ(stack.Depth(), 0);
  EXPECT_TRUE(platform.boxes.empty());
}

// The settings below make a walk that follows its description literally
// loop forever or index outside its tables; each must end.
TEST_F(WalkFixture, ClosingGroupHandledAsOpeningOnlyMovesForward) {
  int r = table.Record({"<r>", "</r>"});
  int gc = table.Group("GC", {"<c>", "</c>", true});
  table.Data("X", {"x", ";"});
  int gb = table.Group("GB", {"<b>", "</b>", false, true});
  table.Close(gb);
  table.Close(gc);
  table.Close(r);
  file = "<r><c><b>x;</b></c></r>";
  WalkResult w = Walk();
  EXPECT_FALSE(w.recordMissing);
  Expect({"record 1-23 " + file, "group 1 d2 <c><b>x;</b></c>", "item 2 d3 x;", "group 4 d3 <b>x;</b>"});
  EXPECT_EQ(stack.Depth(), 0);
}

TEST_F(WalkFixture, RepeatsOfEmptyTagsStopWhenTheyDoNotAdvance) {
  int r = table.Record({"<r>", "</r>"});
  table.Data("E", {"", "", true});
  table.Close(r);
  file = "<r>abc</r>";
  Walk();
  Expect({"record 1-10 " + file, "item 1 d2 "});

  ResetSettings(settings);
  Table t(settings);
  r = t.Record({"<r>", "</r>"});
  int g = t.Group("G", {"", "", true});
  t.Data("F", {"a", ""});
  t.Close(g);
  t.Close(r);
  Walk();
  Expect({"record 1-10 " + file, "group 1 d2 ", "item 2 d3 "});
  EXPECT_EQ(stack.Depth(), 0);

  // Opening entry off, closing entry on (a damaged file): still ends.
  settings.entries[g].applyToMultiple = "N";
  settings.entries[g].rangeStartTag = "b";
  settings.entries[3].rangeStartTag = "b";
  Walk();
  Expect({"record 1-10 " + file, "group 1 d2 b", "item 2 d3 ", "item 2 d2 a", "group 3 d2 b"});
  EXPECT_EQ(stack.Depth(), 0);
}

TEST_F(WalkFixture, GroupWithoutPartner) {
  int r = table.Record({"<r>", "</r>"});
  table.Group("Lone", {"<l>", "</l>", true, true});
  table.Data("A", {"a=", ";", false, true});
  table.Close(r);
  file = "<r><l>a=1;</l>a=2;</r>";
  Walk();
  // It opens a level that nothing closes; the record's closing entry closes it.
  Expect({"record 1-22 " + file, "group 1 d2 <l>a=1;</l>", "item 2 d3 a=1;"});
  EXPECT_EQ(stack.Depth(), 0);
  file = "<r>a=2;</r>";
  Walk();
  Expect({"record 1-11 " + file, "item 2 d2 a=2;"});
}

TEST_F(WalkFixture, RecordOfEmptyTagsIsMissing) {
  int r = table.Record({"", ""});
  table.Data("A", {"a=", ";"});
  table.Close(r);
  file = "a=1;";
  // A caller that looks for the next record after each one ends at once.
  int32_t from = 1;
  int records = 0;
  for (int i = 0; i < 10; ++i) {
    WalkResult w = Walk(from);
    if (w.recordMissing) break;
    ++records;
    from = w.record.end + 1;
  }
  EXPECT_EQ(records, 0);
  Expect({});

  // An empty start tag alone still advances by the end tag.
  settings.entries[0].rangeEndTag = ";";
  settings.entries[2].rangeEndTag = ";";
  file = "a=1;a=2;";
  from = 1;
  for (int i = 0; i < 10; ++i) {
    WalkResult w = Walk(from);
    if (w.recordMissing) break;
    ++records;
    ASSERT_GT(w.record.end + 1, from);
    from = w.record.end + 1;
  }
  EXPECT_EQ(records, 2);
}

}  // namespace
}  // namespace tanavo
