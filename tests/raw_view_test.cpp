// The raw view's UTF-8 choice: a converted copy on screen while the mobile
// file stays as read, the menu's check mark, and the choice remembered per
// file in the program folder's list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/data_display.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/raw_view.h"
#include "files/mobile_file.h"
#include "index/index_creation.h"
#include "platform/charset.h"
#include "test_support.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

constexpr char kList[] = "C:\\tanavo\\TanavoUtf8.cfg";
const std::string kUtf8File = "<R>\xE4\xBC\x8A\xE8\x97\xA4</R>\r\n<R>\xF0\x9F\x8E\x82</R>\r\n";  // 伊藤, a cake

struct SystemCharsetPlatform : FakePlatform {
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
};

struct RawApp {
  RawApp() : app(platform) { app.Start(); }
  SystemCharsetPlatform platform;
  App app;
  MemoryWindow& Main() { return *platform.WindowOf(kMainWindowClass); }
  std::string View() { return Main().Text(kRawTextView); }
  bool Checked() const { return platform.checkedMenus.count(kCmdRawUtf8) != 0; }
  void Load(const std::string& path) { ASSERT_TRUE(LoadMobileFile(app, path)); }
  void Toggle() { Main().MenuCommand(kCmdRawUtf8); }
};

TEST(RawViewUtf8, TheViewShowsAConvertedCopyAndTheFileStaysAsRead) {
  RawApp f;
  f.platform.files["D:\\e\\book.vcf"] = kUtf8File;
  f.platform.files["D:\\e\\other.dat"] = "abc";
  f.Load("D:\\e\\book.vcf");
  EXPECT_EQ(f.View(), kUtf8File);
  EXPECT_FALSE(f.Checked());

  f.Toggle();
  EXPECT_TRUE(f.Checked());
  EXPECT_EQ(f.View(), "<R>伊藤</R>\r\n<R>〓</R>\r\n");
  EXPECT_EQ(f.app.state.mobileFile, kUtf8File);  // tags are matched against these
  EXPECT_EQ(f.platform.files[kList], "Utf8View=D:\\E\\BOOK.VCF\r\n");

  // A record the data display shows is shown as its file is.
  const TagDefinition record = Def("D_SET", "R", "<R>", "</R>");
  SetTable(f.app.extraction, {record, Item("T", "<R>", "</R>"), record});
  f.app.display.listLineTemplate = "??T??";
  f.app.display.layoutText = "??T??";
  ASSERT_EQ(CreateIndex(f.app), 0);
  EXPECT_EQ(f.app.index.count, 2);
  ASSERT_EQ(ShowRecord(f.app, 1), 0);
  EXPECT_EQ(f.View(), "<R>伊藤</R>");
  f.Toggle();  // the record again, as its bytes
  EXPECT_EQ(f.View(), "<R>\xE4\xBC\x8A\xE8\x97\xA4</R>");
  EXPECT_EQ(f.platform.files[kList], "");
  f.Toggle();

  // Another file has its own choice; the first keeps its own.
  f.Load("D:\\e\\other.dat");
  EXPECT_FALSE(f.Checked());
  EXPECT_EQ(f.View(), "abc");
  f.platform.files["d:\\E\\Book.vcf"] = kUtf8File;
  f.Load("d:\\E\\Book.vcf");  // the same file, as the file system compares names
  EXPECT_TRUE(f.Checked());
  EXPECT_EQ(f.View(), "<R>伊藤</R>\r\n<R>〓</R>\r\n");
  EXPECT_TRUE(f.platform.boxes.empty());

  // The next run reads the list.
  RawApp next;
  next.platform.files = f.platform.files;
  next.Load("D:\\e\\book.vcf");
  EXPECT_TRUE(next.Checked());
  EXPECT_EQ(next.View(), "<R>伊藤</R>\r\n<R>〓</R>\r\n");
}

TEST(RawViewUtf8, WithoutAFileOrAListThatCanBeWritten) {
  RawApp f;
  f.Toggle();
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "携帯データを読み込んでください!!");
  EXPECT_FALSE(f.Checked());

  f.platform.files["D:\\a.txt"] = kUtf8File;
  f.platform.unwritable.insert(kList);
  f.Load("D:\\a.txt");
  f.Toggle();
  ASSERT_EQ(f.platform.boxes.size(), 2u);
  EXPECT_EQ(f.platform.boxes[1].text,
            "設定ファイル(TanavoUtf8.cfg)に書き込めません。UTF-8表示の選択は今回の実行中だけ有効です!!");
  f.platform.files["D:\\b.txt"] = "b";
  f.Load("D:\\b.txt");
  f.Load("D:\\a.txt");
  EXPECT_TRUE(f.Checked());  // held for this run
}

TEST(RawViewUtf8, TheListIsReadWithCare) {
  const std::string longKey(kMaxUtf8ViewKeyBytes + 1, 'A');
  const struct {
    const char* what;
    std::string text;
    std::vector<std::string> keys;
  } cases[] = {
      {"lines", "Utf8View=C:\\A\r\nUtf8View=C:\\B\nUtf8View=C:\\C", {"C:\\A", "C:\\B", "C:\\C"}},
      {"other lines", "MaxRecords=all\r\nutf8view=C:\\A\r\n\r\nUtf8View=\r\nUtf8View=C:\\B\r\n", {"C:\\B"}},
      {"control bytes", "Utf8View=C:\\\x01" "A\r\nUtf8View=C:\\\0B\r\nUtf8View=C:\\C\r\n"s, {"C:\\C"}},
      {"too long a key", "Utf8View=" + longKey + "\r\nUtf8View=C:\\B\r\n", {"C:\\B"}},
      {"repeated", "Utf8View=C:\\A\r\nUtf8View=C:\\A\r\n", {"C:\\A"}},
      {"too large a file", std::string(kMaxUtf8ViewListBytes + 1, 'x'), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadUtf8ViewList(c.text), c.keys) << c.what;

  std::vector<std::string> keys;
  for (std::size_t i = 0; i < kMaxUtf8ViewFiles + 5; ++i) keys = WithUtf8ViewFile(keys, "K" + std::to_string(i), true);
  ASSERT_EQ(keys.size(), kMaxUtf8ViewFiles);
  EXPECT_EQ(keys.front(), "K" + std::to_string(kMaxUtf8ViewFiles + 4));  // the last chosen first
  keys = WithUtf8ViewFile(keys, "K50", true);
  EXPECT_EQ(keys.front(), "K50");
  EXPECT_EQ(keys.size(), kMaxUtf8ViewFiles);
  keys = WithUtf8ViewFile(keys, "K50", false);
  EXPECT_EQ(keys.size(), kMaxUtf8ViewFiles - 1);
  EXPECT_EQ(ReadUtf8ViewList(Utf8ViewListText(keys)), keys);
  EXPECT_EQ(WithUtf8ViewFile({}, "C:\\\r\nX", true), std::vector<std::string>{});  // never a line of its own
}

}  // namespace
}  // namespace tanavo
