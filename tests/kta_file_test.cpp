#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "extract/kta_file.h"
#include "files/display_file.h"
#include "files/extraction_file.h"
#include "support/warning_recorder.h"
#include "test_support.h"

namespace tanavo {
namespace {

const char* kPath = "D:\\work\\phone.kta";

struct KtaApp : FakeApp {
  void Load(const std::string& path = kPath) {
    platform.dialogAnswers.push_back(path);
    LoadExtractionSettings(app);
  }
  void Save(const std::string& path = kPath) {
    platform.dialogAnswers.push_back(path);
    SaveExtractionSettings(app);
  }
  TagDefinition& E(int i) { return app.extraction.entries[i]; }
};

std::string Field(const std::string& value) { return value + std::string(kFieldBytes - value.size(), ' '); }

TEST(KtaFile, FieldEncodingExpandsSpacesPadsAndCuts) {
  EXPECT_EQ(EncodeFileField(""), std::string(50, ' '));
  EXPECT_EQ(EncodeFileField("Y"), "Y" + std::string(49, ' '));
  EXPECT_EQ(EncodeFileField(" "), "[SP]" + std::string(46, ' '));
  EXPECT_EQ(EncodeFileField("\r\n"), "\r\n" + std::string(48, ' '));
  const std::string fifty(50, 'x');
  EXPECT_EQ(EncodeFileField(fifty), fifty);
  EXPECT_FALSE(ExceedsFileField(fifty));
  // 48 bytes + one space expand to 52: the token is cut in two.
  const std::string cut = std::string(48, 'x') + " ";
  EXPECT_TRUE(ExceedsFileField(cut));
  EXPECT_EQ(EncodeFileField(cut), std::string(48, 'x') + "[S");
  EXPECT_EQ(DecodeFileField(EncodeFileField(cut)), std::string(48, 'x') + "[S");  // read back as text

  EXPECT_EQ(DecodeFileField(EncodeFileField("   ")), "   ");
  EXPECT_EQ(DecodeFileField("a b  c" + std::string(44, ' ')), "abc");  // raw spaces are padding
  EXPECT_EQ(DecodeFileField("ab"), "ab");                              // short at the end of a file
  EXPECT_EQ(DecodeFileField(std::string(50, 'y') + "zz"), std::string(50, 'y'));
}

TEST(KtaFile, EntryHasTheFileOrderOfFields) {
  TagDefinition e;
  e.kind = "Data";
  e.name = "Subject";
  e.rangeStartTag = "RS";
  e.rangeEndTag = "RE";
  e.dataTypeStartTag = "TS";
  e.dataTypeEndTag = "TE";
  e.encodingStartTag = "ES";
  e.encodingEndTag = "EE";
  e.japaneseCodeStartTag = "JS";
  e.japaneseCodeEndTag = "JE";
  e.contentStartTag = "CS";
  e.contentEndTag = "CE";
  e.lineEnd = "LE";
  e.nextLineHead = "NH";
  e.applyToMultiple = "Y";
  e.searchAfterPrevious = "N";
  const char* order[kFieldsPerEntry] = {"JE", "JS", "NH", "LE", "CE", "CS", "EE", "ES",
                                        "N",  "Y",  "Subject", "RE", "RS", "Data", "TE", "TS"};
  std::string expected;
  for (const char* v : order) expected += Field(v);
  EXPECT_EQ(EncodeEntry(e), expected);

  TagDefinition back;
  DecodeEntry(expected, back);
  EXPECT_EQ(EncodeEntry(back), expected);
  EXPECT_EQ(back.name, "Subject");
  EXPECT_EQ(back.dataTypeStartTag, "TS");
}

TEST(KtaFile, KindsAndFlagsOfOtherSpellingsSaveBackAsRead) {
  // What the walk reads as an unknown kind or an off flag is still written
  // back byte for byte.
  std::string bytes;
  for (const char* kind : {"data", "GROUP", "X"}) {
    std::string entry;
    for (int i = 0; i < kFieldsPerEntry; ++i) entry += Field(i == 13 ? kind : i == 8 ? "y" : i == 9 ? "1" : "v");
    bytes += entry;
  }
  for (std::size_t at = 0; at < bytes.size(); at += kEntryBytes) {
    TagDefinition e;
    DecodeEntry(std::string_view(bytes).substr(at, kEntryBytes), e);
    EXPECT_EQ(e.kind.Value(), EntryKind::Other);
    EXPECT_FALSE(e.applyToMultiple.Value());
    EXPECT_FALSE(e.searchAfterPrevious.Value());
    EXPECT_EQ(EncodeEntry(e), bytes.substr(at, kEntryBytes));
  }
}

TEST(KtaFile, SaveAndLoadRoundTripEveryByte) {
  KtaApp f;
  f.E(0) = Def("D_SET", "D_SET", "BEGIN:VMESSAGE\r\n", "END:VMESSAGE\r\n");
  TagDefinition& d = f.E(1);
  d.kind = "Data";
  d.name = "From Name";  // a space in a name
  d.rangeStartTag = "From: ";
  d.rangeEndTag = "\r\n";
  d.dataTypeStartTag = "*";
  d.dataTypeEndTag = "*";
  d.encodingStartTag = "\x1b$B";
  d.encodingEndTag = "\x1b(B";
  d.contentStartTag = "\t";
  d.contentEndTag = std::string(50, 'z');  // exactly a field
  d.lineEnd = " ";                          // spaces only
  d.nextLineHead = "  ";
  d.applyToMultiple = "Y";
  d.searchAfterPrevious = "N";
  f.E(2) = Def("D_SET", "D_SET", "BEGIN:VMESSAGE\r\n", "END:VMESSAGE\r\n");
  f.E(4).name = "lost";  // after the empty name: not saved
  const ExtractionSettings before = f.app.extraction;

  f.Save();
  ASSERT_EQ(f.platform.files.count(kPath), 1u);
  const std::string file = f.platform.files[kPath];
  ASSERT_EQ(file.size(), 3 * kEntryBytes);
  EXPECT_EQ(file.substr(kEntryBytes + 150, 50), "[SP]" + std::string(46, ' '));  // lineEnd
  EXPECT_EQ(file.substr(kEntryBytes + 200, 50), std::string(50, 'z'));          // contentEndTag
  EXPECT_TRUE(f.platform.boxes.empty());

  ResetSettings(f.app.extraction);
  f.Load();
  EXPECT_EQ(UsedCount(f.app.extraction), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(EncodeEntry(f.E(i)), EncodeEntry(before.entries[i])) << i;
  EXPECT_EQ(f.E(1).lineEnd, " ");
  EXPECT_EQ(f.E(1).nextLineHead, "  ");
  EXPECT_EQ(f.E(1).name, "From Name");
  EXPECT_EQ(f.E(1).encodingStartTag, "\x1b$B");
  EXPECT_EQ(f.E(0).rangeStartTag, "BEGIN:VMESSAGE\r\n");
  EXPECT_EQ(f.E(4).name, "");

  f.Save("D:\\work\\again.kta");
  EXPECT_EQ(f.platform.files["D:\\work\\again.kta"], file);
}

TEST(KtaFile, LoadReportsInTheStatusBarAndKeepsTheCounters) {
  KtaApp f;
  f.app.extraction.dsetPairCount = 1;
  f.app.extraction.groupCounter = 3;
  f.app.extraction.dataCounter = 7;
  f.E(5).name = "old";
  TagDefinition e = Def("Data", "X");
  f.platform.files[kPath] = EncodeEntry(e) + EncodeEntry(e);
  f.Load();
  ASSERT_EQ(f.platform.dialogs.size(), 1u);
  const FileDialogSpec& decl = f.platform.dialogs[0].decl;
  EXPECT_FALSE(f.platform.dialogs[0].save);
  EXPECT_EQ(decl.title, "抽出設定ファイルを開く");
  ASSERT_EQ(decl.filters.size(), 2u);
  EXPECT_EQ(decl.filters[0].label, "抽出設定ファイル(*.kta)");
  EXPECT_EQ(decl.filters[0].pattern, "*.kta");
  EXPECT_EQ(decl.filters[1].label, "すべてのファイル(*.*)");
  EXPECT_EQ(decl.filters[1].pattern, "*");
  EXPECT_EQ(decl.filterIndex, 1);
  EXPECT_EQ(decl.defaultExtension, "*");

  EXPECT_EQ(UsedCount(f.app.extraction), 2);
  EXPECT_EQ(f.E(5).name, "");  // the table was reset first
  EXPECT_EQ(f.platform.status[3], "抽出: phone.kta");
  EXPECT_EQ(f.platform.status[0], "");
  EXPECT_EQ(f.platform.status[1], "");
  EXPECT_EQ(f.app.state.extractionFilePath.folder, "D:\\work");
  EXPECT_EQ(f.app.state.extractionFilePath.baseName, "phone");
  EXPECT_EQ(f.app.extraction.dsetPairCount, 1);
  EXPECT_EQ(f.app.extraction.groupCounter, 3);
  EXPECT_EQ(f.app.extraction.dataCounter, 7);
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(KtaFile, ShortEmptyAndOversizedFiles) {
  KtaApp f;
  // One whole entry and 120 bytes: the second entry gets its first two
  // fields and part of the third; everything else is empty.
  f.platform.files[kPath] = EncodeEntry(Def("Data", "A")) + Field("JE") + Field("JS") + "NH";
  f.Load();
  EXPECT_EQ(UsedCount(f.app.extraction), 1);  // the second has no name
  EXPECT_EQ(f.E(1).japaneseCodeEndTag, "JE");
  EXPECT_EQ(f.E(1).japaneseCodeStartTag, "JS");
  EXPECT_EQ(f.E(1).nextLineHead, "NH");
  EXPECT_EQ(f.E(1).kind.Text(), "");

  f.platform.files[kPath] = "";
  f.Load();
  EXPECT_EQ(UsedCount(f.app.extraction), 0);
  EXPECT_EQ(f.E(1).japaneseCodeEndTag, "");
  EXPECT_EQ(f.platform.status[3], "抽出: phone.kta");
  EXPECT_TRUE(f.platform.boxes.empty());

  std::string big;
  for (int i = 0; i < kTagEntries + 1; ++i) big += EncodeEntry(Def("Data", "D" + std::to_string(i)));
  f.platform.files[kPath] = big;
  f.Load();
  EXPECT_EQ(UsedCount(f.app.extraction), kTagEntries);
  EXPECT_EQ(f.E(kTagEntries - 1).name, "D200");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_NE(f.platform.boxes[0].text.find("202件目以降は読み込みませんでした"), std::string::npos);
  EXPECT_EQ(f.platform.status[0], "");
  EXPECT_EQ(f.platform.status[1], "");
}

TEST(KtaFile, FailedOrCancelledLoadChangesNothing) {
  KtaApp f;
  f.E(0) = Def("Data", "Keep");
  f.platform.status[3] = "抽出: before.kta";
  f.platform.dialogAnswers.push_back(std::nullopt);
  LoadExtractionSettings(f.app);
  EXPECT_EQ(f.E(0).name, "Keep");
  EXPECT_TRUE(f.platform.boxes.empty());

  f.Load("D:\\missing.kta");
  EXPECT_EQ(f.E(0).name, "Keep");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルオープンに失敗");
  EXPECT_EQ(f.platform.boxes[0].caption, "TextEditor");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::Main);
  EXPECT_EQ(f.platform.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(f.platform.status[3], "抽出: before.kta");
  EXPECT_EQ(f.app.state.extractionFilePath.baseName, "");
}

TEST(KtaFile, SaveStatusDialogAndEmptyTable) {
  KtaApp f;
  f.Save("D:\\out\\empty.kta");
  EXPECT_EQ(f.platform.files["D:\\out\\empty.kta"], "");
  ASSERT_EQ(f.platform.dialogs.size(), 1u);
  EXPECT_TRUE(f.platform.dialogs[0].save);
  EXPECT_EQ(f.platform.dialogs[0].decl.title, "抽出設定ファイルの保存");
  EXPECT_EQ(f.platform.dialogs[0].decl.filters[0].pattern, "*.kta");
  EXPECT_EQ(f.platform.status[3], "抽出 : empty.kta");
  EXPECT_EQ(f.platform.status[0], "");
  EXPECT_EQ(f.platform.status[1], "");
  EXPECT_EQ(f.app.state.extractionFilePath.baseName, "empty");

  // Cancelled: nothing written, the preparation's texts stay.
  f.E(0) = Def("Data", "A");
  f.E(1) = Def("Data", "B");
  f.platform.dialogAnswers.push_back(std::nullopt);
  int writes = f.platform.writes;
  SaveExtractionSettings(f.app);
  EXPECT_EQ(f.platform.writes, writes);
  EXPECT_EQ(f.platform.status[0], "保存準備中");
  EXPECT_EQ(f.platform.status[1], "1/1件目");
}

TEST(KtaFile, SaveWarnsOfCutValuesAndReportsFailedWrites) {
  KtaApp f;
  f.E(0) = Def("Data", "Body");
  f.E(0).contentStartTag = std::string(40, 'c') + "   ";  // 52 bytes once expanded
  f.Save();
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  const RecordedBox& warn = f.platform.boxes[0];
  EXPECT_EQ(warn.caption, "警告");
  EXPECT_NE(warn.text.find("1件目 Body の コンテンツ（左）"), std::string::npos);
  // The file is still written, cut as the format has it.
  EXPECT_EQ(f.platform.files[kPath].substr(250, 50), std::string(40, 'c') + "[SP][SP]" + "[S");

  f.platform.boxes.clear();
  f.platform.status[3] = "抽出 : phone.kta";
  f.platform.unwritable.insert("D:\\ro\\x.kta");
  f.E(0).contentStartTag = "c";
  f.Save("D:\\ro\\x.kta");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルオープンに失敗");
  EXPECT_EQ(f.platform.boxes[0].caption, "TextEditor");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::Main);
  EXPECT_EQ(f.platform.files.count("D:\\ro\\x.kta"), 0u);
  EXPECT_EQ(f.platform.status[3], "抽出 : phone.kta");  // still names the file that holds the settings
  EXPECT_EQ(f.app.state.extractionFilePath.baseName, "phone");
}

TEST(SettingsWarnings, AreCodesToTheCallersReporterAndNoBox) {
  using Recorder = WarningRecorder<SettingsWarning, int64_t, std::string_view>;
  struct Case {
    const char* what;
    std::function<void(KtaApp&, Recorder&)> act;
    SettingsWarning code;
    const char* says;
  };
  const Case cases[] = {
      {"a .kta of one entry past the table",
       [](KtaApp& f, Recorder& w) {
         std::string big;
         for (int i = 0; i < kTagEntries + 1; ++i) big += EncodeEntry(Def("Data", "D"));
         ReadSettingsEntries(f.app, big, &w);
       },
       SettingsWarning::TooManyEntries, "202件目以降は読み込みませんでした"},
      {"a save of twelve over-long fields: ten named, two counted",
       [](KtaApp& f, Recorder& w) {
         for (int i = 0; i < kListedOverlongFields + 2; ++i) {
           f.E(i) = Def("Data", "D" + std::to_string(i + 1));
           f.E(i).contentStartTag = std::string(kFieldBytes + 1, 'c');
         }
         f.platform.dialogAnswers.push_back(std::nullopt);
         SaveExtractionSettings(f.app, &w);
       },
       SettingsWarning::OverlongFields, "\n10件目 D10 の コンテンツ（左）\nほか2件"},
      {"a .kdp without CR LF",
       [](KtaApp& f, Recorder& w) {
         f.platform.files["D:\\work\\x.kdp"] = "Pz9Gcm9tPz8=";
         EXPECT_EQ(LoadDisplayFile(f.app, "D:\\work\\x.kdp", &w), FileLoad::NotThisKind);
       },
       SettingsWarning::NotDisplaySettings, "表示設定ファイルではありません!!"},
  };
  for (const Case& c : cases) {
    KtaApp f;
    Recorder warnings;
    c.act(f, warnings);
    EXPECT_EQ(warnings.codes, std::vector<SettingsWarning>{c.code}) << c.what;
    if (!warnings.texts.empty()) {
      EXPECT_NE(warnings.texts[0].find(c.says), std::string::npos) << c.what;
    }
    EXPECT_TRUE(f.platform.boxes.empty()) << c.what;
  }
}

}  // namespace
}  // namespace tanavo
