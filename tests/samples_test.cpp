// The bundled samples, read as the program reads them: every record walks to
// its items, every item decodes without a warning, attachments decode to the
// original files, and the display settings use padded placeholders.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/attachment_list.h"
#include "files/mobile_file.h"
#include "codec/codec.h"
#include "display/item_decoder.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "engine/walk.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "platform/console/utf8.h"
#include "test_support.h"

namespace tanavo {
namespace {

std::string SourceFile(const std::string& relative) {
  std::ifstream in(std::string(TANAVO_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// One record's decoded items: name to the values in walk order, and the
// attachments of its multipart items, decoded.
struct Record {
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::pair<std::string, std::string>> attachments;  // name, bytes
};

struct SampleApp : FakeApp {
  explicit SampleApp(const std::string& base) {
    platform.files["C:\\s\\" + base + ".dat"] = SourceFile("samples/" + base + ".dat");
    platform.files["C:\\s\\" + base + ".kta"] = SourceFile("samples/" + base + ".kta");
    EXPECT_TRUE(LoadMobileFile(app, "C:\\s\\" + base + ".dat"));
    platform.dialogAnswers.push_back("C:\\s\\" + base + ".kta");
    EXPECT_TRUE(LoadExtractionSettings(app));
  }

  std::vector<Record> Records() {
    std::vector<Record> out;
    ResetLastEnd(app.walk);
    int32_t from = 1;
    for (;;) {
      Record r;
      WalkHooks hooks;
      hooks.onItem = [&](int entry, const std::string& item) {
        std::string value = DecodeItem(app, entry, item, TextOnlyDecoding()).text;
        if (value == kMultipartMarker) {
          app.attachments = AttachmentTable{};
          value = DecodeItem(app, entry, item, {[&](const DecodedItem& d) { ShowItemAttachments(app, d); }}).text;
          for (int slot = 1; slot <= app.attachments.count; ++slot) {
            r.attachments.emplace_back(app.attachments.names[slot], DecodeBase64(app.attachments.contents[slot]));
          }
        }
        r.values[app.extraction.entries[entry].name].push_back(value);
      };
      WalkResult w = WalkRecord(app.extraction, app.stack, app.walk, 0, from, hooks);
      if (!w.recordFound) break;
      from = w.record.end + 1;
      out.push_back(r);
    }
    return out;
  }
};

// The attachments list written beside the originals: mail, slot, name, file.
std::map<int, std::vector<std::vector<std::string>>> AttachmentList() {
  std::map<int, std::vector<std::vector<std::string>>> out;
  std::istringstream lines(SourceFile("tests/data/samples/mail-attachments.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    std::istringstream cell(line);
    std::string c;
    while (std::getline(cell, c, '\t')) cells.push_back(c);
    out[std::stoi(cells[0])].push_back(cells);
  }
  return out;
}

TEST(Samples, EveryMailIsOneRecordWithItsFiveItemsDecoded) {
  SampleApp s("mail");
  std::vector<Record> mails = s.Records();
  ASSERT_GE(mails.size(), 20u);
  ASSERT_LE(mails.size(), 30u);
  auto attachments = AttachmentList();
  int multipart = 0;
  for (std::size_t i = 0; i < mails.size(); ++i) {
    const Record& m = mails[i];
    for (const char* name : {"Date", "From", "To", "Subject", "Body"}) {
      ASSERT_EQ(m.values.count(name), 1u) << "mail " << i + 1 << " " << name;
      EXPECT_FALSE(m.values.at(name)[0].empty()) << "mail " << i + 1 << " " << name;
      // Decoded to Shift_JIS: no escape sequence, no encoded word left.
      EXPECT_EQ(m.values.at(name)[0].find('\x1b'), std::string::npos) << "mail " << i + 1 << " " << name;
      EXPECT_EQ(m.values.at(name)[0].find("=?"), std::string::npos) << "mail " << i + 1 << " " << name;
    }
    EXPECT_EQ(m.values.at("Date")[0].size(), 16u) << "mail " << i + 1;  // 2006/01/10 09:15
    const auto& want = attachments[static_cast<int>(i) + 1];
    ASSERT_EQ(m.attachments.size(), want.size()) << "mail " << i + 1;
    for (std::size_t a = 0; a < want.size(); ++a) {
      EXPECT_EQ(Cp932ToUtf8(m.attachments[a].first), want[a][2]) << "mail " << i + 1;
      EXPECT_EQ(m.attachments[a].second, SourceFile("tests/data/samples/" + want[a][3])) << "mail " << i + 1;
    }
    if (!want.empty()) ++multipart;
  }
  EXPECT_GE(multipart, 3);
  EXPECT_TRUE(s.platform.boxes.empty()) << s.platform.boxes[0].text;
}

TEST(Samples, AddressBookRepeatsTelephonesAndAddressesAndJoinsContinuedLines) {
  SampleApp s("address");
  std::vector<Record> people = s.Records();
  ASSERT_GE(people.size(), 5u);
  bool repeatedTel = false, repeatedAddress = false, nested = false;
  for (const Record& p : people) {
    EXPECT_FALSE(p.values.at("Name")[0].empty());
    repeatedTel |= p.values.at("Tel").size() > 1;
    if (p.values.count("Street")) {
      repeatedAddress |= p.values.at("Street").size() > 1;
      for (const std::string& street : p.values.at("Street")) EXPECT_EQ(street.find('\n'), std::string::npos);
    }
    nested |= !p.values.at("Section")[0].empty();
  }
  EXPECT_TRUE(repeatedTel);
  EXPECT_TRUE(repeatedAddress);
  EXPECT_TRUE(nested);
  // The first person's address and note span two lines each in the file.
  EXPECT_EQ(people[0].values.at("Street")[0], "東京都千代田区千代田一丁目一番一号");
  EXPECT_EQ(people[0].values.at("Note")[0], "大学の同級生。毎年一月に新年会。");
  EXPECT_TRUE(s.platform.boxes.empty()) << s.platform.boxes[0].text;
}

// Every placeholder in both texts: "??" + a Data name + only spaces + "??".
TEST(Samples, DisplaySettingsUsePlaceholdersPaddedWithSpaces) {
  for (const char* base : {"mail", "address"}) {
    SampleApp s(base);
    DisplaySettingsTexts t;
    ASSERT_TRUE(ParseDisplaySettingsFile(SourceFile(std::string("samples/") + base + ".kdp"), &t)) << base;
    EXPECT_EQ(t.listLineTemplate.find_first_of("\r\n"), std::string::npos) << base;
    for (const std::string* text : {&t.listLineTemplate, &t.layoutText}) {
      int found = 0;
      for (std::size_t at = text->find("??"); at != std::string::npos; at = text->find("??", at)) {
        std::size_t close = text->find("??", at + 2);
        ASSERT_NE(close, std::string::npos) << base;
        std::string inside = text->substr(at + 2, close - at - 2);
        std::string name = inside.substr(0, inside.find(' '));
        bool known = false;
        for (int e = 0; e < UsedCount(s.app.extraction); ++e) {
          known |= s.app.extraction.entries[e].kind.Text() == "Data" && s.app.extraction.entries[e].name == name;
        }
        EXPECT_TRUE(known) << base << ": " << inside;
        EXPECT_EQ(inside.find_first_not_of(' ', name.size()), std::string::npos) << base << ": " << inside;
        ++found;
        at = close + 2;
      }
      EXPECT_GT(found, 2) << base;
    }
  }
}

}  // namespace
}  // namespace tanavo
