// Index creation and index file loading in the real windows: the three files
// loaded through the real dialogs, menu 1052 with its confirmation and save
// dialog, then menu 1050 in a fresh program.
#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "app/menus.h"
#include "gui_support.h"
#include "../support/entries.h"

namespace tanavo {
namespace gui {
namespace {


std::string Entry(const std::string& kind, const std::string& name, const std::string& start, const std::string& end) {
  TagDefinition d = Def(kind, name, start, end);
  if (kind == "Data") {
    d.contentStartTag = start;
    d.contentEndTag = end;
  }
  return EncodeEntry(d);
}

const std::string kMobile = "<R>F:一通目\r\n</R>\r\n<R>F:二通目\r\n</R>\r\n";

TEST(GuiIndex, CreateSaveThenLoadInAFreshProgram) {
  const std::string dir = TempFolder("index");
  const std::string ini = dir + "\\phonedat.ini";
  WriteBytes(dir + "\\phone.dat", kMobile);
  WriteBytes(dir + "\\mail.kta", Entry("D_SET", "MAIL", "<R>", "</R>") + Entry("Data", "From", "F:", "\r\n") +
                                     Entry("D_SET", "MAIL", "<R>", "</R>"));
  WriteBytes(dir + "\\mail.kdp", BuildDisplaySettingsFile("[??From    ??]", "??From??"));
  {
    GuiApp g;
    Responder r;
    g.LoadThreeFiles(r, dir + "\\phone.dat", dir + "\\mail.kta", dir + "\\mail.kdp");
    r.PressBox(IDOK, "index-confirmation");
    r.AnswerFile(ini);
    g.Command(kCmdCreateIndex);
    EXPECT_EQ(r.Pending(), 0);
    std::vector<SeenBox> boxes = r.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "注意");
    EXPECT_EQ(boxes[0].text, "処理に時間が掛かります．\r\n実行して宜しいですか？");
    std::vector<SeenBox> dialogs = r.FileDialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[3].caption, "インデックスファイルの保存");
    EXPECT_EQ(dialogs[3].text, "phonedat.ini");
    EXPECT_EQ(ReadBytes(ini), "((" + dir + "\\phone.dat))\r\n((" + dir + "\\mail.kta))\r\n((" + dir +
                                  "\\mail.kdp))\r\n((2))\r\n((1))[一通目      ][[1]]\r\n((2))[二通目      ][[20]]\r\n");
    EXPECT_EQ(g.StatusText(5), "ｲﾝﾃﾞｯｸｽ: phonedat.ini");
    // The coverage's summary once the index is saved.
    EXPECT_EQ(g.StatusText(0), "全2件 指摘なし");
    EXPECT_EQ(g.StatusText(1), "");
  }
  GuiApp g;
  Responder r;
  r.AnswerFile(ini);
  g.Command(kCmdLoadIndexFile);
  EXPECT_EQ(r.Pending(), 0);
  EXPECT_TRUE(r.Boxes().empty());
  EXPECT_EQ(g.app().index.count, 2);
  const std::string parts[] = {"", "", "携帯: phone.dat", "抽出: mail.kta", "表示: mail.kdp", "ｲﾝﾃﾞｯｸｽ: phonedat.ini"};
  for (int i = 0; i < kStatusParts; ++i) EXPECT_EQ(g.StatusText(i), parts[i]) << i;
  EXPECT_EQ(WindowText(g.ControlOf(kMainWindowClass, kRawTextView)), kMobile);
  Checkpoint("index-loaded");
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
