// Quitting asks first when typed settings would be lost, and only then.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/main_window.h"
#include "app/menus.h"
#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "app/detail_window.h"
#include "app/extraction_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

const char kQuestion[] = "保存されていない変更があります。終了しますか?";

// Settings read from files, as a session starts.
void LoadBoth(FakeApp& f) {
  f.platform.files["C:\\w\\a.kta"] = EncodeEntry(Def("D_SET", "REC", "<R>", "</R>")) +
                                     EncodeEntry(Item("Name", "N:", "\r\n")) +
                                     EncodeEntry(Def("D_SET", "REC", "<R>", "</R>"));
  f.platform.files["C:\\w\\a.kdp"] = BuildDisplaySettingsFile("??Name??", "名前: ??Name??");
  f.platform.dialogAnswers = {std::string("C:\\w\\a.kta"), std::string("C:\\w\\a.kdp")};
  ASSERT_TRUE(LoadExtractionSettings(f.app));
  ASSERT_TRUE(LoadDisplaySettings(f.app));
}

TEST(ExitQuestion, AskedOnlyWhenSettingsWouldBeLost) {
  const struct {
    const char* what;
    std::function<void(FakeApp&)> setUp;
    bool asked;
  } cases[] = {
      {"fresh program", [](FakeApp&) {}, false},
      {"settings as read", [](FakeApp& f) { LoadBoth(f); }, false},
      {"a Data entry added",
       [](FakeApp& f) {
         LoadBoth(f);
         f.app.extractionWindow->Open();
         f.Win(kExtractionWindowClass).UserSelect(kExtList, 1);
         f.Win(kExtractionWindowClass).Click(kExtAddData);
       },
       true},
      {"a tag typed in the detail settings, not applied",
       [](FakeApp& f) {
         LoadBoth(f);
         f.app.extractionWindow->Open();
         f.Win(kExtractionWindowClass).UserSelect(kExtList, 1);
         f.Win(kExtractionWindowClass).Click(kExtDetails);
         f.Win(kDetailWindowClass).Type(kDetailRangeStart, "Name:");
       },
       true},
      {"layout typed in the display settings editor",
       [](FakeApp& f) {
         LoadBoth(f);
         f.app.mainWindow->OnCommand(kCmdDisplaySettings, 0);
         f.Win(kDisplayWindowClass).Type(kDispLayoutEdit, "??Name??");
       },
       true},
      {"display settings editor opened and left as it was",
       [](FakeApp& f) {
         LoadBoth(f);
         f.app.mainWindow->OnCommand(kCmdDisplaySettings, 0);
       },
       false},
  };
  for (const auto& c : cases) {
    for (BoxAnswer answer : {BoxAnswer::No, BoxAnswer::Yes}) {
      FakeApp f;
      c.setUp(f);
      f.platform.boxes.clear();
      f.platform.boxAnswers = {answer};
      f.app.mainWindow->OnCommand(kCmdExit, 0);
      const bool asked = !f.platform.boxes.empty();
      EXPECT_EQ(asked, c.asked) << c.what;
      if (asked) {
        EXPECT_EQ(f.platform.boxes.size(), 1u) << c.what;
        EXPECT_EQ(f.platform.boxes[0].text, kQuestion) << c.what;
        EXPECT_EQ(f.platform.boxes[0].buttons, BoxButtons::YesNo) << c.what;
      }
      EXPECT_EQ(f.Win(kMainWindowClass).Destroyed(), !c.asked || answer == BoxAnswer::Yes) << c.what;
    }
  }
}

}  // namespace
}  // namespace tanavo
