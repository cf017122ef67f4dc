#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/data_display.h"
#include "display/render.h"
#include "app/display_window.h"
#include "mail_records.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

struct RenderApp : FakeApp {
  MemoryWindow& Display() { return Win(kDisplayWindowClass); }
  std::string Rendered(int n) {
    RenderedRecord r;
    EXPECT_EQ(ShowRecord(app, n, &r), 0);
    EXPECT_EQ(Display().Text(kDispLayoutEdit), r.text.substr(0, r.text.find('\0')));
    return r.text;
  }
};

TEST(RenderRecord, WritesValuesIntoTheLayout) {
  struct Case {
    const char* what;
    std::string layout;
    std::string shown;
  };
  const Case cases[] = {
      {"no placeholder", "just text\r\n", "just text\r\n"},
      {"bare", "[??Subject??]", "[Hi]"},
      {"padded to width 16", "[??Subject     ??]", "[Hi              ]"},
      {"a placeholder of no entry stays", "??Nobody??", "??Nobody??"},
      {"bare of an entry without value disappears", "[??From??]", "[]"},
      {"padded of an entry without value keeps its columns", "[??From  ??]", "[          ]"},
      {"second placeholder of a non-repeated entry is cleared", "??Subject??|??Subject??", "Hi|"},
      {"body", "??Body??", "text"},
  };
  for (const Case& c : cases) {
    RenderApp f;
    LoadMails(f, {{"", "Hi", "text", {}}}, c.layout);
    EXPECT_EQ(f.Rendered(1), c.shown) << c.what;
  }
}

TEST(RenderRecord, RepeatedItemFillsPlaceholdersInOrder) {
  const std::string record = "<R>T:1\r\nT:2\r\nT:3\r\n</R>";
  for (const auto& [layout, shown] : std::vector<std::pair<std::string, std::string>>{
           {"??To??,??To??", "1,2"}, {"??To??,??To??,??To??,??To  ??", "1,2,3,        "}}) {
    RenderApp f;
    f.app.state.mobileFile = record;
    SetTable(f.app.extraction, {Def("D_SET", "R", "<R>", "</R>"), Item("To", "T:", "\r\n", true), Def("D_SET", "R", "<R>", "</R>")});
    f.app.index.count = 1;
    f.app.index.positions[1] = 1;
    f.app.display.layoutText = layout;
    EXPECT_EQ(f.Rendered(1), shown) << layout;
  }
}

TEST(RenderRecord, ShowsProgressTheRecordAndTheAttachmentLabel) {
  RenderApp f;
  LoadMails(f, {{"a@x", "one", "b1", {}}, {"c@y", "two", "b2", {{"p.jpg", "JPEG"}}}}, "??Subject??");
  f.Rendered(2);
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_TRUE(f.Display().IsShown(kDispAttachmentList));
  EXPECT_EQ(f.Display().Text(kDispStatusText), "");
  const std::string second = MailRecord({"c@y", "two", "b2", {{"p.jpg", "JPEG"}}});
  EXPECT_EQ(f.Win(kMainWindowClass).Text(kRawTextView), second.substr(0, second.size() - 2));  // tags included
  f.Rendered(1);
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "");
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(RenderRecord, RecordNotFoundLeavesTheScreenAsItWas) {
  RenderApp f;
  LoadMails(f, {{"a@x", "one", "b1", {}}}, "??Subject??");
  f.Rendered(1);
  f.app.index.count = 4;
  f.app.index.positions[2] = 3;  // no D_SET start tag at or after it
  f.app.index.positions[3] = static_cast<int32_t>(f.app.state.mobileFile.size()) + 10;  // past the file
  f.app.index.positions[4] = -5;
  f.Display().ListSelect(kDispRecordList, 0);
  const std::string raw = f.Win(kMainWindowClass).Text(kRawTextView);
  for (int n : {2, 3, 4, 5, 0}) {
    EXPECT_EQ(ShowRecord(f.app, n), 1) << n;
    EXPECT_EQ(f.Display().Text(kDispLayoutEdit), "one") << n;
    EXPECT_EQ(f.Win(kMainWindowClass).Text(kRawTextView), raw) << n;
    // Its work mark is cleared and the status text says what happened.
    EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "") << n;
    EXPECT_EQ(f.Display().Text(kDispStatusText), "記録位置にレコードなし") << n;
  }
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(RenderRecord, CollectsEveryValueOfEveryEntry) {
  RenderApp f;
  LoadMails(f, {{"a@x", "one", "b1\0x"s, {}}}, "??Body??");
  RenderedRecord r;
  ASSERT_EQ(ShowRecord(f.app, 1, &r), 0);
  EXPECT_EQ(r.text, "b1\0x"s);
  EXPECT_EQ(f.Display().Text(kDispLayoutEdit), "b1");  // the control stops at the NUL
  EXPECT_EQ(r.values[1], (std::vector<std::string>{"a@x"}));
  EXPECT_EQ(r.values[3], (std::vector<std::string>{"b1\0x"s}));
  EXPECT_TRUE(r.values[0].empty());
}

}  // namespace
}  // namespace tanavo
