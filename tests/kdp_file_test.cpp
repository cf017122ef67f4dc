#include <gtest/gtest.h>

#include <string>

#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

const char kPath[] = "D:\\work\\mail.kdp";
// "??From??" in Base64, CR LF, and one 0x00 byte in Base64.
const std::string kFromFile = "Pz9Gcm9tPz8=\r\nAA==";

struct KdpApp : FakeApp {
  MemoryWindow& Editor() { return Win(kDisplayWindowClass); }
  void Load(const std::string& path) {
    platform.dialogAnswers.push_back(path);
    LoadDisplaySettings(app);
  }
};

TEST(KdpFileFormat, WritesTheTemplateLineEndAndTerminatedLayout) {
  EXPECT_EQ(BuildDisplaySettingsFile("??From??", ""), kFromFile);
  // 0x00 bytes of the template are dropped; the layout keeps its line ends.
  EXPECT_EQ(BuildDisplaySettingsFile("a\0b"s, "Line1\r\nLine2 ??Body??\r\n"),
            "YWI=\r\nTGluZTENCkxpbmUyID8/Qm9keT8/DQoA");
  // An empty template gives an empty first line; the second part is never empty.
  EXPECT_EQ(BuildDisplaySettingsFile("", ""), "\r\nAA==");
  EXPECT_EQ(BuildDisplaySettingsFile("表\x8e\xa6", ""), "lVyOpg==\r\nAA==");
}

TEST(KdpFileFormat, ParsesBothPartsAndDropsNulBytes) {
  DisplaySettingsTexts t;
  ASSERT_TRUE(ParseDisplaySettingsFile(kFromFile, &t));
  EXPECT_EQ(t.listLineTemplate, "??From??");
  EXPECT_EQ(t.layoutText, "");

  ASSERT_TRUE(ParseDisplaySettingsFile("YWI=\r\nTGluZTENCkxpbmUyID8/Qm9keT8/DQoA", &t));
  EXPECT_EQ(t.listLineTemplate, "ab");
  EXPECT_EQ(t.layoutText, "Line1\r\nLine2 ??Body??\r\n");

  // Written and read back: whatever the texts, only their 0x00 bytes are lost.
  std::string layout = "x\0y\r\n\x95\x5c\xff"s;
  ASSERT_TRUE(ParseDisplaySettingsFile(BuildDisplaySettingsFile("\0??A??\0"s, layout), &t));
  EXPECT_EQ(t.listLineTemplate, "??A??");
  EXPECT_EQ(t.layoutText, "xy\r\n\x95\x5c\xff");
}

TEST(KdpFileFormat, SecondPartBrokenOverLinesReadsTheSame) {
  DisplaySettingsTexts whole, broken;
  ASSERT_TRUE(ParseDisplaySettingsFile("YWI=\r\nTGluZTENCkxpbmUyID8/Qm9keT8/DQoA", &whole));
  ASSERT_TRUE(ParseDisplaySettingsFile("YWI=\r\nTGluZTEN\r\nCkxpbmUy\r\nID8/Qm9k\neT8/DQoA\r\n", &broken));
  EXPECT_EQ(broken.listLineTemplate, whole.listLineTemplate);
  EXPECT_EQ(broken.layoutText, whole.layoutText);
}

TEST(KdpFileFormat, WithoutACrLfPairThereIsNoParse) {
  DisplaySettingsTexts t{"kept", "kept too"};
  EXPECT_FALSE(ParseDisplaySettingsFile("", &t));
  EXPECT_FALSE(ParseDisplaySettingsFile("Pz9Gcm9tPz8=", &t));
  EXPECT_FALSE(ParseDisplaySettingsFile("Pz9Gcm9tPz8=\nAA==\r", &t));  // bare LF, then a lone CR
  EXPECT_EQ(t.listLineTemplate, "kept");
  EXPECT_EQ(t.layoutText, "kept too");
}

TEST(KdpLoad, ReadsTheChosenFileAndNamesItInTheStatusBar) {
  KdpApp f;
  f.platform.files[kPath] = kFromFile;
  f.app.display.layoutText = "old layout";
  f.Load(kPath);
  EXPECT_EQ(f.app.display.listLineTemplate, "??From??");
  EXPECT_EQ(f.app.display.layoutText, "");
  EXPECT_EQ(f.app.display.mode.Text(), "DISP");  // loading leaves the mode alone
  EXPECT_EQ(f.platform.status[4], "表示: mail.kdp");
  EXPECT_EQ(f.platform.status[0], "");
  EXPECT_EQ(f.app.state.displayFilePath.folder, "D:\\work");
  EXPECT_TRUE(f.platform.boxes.empty());

  ASSERT_EQ(f.platform.dialogs.size(), 1u);
  const RecordedDialog& d = f.platform.dialogs[0];
  EXPECT_FALSE(d.save);
  EXPECT_EQ(d.decl.title, "表示設定ファイルを開く");
  ASSERT_EQ(d.decl.filters.size(), 2u);
  EXPECT_EQ(d.decl.filters[0].label, "表示設定ファイル(*.kdp)");
  EXPECT_EQ(d.decl.filters[0].pattern, "*.kdp");
  EXPECT_EQ(d.decl.filters[1].pattern, "*");
  EXPECT_EQ(d.decl.filterIndex, 1);
  EXPECT_EQ(d.decl.defaultExtension, "*");
}

TEST(KdpLoad, CancelOrFailureChangesNothingButThePath) {
  KdpApp f;
  f.app.display.listLineTemplate = "T";
  f.app.display.layoutText = "L";
  f.platform.dialogAnswers.push_back(std::nullopt);
  LoadDisplaySettings(f.app);
  EXPECT_TRUE(f.platform.boxes.empty());
  EXPECT_EQ(f.app.state.displayFilePath.baseName, "");

  f.Load("D:\\gone.kdp");  // not there
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルオープンに失敗");
  EXPECT_EQ(f.platform.boxes[0].caption, "表示設定読込");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::Main);
  EXPECT_EQ(f.platform.boxes[0].icon, BoxIcon::Warning);
  // The failed file is remembered, so that the next index names it.
  EXPECT_EQ(f.app.state.displayFilePath.baseName, "gone");
  EXPECT_EQ(f.app.display.listLineTemplate, "T");
  EXPECT_EQ(f.app.display.layoutText, "L");
  EXPECT_EQ(f.platform.status[4], "");

  f.platform.files["D:\\huge.kdp"] = "";
  f.platform.tooLarge.insert("D:\\huge.kdp");
  f.Load("D:\\huge.kdp");
  ASSERT_EQ(f.platform.boxes.size(), 2u);
  EXPECT_EQ(f.platform.boxes[1].caption, "表示設定読込");
  EXPECT_EQ(f.app.display.listLineTemplate, "T");
}

TEST(KdpLoad, DamagedFileGivesGarbledTextsWithoutAMessage) {
  KdpApp f;
  // Bytes outside the alphabet are skipped: "Pz9G" "cm9t" survive the noise.
  f.platform.files[kPath] = "Pz!9G\x82\xa0@cm9t\r\n*A#A==\xff";
  f.Load(kPath);
  EXPECT_TRUE(f.platform.boxes.empty());
  EXPECT_EQ(f.app.display.listLineTemplate, "??From");
  EXPECT_EQ(f.app.display.layoutText, "");
  EXPECT_EQ(f.platform.status[0], "");
}

TEST(KdpLoad, FileWithoutCrLfKeepsTheSettingsAndSaysSo) {
  KdpApp f;
  f.app.display.listLineTemplate = "T";
  f.app.display.layoutText = "L";
  for (const std::string& bytes : {""s, "Pz9Gcm9tPz8="s}) {
    f.platform.boxes.clear();
    f.platform.files[kPath] = bytes;
    f.Load(kPath);
    EXPECT_EQ(f.app.display.listLineTemplate, "T");
    EXPECT_EQ(f.app.display.layoutText, "L");
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].caption, "警告");
    EXPECT_EQ(f.platform.boxes[0].text, "表示設定ファイルではありません!!");
    EXPECT_EQ(f.platform.status[0], "");
  }
}

TEST(KdpSave, WritesTheEditorTextsAndTakesThemOver) {
  KdpApp f;
  f.app.displayWindow->ShowEditor();
  f.Editor().Type(kDispTemplateEdit, "??From??");
  f.Editor().Type(kDispLayoutEdit, "");
  f.platform.dialogAnswers.push_back(std::string(kPath));
  f.Editor().Click(kDispSave);
  EXPECT_EQ(f.platform.files[kPath], kFromFile);
  EXPECT_EQ(f.app.display.listLineTemplate, "??From??");
  EXPECT_EQ(f.platform.status[4], "表示: mail.kdp");
  EXPECT_EQ(f.app.state.displayFilePath.baseName, "mail");
  EXPECT_TRUE(f.Editor().WindowHasFocus());
  ASSERT_EQ(f.platform.dialogs.size(), 1u);
  EXPECT_TRUE(f.platform.dialogs[0].save);
  EXPECT_EQ(f.platform.dialogs[0].decl.title, "表示設定ファイルの保存");

  // And back: the saved file loads as it was typed.
  f.app.display.listLineTemplate.clear();
  f.Load(kPath);
  EXPECT_EQ(f.app.display.listLineTemplate, "??From??");
  EXPECT_EQ(f.app.display.layoutText, "");
}

TEST(KdpSave, CancelWritesNothingAndFailureIsReported) {
  KdpApp f;
  f.app.displayWindow->ShowEditor();
  f.Editor().Type(kDispTemplateEdit, "new");
  f.platform.dialogAnswers.push_back(std::nullopt);
  f.Editor().Click(kDispSave);
  EXPECT_EQ(f.platform.writes, 0);
  EXPECT_EQ(f.app.display.listLineTemplate, "");  // not taken over by a cancelled save

  f.platform.files[kPath] = kFromFile;
  f.platform.unwritable.insert(kPath);
  f.platform.dialogAnswers.push_back(std::string(kPath));
  f.Editor().Click(kDispSave);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルオープンに失敗");
  EXPECT_EQ(f.platform.boxes[0].caption, "表示設定保存");
  EXPECT_EQ(f.platform.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(f.platform.files[kPath], kFromFile);       // the old file is whole
  EXPECT_EQ(f.app.display.listLineTemplate, "new");    // the texts were taken over
}

TEST(KdpSave, LoadWhileEditingIsOverwrittenByTheCloseButton) {
  KdpApp f;
  f.app.displayWindow->ShowEditor();
  f.Editor().Type(kDispTemplateEdit, "typed");
  f.platform.files[kPath] = kFromFile;
  f.Load(kPath);
  EXPECT_EQ(f.app.display.listLineTemplate, "??From??");
  EXPECT_EQ(f.Editor().Text(kDispTemplateEdit), "typed");  // the editor is not refreshed
  f.Editor().Click(kDispClose);
  EXPECT_EQ(f.app.display.listLineTemplate, "typed");
}

}  // namespace
}  // namespace tanavo
