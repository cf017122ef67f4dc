#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "files/mobile_file.h"
#include "text/path.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/index_creation.h"
#include "index/index_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

const char kMobilePath[] = "D:\\work\\phone.dat";
const char kKtaPath[] = "D:\\work\\mail.kta";
const char kKdpPath[] = "D:\\work\\mail.kdp";
const char kIndexPath[] = "D:\\work\\phonedat.ini";
const std::string kMobile = "<R>F:one\r\n</R>\r\n<R>F:two\r\n</R>";

std::string Kta() {
  return EncodeEntry(Def("D_SET", "MAIL", "<R>", "</R>")) + EncodeEntry(Item("From", "F:", "\r\n")) +
         EncodeEntry(Def("D_SET", "MAIL", "<R>", "</R>"));
}

// Three files on the fake disk, loaded with their menu commands.
struct IndexFileApp : FakeApp {
  IndexFileApp() {
    platform.files[kMobilePath] = kMobile;
    platform.files[kKtaPath] = Kta();
    platform.files[kKdpPath] = BuildDisplaySettingsFile("[??From??]", "layout ??From??");
  }
  void LoadAll() {
    platform.dialogAnswers = {kMobilePath};
    OpenMobileFileCommand();
    platform.dialogAnswers = {kKtaPath};
    LoadExtractionSettings(app);
    platform.dialogAnswers = {kKdpPath};
    LoadDisplaySettings(app);
  }
  void OpenMobileFileCommand() { Win(kMainWindowClass).MenuCommand(1047); }
  int LoadIndex(const std::string& path) {
    platform.dialogAnswers = {path};
    platform.boxes.clear();
    return LoadIndexFileCommand(app) == IndexFileStatus::Done ? 0 : 1;
  }
};

const std::string kTwoRecordFile =
    "((D:\\work\\phone.dat))\r\n((D:\\work\\mail.kta))\r\n((D:\\work\\mail.kdp))\r\n((2))\r\n"
    "((1))[one][[1]]\r\n((2))[two][[17]]\r\n";

TEST(IndexFile, CreatedIndexIsSavedAsMarkedLines) {
  IndexFileApp f;
  f.LoadAll();
  f.platform.dialogAnswers = {kIndexPath};
  ASSERT_EQ(CreateAndSaveIndex(f.app), IndexFileStatus::Done);
  EXPECT_EQ(f.platform.files[kIndexPath], kTwoRecordFile);
  EXPECT_EQ(f.platform.status[5], "ｲﾝﾃﾞｯｸｽ: phonedat.ini");
  EXPECT_EQ(f.platform.status[0], "");
  EXPECT_EQ(f.platform.status[1], "");
  // Each record line is counted while the text is built.
  bool counted = false;
  for (const auto& s : f.platform.statusLog) counted = counted || s == std::make_pair(1, std::string("2/2件目"));
  EXPECT_TRUE(counted);
}

TEST(IndexFile, LoadRestoresTheIndexAndReloadsTheThreeFiles) {
  IndexFileApp f;
  f.platform.files[kIndexPath] = kTwoRecordFile;
  ASSERT_EQ(f.LoadIndex(kIndexPath), 0);
  EXPECT_TRUE(f.platform.boxes.empty());
  EXPECT_EQ(f.app.index.count, 2);
  EXPECT_EQ(f.app.index.positions[2], 17);
  EXPECT_EQ(f.app.index.lines[1], "[one]");
  EXPECT_EQ(f.app.state.mobileFile, kMobile);
  EXPECT_EQ(f.app.extraction.entries[1].name, "From");
  EXPECT_EQ(f.app.display.listLineTemplate, "[??From??]");
  EXPECT_EQ(f.Win(kMainWindowClass).Text(kRawTextView), kMobile);
  EXPECT_TRUE(f.Win(kMainWindowClass).HasFocus(kRawTextView));
  const std::string parts[] = {"", "", "携帯: phone.dat", "抽出: mail.kta", "表示: mail.kdp", "ｲﾝﾃﾞｯｸｽ: phonedat.ini"};
  for (int i = 0; i < kStatusParts; ++i) EXPECT_EQ(f.platform.status[i], parts[i]) << i;
  ASSERT_FALSE(f.platform.dialogs.empty());
  EXPECT_EQ(f.platform.dialogs.back().decl.title, "インデックスファイルを開く");
  EXPECT_EQ(f.platform.dialogs.back().decl.fileName, ".ini");  // no mobile file was loaded
}

TEST(IndexFile, TextRoundTripKeepsCountPositionsAndLines) {
  RecordIndex index;
  index.count = 3;
  const std::string lines[] = {"", "first\r\nsecond line", "", "third ((x)) ]] end"};
  for (int n = 1; n <= 3; ++n) {
    index.lines[n] = lines[n];
    index.positions[n] = n * 1000 + 1;
  }
  const IndexFilePaths paths{"D:\\a\\p.dat", "\\.", "C:\\x.y\\k.kdp"};
  IndexFilePaths readPaths;
  RecordIndex read;
  IndexTextNotes notes = ReadIndexFileText(BuildIndexFileText(paths, index), &readPaths, &read);
  EXPECT_FALSE(notes.truncated || notes.overCapacity);
  EXPECT_EQ(readPaths.mobile, paths.mobile);
  EXPECT_EQ(readPaths.extraction, paths.extraction);
  EXPECT_EQ(readPaths.display, paths.display);
  ASSERT_EQ(read.count, 3);
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ(read.lines[n], lines[n]) << n;
    EXPECT_EQ(read.positions[n], n * 1000 + 1) << n;
  }
  // An empty index is its four header lines.
  RecordIndex empty;
  EXPECT_EQ(BuildIndexFileText(paths, empty), "((D:\\a\\p.dat))\r\n((\\.))\r\n((C:\\x.y\\k.kdp))\r\n((0))\r\n");
}

TEST(IndexFile, ReadsWhatTheMarkersGiveAndNothingPastTheIndex) {
  struct ReadCase {
    const char* what;
    std::string text;
    int32_t count;
    std::string line1;
    int32_t position1;
    bool truncated, overCapacity;
    bool damaged;
  };
  std::string many = "((a))((b))((c))((&H9C5))";  // 2501
  for (int n = 1; n <= kIndexSlots + 1; ++n) many += "((" + std::to_string(n) + "))L[[" + std::to_string(n) + "]]";
  const ReadCase cases[] = {
      {"not an index file", "just some text\r\n", 0, "", 0, false, false, false},
      // The position is the number in the "[[" "]]" that ends the record line.
      {"a line holding [[ reads back whole", "((a))((b))((c))((1))((1))x[[y[[5]]", 1, "x[[y", 5, false, false, false},
      {"a line ending in ー (0x81 0x5B)", "((a))((b))((c))((2))((1))\x81\x5B[[7]]\r\n((2))\x81\x5B[[9]]\r\n", 2,
       "\x81\x5B", 7, false, false, false},
      {"a line holding ]] and a line end", "((a))((b))((c))((1))((1))a]]\r\nb[[1]]c]][[8]]\r\n", 1, "a]]\r\nb[[1]]c]]", 8,
       false, false, false},
      {"line ends of LF alone", "((a))((b))((c))((2))((1))x[[5]]\n((2))y[[6]]\n", 2, "x", 5, false, false, false},
      {"a cut file keeps the records read", "((a))((b))((c))((3))((1))x[[5]]((2))y[[6", 1, "x", 5, true, false, false},
      {"markers out of order", "((a))((b))((c))((2))((1[[5]]\r\n((2))))y[[6]]\r\n", 0, "", 0, false, false, true},
      {"a record without its number's end", "((a))((b))((c))((2))((1))x[[5]]\r\n((2y[[6]]", 1, "x", 5, false, false, true},
      {"negative count", "((a))((b))((c))((-4))((1))x[[5]]", 0, "", 0, false, false, false},
      {"huge position held at the end", "((a))((b))((c))((1))((1))x[[99999999999]]", 1, "x", INT32_MAX, false, false,
       false},
      {"more than the index holds", many, kIndexSlots, "L", 1, false, true, false},
  };
  for (const ReadCase& c : cases) {
    IndexFilePaths paths;
    RecordIndex index;
    IndexTextNotes notes = ReadIndexFileText(c.text, &paths, &index);
    EXPECT_EQ(index.count, c.count) << c.what;
    EXPECT_EQ(index.lines[1], c.line1) << c.what;
    EXPECT_EQ(index.positions[1], c.position1) << c.what;
    EXPECT_EQ(notes.truncated, c.truncated) << c.what;
    EXPECT_EQ(notes.overCapacity, c.overCapacity) << c.what;
    EXPECT_EQ(notes.damaged, c.damaged) << c.what;
  }
}

TEST(IndexFile, FailureAtEachStepLeavesTheEarlierStepsDone) {
  struct StepCase {
    const char* missing;
    std::vector<std::string> boxes;  // caption: text
    bool mobileReloaded;
    std::string firstEntry;  // a failed settings step leaves the table empty
  };
  const StepCase cases[] = {
      {kMobilePath, {"インデックス読込: ファイルオープンに失敗"}, false, "OLD"},
      {kKtaPath, {"インデックス読込: ファイルオープンに失敗", "Error msg: 指定されたファイルが見つかりません。\r\n"}, true, ""},
      {kKdpPath, {"インデックス読込: ファイルオープンに失敗"}, true, "MAIL"},
  };
  for (const StepCase& c : cases) {
    IndexFileApp f;
    f.platform.files["D:\\old\\o.dat"] = "<R>F:old\r\n</R>";
    ASSERT_TRUE(LoadMobileFile(f.app, "D:\\old\\o.dat"));
    f.app.extraction.entries[0] = Def("D_SET", "OLD", "<R>", "</R>");
    f.app.display.listLineTemplate = "old template";
    f.platform.files[kIndexPath] = kTwoRecordFile;
    f.platform.files.erase(c.missing);
    EXPECT_EQ(f.LoadIndex(kIndexPath), 1) << c.missing;
    std::vector<std::string> boxes;
    for (const RecordedBox& b : f.platform.boxes) boxes.push_back(b.caption + ": " + b.text);
    EXPECT_EQ(boxes, c.boxes) << c.missing;
    // The index and the paths are replaced whatever follows.
    EXPECT_EQ(f.app.index.count, 2);
    EXPECT_EQ(f.app.state.displayFilePath.baseName, "mail");
    EXPECT_EQ(f.app.state.mobileFile, c.mobileReloaded ? kMobile : "<R>F:old\r\n</R>") << c.missing;
    EXPECT_EQ(f.app.extraction.entries[0].name, c.firstEntry) << c.missing;
    EXPECT_EQ(f.app.display.listLineTemplate, "old template") << c.missing;
    EXPECT_EQ(f.platform.status[0], "") << c.missing;
  }
}

// The file loaded before is let go before the index's file is read, so the
// two are never held at once: a file that is there but cannot be read leaves
// no mobile file (the index read is the new file's, not the old one's).
TEST(IndexFile, TheOldMobileFileGoesBeforeTheNewOneIsRead) {
  IndexFileApp f;
  f.platform.files["D:\\old\\o.dat"] = "<R>F:old\r\n</R>";
  ASSERT_TRUE(LoadMobileFile(f.app, "D:\\old\\o.dat"));
  f.platform.files[kIndexPath] = kTwoRecordFile;
  f.platform.unreadable.insert(kMobilePath);
  EXPECT_EQ(f.LoadIndex(kIndexPath), 1);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルオープンに失敗");
  EXPECT_EQ(f.app.state.mobileFile, "");
  EXPECT_EQ(f.app.index.count, 2);
}

TEST(IndexFile, SettingsNeverSavedStopTheLoadAtThatFile) {
  IndexFileApp f;
  f.platform.dialogAnswers = {kMobilePath};
  f.OpenMobileFileCommand();
  SetTable(f.app.extraction, {Def("D_SET", "MAIL", "<R>", "</R>"), Item("From", "F:", "\r\n"), Def("D_SET", "MAIL", "<R>", "</R>")});
  f.platform.dialogAnswers = {kKdpPath};
  LoadDisplaySettings(f.app);
  f.platform.dialogAnswers = {kIndexPath};
  ASSERT_EQ(CreateAndSaveIndex(f.app), IndexFileStatus::Done);
  EXPECT_NE(f.platform.files[kIndexPath].find("\r\n((\\.))\r\n"), std::string::npos);
  EXPECT_EQ(f.LoadIndex(kIndexPath), 1);
  ASSERT_EQ(f.platform.boxes.size(), 2u);
  EXPECT_EQ(f.platform.boxes[1].caption, "Error msg");
}

TEST(IndexFile, OpenAndWriteFailuresAreToldAndChangeNothing) {
  IndexFileApp f;
  f.app.index.count = 1;
  f.LoadIndex("D:\\none.ini");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "インデックス読込");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::Main);
  EXPECT_EQ(f.platform.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(f.app.index.count, 1);

  f.platform.boxes.clear();
  f.platform.unwritable.insert(kIndexPath);
  f.platform.dialogAnswers = {kIndexPath};
  EXPECT_EQ(SaveIndexFile(f.app), IndexFileStatus::Failed);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "インデックス保存");
  EXPECT_EQ(f.platform.status[5], "");  // never names a file that holds no index
}

// An index file naming its three files by paths given; the files it holds
// are those of kTwoRecordFile.
std::string IndexNaming(const std::string& mobile, const std::string& kta, const std::string& kdp) {
  return "((" + mobile + "))\r\n((" + kta + "))\r\n((" + kdp + "))\r\n((2))\r\n((1))[one][[1]]\r\n((2))[two][[17]]\r\n";
}

TEST(IndexFile, FilesNotAtTheirStoredPathAreLookedForAsTheyTravel) {
  struct TravelCase {
    const char* what;
    char separator;
    std::string indexPath;
    std::string storedFolder;  // the three files' folder as the index names it
    std::string foundFolder;   // where they are
  };
  const TravelCase cases[] = {
      {"made by tanavo-cli, read under Wine", '\\', "D:\\in\\x.ini", "/home/u/case", "Z:\\home\\u\\case"},
      {"made under Wine, read by tanavo-cli", '/', "/tmp/in/x.ini", "Z:\\home\\u\\case", "/home/u/case"},
      {"copied with the index file", '\\', "E:\\usb\\x.ini", "D:\\work", "E:\\usb"},
      {"copied with the index file from Wine", '/', "/media/usb/x.ini", "Z:\\home\\u\\表", "/media/usb"},
  };
  for (const TravelCase& c : cases) {
    FakeApp f;
    f.platform.separator = c.separator;
    const std::string sep(1, c.separator);
    const std::string storedSep = c.storedFolder[0] == '/' ? "/" : "\\";
    f.platform.files[c.foundFolder + sep + "phone.dat"] = kMobile;
    f.platform.files[c.foundFolder + sep + "mail.kta"] = Kta();
    f.platform.files[c.foundFolder + sep + "mail.kdp"] = BuildDisplaySettingsFile("[??From??]", "layout ??From??");
    const std::string index = IndexNaming(c.storedFolder + storedSep + "phone.dat", c.storedFolder + storedSep + "mail.kta",
                                          c.storedFolder + storedSep + "mail.kdp");
    f.platform.files[c.indexPath] = index;
    f.platform.dialogAnswers = {c.indexPath};
    ASSERT_EQ(LoadIndexFileCommand(f.app), IndexFileStatus::Done) << c.what;
    EXPECT_TRUE(f.platform.boxes.empty()) << c.what;
    EXPECT_EQ(f.app.index.count, 2) << c.what;
    EXPECT_EQ(f.app.state.mobileFile, kMobile) << c.what;
    EXPECT_EQ(f.app.extraction.entries[1].name, "From") << c.what;
    EXPECT_EQ(f.app.display.listLineTemplate, "[??From??]") << c.what;
    // The files are held by where they were found, and said so.
    EXPECT_EQ(f.app.state.mobileFilePath.folder, c.foundFolder) << c.what;
    // The mark before the name, where a narrow part never cuts it off; the
    // file used, whole, in the part's tip.
    EXPECT_EQ(f.platform.status[2], "携帯(別の場所): phone.dat") << c.what;
    EXPECT_EQ(f.platform.status[3], "抽出(別の場所): mail.kta") << c.what;
    EXPECT_EQ(f.platform.status[4], "表示(別の場所): mail.kdp") << c.what;
    EXPECT_EQ(f.platform.statusTip[2], "読み込んだファイル: " + c.foundFolder + sep + "phone.dat (記録されたパス: " +
                                           c.storedFolder + storedSep + "phone.dat)")
        << c.what;
    EXPECT_EQ(f.platform.statusTip[4], "読み込んだファイル: " + c.foundFolder + sep + "mail.kdp (記録されたパス: " +
                                           c.storedFolder + storedSep + "mail.kdp)")
        << c.what;
    ASSERT_EQ(f.platform.notes.size(), 3u) << c.what;
    EXPECT_EQ(f.platform.notes[0], c.storedFolder + storedSep + "phone.dat が開けないため、" + c.foundFolder + sep +
                                       "phone.dat を読み込みました")
        << c.what;
    // The index file is never rewritten for it.
    EXPECT_EQ(f.platform.files[c.indexPath], index) << c.what;
    EXPECT_EQ(f.platform.writes, 0) << c.what;
  }
}

TEST(IndexFile, TheStoredPathComesFirst) {
  IndexFileApp f;
  f.platform.files["D:\\in\\phone.dat"] = "a copy";
  f.platform.files["D:\\in\\x.ini"] = kTwoRecordFile;
  ASSERT_EQ(f.LoadIndex("D:\\in\\x.ini"), 0);
  EXPECT_EQ(f.app.state.mobileFile, kMobile);
  EXPECT_EQ(f.platform.status[2], "携帯: phone.dat");
  EXPECT_EQ(f.platform.statusTip[2], "");
  EXPECT_TRUE(f.platform.notes.empty());
}

TEST(IndexFile, AFileFoundNowhereIsNamedBesideItsBox) {
  IndexFileApp f;
  f.platform.files.erase(kKdpPath);
  f.platform.files[kIndexPath] = kTwoRecordFile;
  EXPECT_EQ(f.LoadIndex(kIndexPath), 1);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.notes, std::vector<std::string>{"開けなかったファイル: D:\\work\\mail.kdp"});
}

TEST(IndexFile, NetworkPathsAndWhatIsNoFileRefuseTheIndexFile) {
  const std::string network = "ネットワーク上のファイルを指しているため、このインデックスファイルは読み込みません!!\r\n";
  const std::string device =
      "通常のファイルでないもの(デバイス、パイプ等)を指しているため、このインデックスファイルは読み込みません!!\r\n";
  struct RefusalCase {
    char separator;
    std::string path;
    std::string text;
  };
  const RefusalCase cases[] = {
      {'\\', "\\\\host\\share\\phone.dat", network},
      {'\\', "//host/share/phone.dat", network},
      {'/', "//host/share/phone.dat", network},
      {'\\', "\\\\?\\UNC\\host\\share\\phone.dat", network},
      {'\\', "\\??\\UNC\\host\\share\\phone.dat", network},
      {'\\', "\\??\\GLOBALROOT\\Device\\Mup\\host\\share\\phone.dat", network},
      {'\\', "D:\\mapped\\phone.dat", network},  // a drive the system resolves to a share
      {'\\', "\\??\\C:\\work\\phone.dat", device},
      {'\\', "\\\\.\\pipe\\phone", device},
      {'\\', "D:\\work\\CON.txt", device},
      {'\\', "D:\\work\\com1 .dat", device},
      {'\\', "D:\\work\\conout$", device},
      {'\\', "D:\\work\\fifo.dat", device},  // on the disk, but no regular file
      {'/', "/tmp/fifo.dat", device},
  };
  for (const RefusalCase& c : cases) {
    for (int which = 0; which < 3; ++which) {
      IndexFileApp f;
      f.platform.separator = c.separator;
      f.platform.files[c.path] = "";
      f.platform.special = {"D:\\work\\fifo.dat", "/tmp/fifo.dat"};
      f.platform.remote = {"D:\\mapped\\phone.dat"};
      std::string named[] = {kMobilePath, kKtaPath, kKdpPath};
      named[which] = c.path;
      f.platform.files[kIndexPath] = IndexNaming(named[0], named[1], named[2]);
      f.app.index.count = 7;
      EXPECT_EQ(f.LoadIndex(kIndexPath), 1) << c.path;
      ASSERT_EQ(f.platform.boxes.size(), 1u) << c.path;
      EXPECT_EQ(f.platform.boxes[0].caption, "インデックス読込");
      EXPECT_EQ(f.platform.boxes[0].icon, BoxIcon::Warning);
      EXPECT_EQ(f.platform.boxes[0].text, c.text + c.path);
      // Refused before anything changed.
      EXPECT_EQ(f.app.index.count, 7) << c.path;
      EXPECT_EQ(f.app.state.mobileFilePath.baseName, "") << c.path;
      EXPECT_EQ(f.platform.status[5], "") << c.path;
    }
  }
  // Names that only look alike are files.
  for (const char* path : {"D:\\work\\console.dat", "D:\\work\\com10.dat", "D:\\work\\xcon.txt"}) {
    EXPECT_FALSE(NamesDevice(path, '\\')) << path;
  }
  EXPECT_FALSE(NamesDevice("/tmp/CON.txt", '/'));
}

TEST(IndexFile, HostileTextCostsNoMoreThanItsSize) {
  // Each record used to find the same distant "))" again and copy everything
  // up to it into its line.
  const std::string head = "((a))((b))((c))((2500))\r\n";
  std::string missingClose = head, outOfOrder = head;
  for (int n = 0; n < 2500; ++n) {
    missingClose += "[[1]]";
    outOfOrder += "((1)[[1]]\r\n";
  }
  const std::string far = "))" + std::string(100000, 'x') + "[[";
  for (const std::string& text : {missingClose + far, outOfOrder + far + "2]]"}) {
    IndexFilePaths paths;
    RecordIndex index;
    int calls = 0;
    ReadIndexFileText(text, &paths, &index, [&](int32_t, int32_t) { ++calls; });
    std::size_t bytes = 0;
    for (int n = 1; n <= index.count; ++n) bytes += index.lines[n].size();
    EXPECT_LE(bytes, text.size());
    EXPECT_LE(calls, 2);
  }
}

}  // namespace
}  // namespace tanavo
