// Carrier emoji through the program: the carrier setting kept in the settings
// file, the data display's marks and count, and what render and the export
// write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/data_display.h"
#include "app/display_window.h"
#include "cli/cli.h"
#include "display/render.h"
#include "export_support.h"
#include "extract/carrier_choice.h"
#include "files/extraction_file.h"
#include "index/index_creation.h"
#include "mime/full_choice.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

const std::string kSun = "\xE2\x98\x80";       // ☀
const std::string kWarning = "\xE2\x9A\xA0";   // ⚠
const std::string kKeycap5 = "5\xE2\x83\xA3";  // 5 and the combining keycap

struct CarrierApp : FakeApp {
  MemoryWindow& Display() { return Win(kDisplayWindowClass); }
  // Each text a record <R>...</R>, read whole by the Data entry "Text" (or,
  // for mails, by the Subject and Body entries in full mode).
  void Load(const std::vector<std::string>& texts, CarrierSetting setting, bool mail = false) {
    std::string dump;
    for (const std::string& t : texts) dump += "<R>\r\n" + t + "</R>\r\n";
    app.state.mobileFile = dump;
    const TagDefinition record = Def("D_SET", "REC", "<R>", "</R>");
    std::vector<TagDefinition> table = {record};
    if (mail) {
      for (const char* name : {"Subject", "Body"}) {
        TagDefinition e = Def("Data", name, "<R>\r\n", "</R>");
        SetFullMimeEntry(e, true);
        table.push_back(e);
      }
      app.display.layoutText = "??Subject??|??Body??";
      app.display.listLineTemplate = "??Subject??";
    } else {
      table.push_back(Item("Text", "<R>\r\n", "</R>"));
      app.display.layoutText = "??Text??";
      app.display.listLineTemplate = "??Text??";
    }
    table.push_back(record);
    SetTable(app.extraction, table);
    if (setting != CarrierSetting::Auto) {
      ASSERT_TRUE(SetCarrierSetting(app.extraction, setting));
    }
    ASSERT_EQ(CreateIndex(app), 0);
  }
};

// The evidence on disk with its index, as tanavo-cli reads it; the index
// settings file's path.
std::string WriteIndexed(const CarrierApp& f, const fs::path& dir) {
  WriteEvidence(f.app, dir, "m");
  const std::string ini = (dir / "m.ini").string();
  std::string out, err;
  EXPECT_EQ(RunCli({"index", (dir / "m.dat").string(), (dir / "m.kta").string(), (dir / "m.kdp").string(), ini},
                   nullptr, &out, &err),
            kExitOk)
      << err;
  return ini;
}

std::string ReadMail(const std::string& name) {
  std::ifstream in(std::string(TANAVO_SOURCE_DIR) + "/tests/data/mail/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The sun in each carrier's codes, and F98B, docomo's keycap 5 and
// SoftBank's sun, by the setting: the record text keeps the bytes, the data
// display shows the mark counted, --utf8 render and the export's UTF-8 files
// the character, Shift_JIS render the mark, the record file the bytes.
TEST(CarrierDisplay, TheSettingReadsTheCodesAsItsCarriers) {
  const struct {
    CarrierSetting setting;
    std::string code, utf8, mark;
  } cases[] = {
      {CarrierSetting::Docomo, "\xF8\x9F", kSun, "〓[太陽]"},
      {CarrierSetting::Au, "\xF6\x60", kSun, "〓[太陽]"},
      {CarrierSetting::SoftBank, "\xF9\x8B", kSun, "〓[太陽]"},
      {CarrierSetting::Docomo, "\xF9\x8B", kKeycap5, "〓[囲み数字: 5]"},
  };
  const fs::path dir = FreshTestFolder("tanavo_carrier_display");
  for (const auto& c : cases) {
    const std::string what = CarrierSettingName(c.setting) + (" " + c.code);
    const std::string text = "a" + c.code + "b";
    CarrierApp f;
    f.Load({text}, c.setting);
    RenderedRecord r;
    ASSERT_EQ(ShowRecord(f.app, 1, &r), 0) << what;
    EXPECT_EQ(r.text, text) << what;
    EXPECT_EQ(f.Display().Text(kDispLayoutEdit), "a" + c.mark + "b") << what;
    EXPECT_EQ(f.Display().Text(kDispStatusText), "絵文字: 1") << what;

    fs::remove_all(dir / "out");
    const std::string ini = WriteIndexed(f, dir);
    std::string out, err;
    ASSERT_EQ(RunCli({"--utf8", "render", ini, "1"}, nullptr, &out, &err), kExitOk) << what << err;
    EXPECT_EQ(out, "a" + c.utf8 + "b") << what;
    ASSERT_EQ(RunCli({"--sjis", "render", ini, "1"}, nullptr, &out, &err), kExitOk) << what << err;
    EXPECT_EQ(out, "a" + c.mark + "b") << what;
    ASSERT_EQ(RunCli({"export", ini, (dir / "out").string()}, nullptr, &out, &err), kExitOk) << what << err;
    EXPECT_EQ(ReadBytes(dir / "out/records/0001/000001.txt"), text) << what;
    EXPECT_NE(ReadBytes(dir / "out/records.tsv").find("a" + c.utf8 + "b"), std::string::npos) << what;
    EXPECT_NE(ReadBytes(dir / "out/report/0001.html").find("a" + c.utf8 + "b"), std::string::npos) << what;
  }
  fs::remove_all(dir);
}

// With the carrier none, and with auto for a record that names no carrier,
// every output is as it was: the bytes, and no count.
TEST(CarrierDisplay, NoCarrierKeepsEveryByte) {
  const std::string text = "a\xF8\x9F\xF6\x60\xF9\x8B" "b";
  const fs::path dir = FreshTestFolder("tanavo_carrier_display");
  for (CarrierSetting setting : {CarrierSetting::None, CarrierSetting::Auto}) {
    CarrierApp f;
    f.Load({text, "From: a@docomo.ne.jp\r\n\xF8\x9F"}, setting);
    RenderedRecord r;
    ASSERT_EQ(ShowRecord(f.app, 1, &r), 0);
    EXPECT_EQ(r.carrier, Carrier::None);
    EXPECT_EQ(f.Display().Text(kDispLayoutEdit), text);
    EXPECT_EQ(f.Display().Text(kDispStatusText), "");
    const std::string ini = WriteIndexed(f, dir);
    std::string out, err;
    ASSERT_EQ(RunCli({"--sjis", "render", ini, "1"}, nullptr, &out, &err), kExitOk) << err;
    EXPECT_EQ(out, text);
    // A record naming docomo: read as docomo's under auto, never under none.
    ASSERT_EQ(ShowRecord(f.app, 2, &r), 0);
    EXPECT_EQ(r.carrier, setting == CarrierSetting::None ? Carrier::None : Carrier::Docomo);
    EXPECT_EQ(f.Display().Text(kDispStatusText), setting == CarrierSetting::None ? "" : "絵文字: 1");
  }
  fs::remove_all(dir);
}

// The real au mail: its sender names au, its subject's emoji in the mail's
// JIS (0xEB 0x59) is the warning sign.
TEST(CarrierDisplay, TheAuMailShowsItsEmoji) {
  const std::string mail = ReadMail("jpmobile-au-attached.eml");
  ASSERT_FALSE(mail.empty());
  CarrierApp f;
  f.Load({mail}, CarrierSetting::Auto, true);
  RenderedRecord r;
  ASSERT_EQ(ShowRecord(f.app, 1, &r), 0);
  EXPECT_EQ(r.carrier, Carrier::Au);
  EXPECT_EQ(r.text.substr(0, 8), "題名x\xEB\x59|");  // the evidence's bytes
  const std::string shown = f.Display().Text(kDispLayoutEdit);
  EXPECT_EQ(shown.substr(0, 14), "題名x〓[警告]|") << shown;
  std::size_t count = 0;
  EXPECT_EQ(MarkCarrierEmoji(r.text, Carrier::Au, &count), shown);
  EXPECT_GE(count, 2u);
  EXPECT_EQ(f.Display().Text(kDispStatusText), "絵文字: " + std::to_string(count));

  const fs::path dir = FreshTestFolder("tanavo_carrier_display");
  const std::string ini = WriteIndexed(f, dir);
  std::string out, err;
  ASSERT_EQ(RunCli({"--utf8", "render", ini, "1"}, nullptr, &out, &err), kExitOk) << err;
  EXPECT_EQ(out.substr(0, 10), "\xE9\xA1\x8C\xE5\x90\x8D" "x" + kWarning) << out;
  fs::remove_all(dir);
}

// The record list shows an emoji as the data display does, read with the
// record's carrier; the index keeps the list line's bytes.
TEST(CarrierDisplay, TheRecordListShowsTheMarks) {
  CarrierApp mail;
  mail.Load({ReadMail("jpmobile-au-attached.eml")}, CarrierSetting::Auto, true);
  OpenDataDisplay(mail.app);
  EXPECT_EQ(mail.Display().ListRow(kDispRecordList, 0), "(1)題名x〓[警告]");
  EXPECT_EQ(mail.app.index.lines[1], "題名x\xEB\x59");

  const std::string sun = "a\xF8\x9F";
  const struct {
    CarrierSetting setting;
    std::string first, second;  // rows of a record naming no carrier and of one naming SoftBank
  } cases[] = {
      {CarrierSetting::Docomo, "(1)a〓[太陽]", "(2)a〓[太陽]"},  // the record names SoftBank
      {CarrierSetting::Auto, "(1)" + sun, "(2)a〓[太陽]"},
      {CarrierSetting::None, "(1)" + sun, "(2)a\xF9\x8B"},
  };
  for (const auto& c : cases) {
    CarrierApp f;
    f.Load({sun, "a\xF9\x8B\r\nFrom: b@i.softbank.jp"}, c.setting);
    OpenDataDisplay(f.app);
    EXPECT_EQ(f.Display().ListRow(kDispRecordList, 0), c.first) << CarrierSettingName(c.setting);
    EXPECT_EQ(f.Display().ListRow(kDispRecordList, 1).substr(0, c.second.size()), c.second)
        << CarrierSettingName(c.setting);
    EXPECT_EQ(f.app.index.lines[1], sun);
  }
}

// The setting lives in the record entry's Japanese code pair: a settings
// file written before reads as auto and is written back byte for byte; a
// setting comes back from the file; the other entries are untouched.
TEST(CarrierDisplay, TheSettingIsKeptInTheSettingsFile) {
  const std::string old = ReadBytes(fs::path(TANAVO_SOURCE_DIR) / "samples/mail.kta");
  ASSERT_FALSE(old.empty());
  FakeApp f;
  ResetSettings(f.app.extraction);
  ASSERT_GT(ReadSettingsEntries(f.app, old), 0);
  EXPECT_EQ(CarrierSettingOf(f.app.extraction), CarrierSetting::Auto);
  auto encoded = [&] {
    std::string kta;
    for (int i = 0; i < UsedCount(f.app.extraction); ++i) kta += EncodeEntry(f.app.extraction.entries[i]);
    return kta;
  };
  EXPECT_EQ(encoded(), old);

  for (CarrierSetting s : {CarrierSetting::Docomo, CarrierSetting::Au, CarrierSetting::SoftBank, CarrierSetting::None,
                           CarrierSetting::Auto}) {
    ASSERT_TRUE(SetCarrierSetting(f.app.extraction, s));
    const std::string saved = encoded();
    FakeApp g;
    ResetSettings(g.app.extraction);
    ASSERT_GT(ReadSettingsEntries(g.app, saved), 0);
    EXPECT_EQ(CarrierSettingOf(g.app.extraction), s) << CarrierSettingName(s);
    // Only the first entry's (the record's) charset pair differs.
    EXPECT_EQ(saved.substr(kEntryBytes), old.substr(kEntryBytes)) << CarrierSettingName(s);
  }
  EXPECT_EQ(encoded(), old);  // back to auto: as it was

  ExtractionSettings none;
  ResetSettings(none);
  EXPECT_FALSE(SetCarrierSetting(none, CarrierSetting::Au));  // no record entry to keep it
}

}  // namespace
}  // namespace tanavo
