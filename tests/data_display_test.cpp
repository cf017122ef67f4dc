#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "codec/codec.h"
#include "display/attachment.h"
#include "app/data_display.h"
#include "app/display_window.h"
#include "app/name_list_window.h"
#include "mail_records.h"

namespace tanavo {
namespace {

constexpr int kCmdDataDisplay = 1053;

const std::vector<Mail> kMails = {
    {"a@x", "plain", "first body", {}},
    {"b@y", "photos", "see attached", {{"one.jpg", "JPEG-1"}, {IsoWord(kJisPhoto) + ".jpg", "JPEG-2"}, {"empty.txt", ""}}},
    {"c@z", "last", "bye", {}},
};

struct DisplayApp : FakeApp {
  DisplayApp() { LoadMails(*this, kMails, "??Subject?? ??Body??"); }
  MemoryWindow& Display() { return Win(kDisplayWindowClass); }
  void Open() { Win(kMainWindowClass).MenuCommand(kCmdDataDisplay); }
  std::vector<std::string> Rows(int id) {
    std::vector<std::string> rows;
    for (int r = 0; r < Display().ListCount(id); ++r) rows.push_back(Display().ListRow(id, r));
    return rows;
  }
};

TEST(DataDisplay, OpensWithTheRecordListAndRecordOne) {
  DisplayApp f;
  for (int time = 0; time < 2; ++time) {  // opening again rebuilds the list
    f.Open();
    MemoryWindow& d = f.Display();
    EXPECT_TRUE(d.IsVisible());
    EXPECT_EQ(f.app.display.mode.Text(), "DISP");
    EXPECT_EQ(d.Text(kDispTitle), "データ表示");
    EXPECT_EQ(f.Rows(kDispRecordList), (std::vector<std::string>{"(1)plain", "(2)photos", "(3)last"}));
    EXPECT_EQ(d.ListSelection(kDispRecordList), -1);
    EXPECT_EQ(d.Text(kDispLayoutEdit), "plain first body");
    EXPECT_TRUE(d.HasFocus(kDispRecordList));
    for (int id : {kDispTitle, kDispClose, kDispRecordList, kDispLayoutEdit, kDispAttachmentLabel, kDispStatusText}) {
      EXPECT_TRUE(d.IsShown(id)) << id;
    }
    for (int id : {kDispSave, kDispTemplateEdit, kDispAttachmentList}) EXPECT_FALSE(d.IsShown(id)) << id;
  }
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(DataDisplay, TheRecordListAsksForItsRowsAndHoldsNone) {
  DisplayApp f;
  f.Open();
  MemoryWindow& d = f.Display();
  EXPECT_TRUE(d.Control(kDispRecordList).decl.style & kOwnerData);
  EXPECT_TRUE(d.Control(kDispRecordList).rows.empty());
  EXPECT_EQ(d.ListCount(kDispRecordList), 3);
  // Rows are read when asked for: a changed line shows at once.
  f.app.index.lines[2] = "changed";
  EXPECT_EQ(d.ListRow(kDispRecordList, 1), "(2)changed");
  // Nor are rows added to it one by one.
  d.ListAdd(kDispRecordList, "stray");
  EXPECT_EQ(d.ListCount(kDispRecordList), 3);
  // An index replaced by a shorter one while the list still shows the old
  // count: the rows past its end read as their number alone, nothing is
  // read past it.
  f.app.index.count = 1;
  EXPECT_EQ(d.ListRow(kDispRecordList, 2), "(3)");
  d.UserSelect(kDispRecordList, 2);
  EXPECT_EQ(d.ListSelection(kDispRecordList), 2);
  EXPECT_EQ(d.Text(kDispStatusText), "記録位置にレコードなし");
  d.ListSelect(kDispRecordList, 3);  // past the count: no selection
  EXPECT_EQ(d.ListSelection(kDispRecordList), -1);
}

TEST(DataDisplay, WithoutAnIndexWarnsAndStaysEmpty) {
  FakeApp f;
  f.app.display.layoutText = "x";
  f.Win(kMainWindowClass).MenuCommand(kCmdDataDisplay);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "インデックス・データがありません!!");
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_TRUE(f.Win(kDisplayWindowClass).IsVisible());
  EXPECT_EQ(f.Win(kDisplayWindowClass).ListCount(kDispRecordList), 0);
  EXPECT_EQ(f.Win(kDisplayWindowClass).Text(kDispLayoutEdit), "");
}

TEST(DataDisplay, SelectingRecordsShowsAttachmentsOnlyForMultipartMail) {
  DisplayApp f;
  f.Open();
  MemoryWindow& d = f.Display();
  d.UserSelect(kDispRecordList, 1);
  EXPECT_EQ(d.Text(kDispLayoutEdit), "photos see attached\r\n");
  EXPECT_TRUE(d.IsShown(kDispAttachmentList));
  EXPECT_EQ(d.Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_EQ(f.Rows(kDispAttachmentList), (std::vector<std::string>{"one.jpg", "写真.jpg", "empty.txt"}));
  d.UserSelect(kDispRecordList, 2);
  EXPECT_EQ(d.Text(kDispLayoutEdit), "last bye");
  EXPECT_FALSE(d.IsShown(kDispAttachmentList));
  EXPECT_EQ(d.Text(kDispAttachmentLabel), "");
}

TEST(DataDisplay, LeavingTheEditorKeepsWhatWasTypedThere) {
  DisplayApp f;
  f.Win(kMainWindowClass).MenuCommand(1057);  // the display settings editor
  f.Display().Type(kDispLayoutEdit, "typed ??From??");
  f.Open();
  EXPECT_EQ(f.app.display.layoutText, "typed ??From??");
  EXPECT_EQ(f.Display().Text(kDispLayoutEdit), "typed a@x");
  EXPECT_FALSE(f.Win(kNameListWindowClass).IsVisible());
}

TEST(DataDisplay, ResizeKeepsTheListTwoHundredHigh) {
  DisplayApp f;
  f.Open();
  f.Display().Resize(700, 500);
  EXPECT_EQ(f.Display().ControlRect(kDispRecordList).Height(), 200);
  EXPECT_EQ(f.Display().ControlRect(kDispLayoutEdit).Height(), 500 - 305);
  EXPECT_EQ(f.Display().ControlRect(kDispAttachmentList).top, 500 - 55);
}

struct AttachmentApp : DisplayApp {
  AttachmentApp() {
    Open();
    Display().UserSelect(kDispRecordList, 1);
  }
  void Choose(int row) { Display().UserSelect(kDispAttachmentList, row); }
};

TEST(OpenAttachment, WritesTheDecodedSlotOfTheRowAndOpensIt) {
  AttachmentApp f;
  f.Choose(0);
  EXPECT_EQ(f.platform.files["C:\\tanavo\\temp.jpg"], "JPEG-1");
  f.Choose(1);  // an encoded-word name gives the extension of its decoded name
  EXPECT_EQ(f.platform.files["C:\\tanavo\\temp.jpg"], "JPEG-2");
  f.Choose(2);
  EXPECT_EQ(f.platform.files["C:\\tanavo\\temp.txt"], "");
  EXPECT_EQ(f.platform.shellOpened,
            (std::vector<std::string>{"C:\\tanavo\\temp.jpg", "C:\\tanavo\\temp.jpg", "C:\\tanavo\\temp.txt"}));
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_EQ(f.Display().Text(kDispStatusText), "");
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(OpenAttachment, FailedWriteIsToldAndOpensNothing) {
  AttachmentApp f;
  f.platform.unwritable.insert("C:\\tanavo\\temp.jpg");
  f.Choose(0);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "添付ファイル保存");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::Main);
  EXPECT_TRUE(f.platform.shellOpened.empty());
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_EQ(f.Display().Text(kDispStatusText), "");
}

TEST(OpenAttachment, NamesFromMailNeverLeaveTheTemporaryFileName) {
  const std::pair<std::string, std::string> cases[] = {
      {"a.jpg/../../x", "bin"},  {"a.jpg:stream", "bin"}, {"a.jp\\g", "bin"},    {"noext", "bin"},
      {"a.", "bin"},             {"a.JPEG", "JPEG"},      {"a.pdf", "pdf"},      {"a.b12345678901234567", "bin"},
      {"a.b123456789012345", "b123456789012345"},         {"写真.\x95\x5c", "bin"}, {"a. jpg", "bin"},
  };
  for (const auto& [name, ext] : cases) EXPECT_EQ(TemporaryExtension(name, '\\'), ext) << name;
}

TEST(OpenAttachment, ProgramsAreWrittenButNotOpened) {
  for (const std::string name : {"setup.exe", "run.JS", "a.Lnk", "x.ps1"}) {
    FakeApp f;
    LoadMails(f, {{"a@x", "s", "b", {{name, "MZ"}}}}, "x");
    f.Win(kMainWindowClass).MenuCommand(kCmdDataDisplay);
    f.Win(kDisplayWindowClass).UserSelect(kDispAttachmentList, 0);
    const std::string path = "C:\\tanavo\\temp." + name.substr(name.rfind('.') + 1);
    EXPECT_EQ(f.platform.files[path], "MZ") << name;
    EXPECT_TRUE(f.platform.shellOpened.empty()) << name;
    ASSERT_EQ(f.platform.boxes.size(), 1u) << name;
    EXPECT_EQ(f.platform.boxes[0].caption, "警告");
    EXPECT_NE(f.platform.boxes[0].text.find(path), std::string::npos) << name;
  }
}

// The bytes decide with the name: a program named as a photo, and types a
// browser or mounter would take, are written and marked, never opened.
TEST(OpenAttachment, OnlyDocumentsThatAreNoProgramsAreOpened) {
  const std::pair<std::string, std::string> cases[] = {
      {"photo.jpg", "MZ\x90"},     {"photo.JPG", "#!/bin/sh\n"}, {"report.html", "<html>"},
      {"x.svg", "<svg/>"},          {"x.iso", "CD001"},            {"noext", "text"},
      {"a.txt", std::string("L\0\0\0\x01\x14\x02\0", 8)},
  };
  for (const auto& [name, bytes] : cases) {
    FakeApp f;
    LoadMails(f, {{"a@x", "s", "b", {{name, bytes}}}}, "x");
    f.Win(kMainWindowClass).MenuCommand(kCmdDataDisplay);
    f.Win(kDisplayWindowClass).UserSelect(kDispAttachmentList, 0);
    const std::string path = "C:\\tanavo\\temp." + TemporaryExtension(name, '\\');
    EXPECT_EQ(f.platform.files[path], bytes) << name;
    EXPECT_EQ(f.platform.markedFromInternet, std::vector<std::string>{path}) << name;
    EXPECT_TRUE(f.platform.shellOpened.empty()) << name;
    ASSERT_EQ(f.platform.boxes.size(), 1u) << name;
    EXPECT_EQ(f.platform.boxes[0].caption, "警告");
    EXPECT_NE(f.platform.boxes[0].text.find(path), std::string::npos) << name;
  }
  AttachmentApp f;
  f.Choose(0);
  EXPECT_EQ(f.platform.shellOpened, std::vector<std::string>{"C:\\tanavo\\temp.jpg"});
  EXPECT_EQ(f.platform.markedFromInternet, f.platform.shellOpened);
}

TEST(DecodeAttachment, GivesTheBytesOfBase64DecodingWithBoundedProgress) {
  std::string content;
  for (int i = 0; i < 200000; ++i) content += static_cast<char>("QUJD\r\n=?*a"[i % 10]);
  for (const std::string& text : {content, std::string("QUJD"), std::string("QQ=="), std::string("QUJDRA"),
                                  std::string("\r\n"), std::string()}) {
    std::vector<std::pair<int, std::size_t>> calls;
    std::size_t total1 = 0, total2 = 0;
    const std::string bytes = DecodeAttachment(text, [&](int phase, std::size_t at, std::size_t total) {
      calls.emplace_back(phase, at);
      (phase == 1 ? total1 : total2) = total;
    });
    EXPECT_EQ(bytes, DecodeBase64(text));
    EXPECT_LE(calls.size(), 2 * (text.size() / kProgressStepBytes) + 4);
    std::size_t kept = 0;
    for (char c : text) kept += TheBase64Alphabet().value[static_cast<unsigned char>(c)] >= 0;
    // The last value of each phase is the one a byte-by-byte count would end on.
    std::pair<int, std::size_t> last1{0, 0}, last2{0, 0};
    for (const auto& c : calls) (c.first == 1 ? last1 : last2) = c;
    if (!text.empty()) {
      EXPECT_EQ(last1, std::make_pair(1, text.size()));
      EXPECT_EQ(total1, text.size());
    }
    if (kept > 0) {
      EXPECT_EQ(last2, std::make_pair(2, (kept - 1) / 4 * 4 + 1));
    }
    EXPECT_EQ(total2, kept);
  }
}

TEST(SafeAttachmentName, NamesStayInsideTheFolder) {
  const std::pair<std::string, std::string> cases[] = {
      {"photo.jpg", "photo.jpg"},       {"../../etc/passwd", ".._.._etc_passwd"}, {"a\\b:c", "a_b_c"},
      {"", "attachment3"},              {".", "attachment3"},                    {"..", "attachment3"},
      {"x\r\ny\x01.txt", "x__y_.txt"},  {"a<b>|\"?*.jpg", "a_b_____.jpg"},       {"表.jpg", "表.jpg"},
      {"name. ", "name._"},             {"CON.txt", "_CON.txt"},                 {"com1", "_com1"},
  };
  for (const auto& [name, safe] : cases) {
    std::vector<std::string> taken;
    EXPECT_EQ(SafeAttachmentName(name, 3, &taken), safe) << name;
  }
  // Long names are cut before a short extension, never inside a character.
  std::string kanji;
  for (int i = 0; i < 50; ++i) kanji += "表";
  const std::pair<std::string, std::string> longNames[] = {
      {std::string(100, 'a') + ".jpg", std::string(76, 'a') + ".jpg"},
      {kanji + ".pdf", kanji.substr(0, 76) + ".pdf"},
      {"x" + kanji, "x" + kanji.substr(0, 78)},
      {"a." + std::string(90, 'b'), "a." + std::string(78, 'b')},
  };
  for (const auto& [name, safe] : longNames) {
    std::vector<std::string> taken;
    EXPECT_EQ(SafeAttachmentName(name, 1, &taken), safe) << name;
    EXPECT_LE(safe.size(), kMaxAttachmentNameBytes);
  }
  std::vector<std::string> taken;
  EXPECT_EQ(SafeAttachmentName("a.jpg", 1, &taken), "a.jpg");
  EXPECT_EQ(SafeAttachmentName("A.JPG", 2, &taken), "A (2).JPG");
  EXPECT_EQ(SafeAttachmentName("a.jpg", 3, &taken), "a (3).jpg");
  EXPECT_EQ(SafeAttachmentName(".hidden", 4, &taken), ".hidden");
}

}  // namespace
}  // namespace tanavo
