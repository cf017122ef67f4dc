// Data entries whose text is UTF-8, EUC-JP or UTF-16: converted for the
// windows, what Shift_JIS cannot hold shown as 〓 and counted, the choice kept
// in the settings file.
#include <gtest/gtest.h>

#include <string>

#include "app/data_display.h"
#include "app/display_window.h"
#include "display/render.h"
#include "extract/item_charset.h"
#include "extract/kta_file.h"
#include "index/index_creation.h"
#include "platform/charset.h"
#include "test_support.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

// With the system's converters, as Tanavo.exe and tanavo-cli have them.
struct SystemCharsetPlatform : FakePlatform {
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
};

struct CharsetApp {
  CharsetApp() : app(platform) { app.Start(); }
  SystemCharsetPlatform platform;
  App app;
  MemoryWindow& Display() { return *platform.WindowOf(kDisplayWindowClass); }
};

TEST(ItemCharset, EntriesReadTheirTextInTheCharsetTheySay) {
  const std::string nihon = "日本";  // Shift_JIS as compiled
  const std::string geta = "〓";
  const struct {
    const char* what;
    ItemCharset charset;
    std::string item, text;
    std::size_t replaced;
  } cases[] = {
      {"UTF-8", ItemCharset::Utf8, "\xE6\x97\xA5\xE6\x9C\xAC", nihon, 0},
      {"UTF-8, a letter Shift_JIS lacks", ItemCharset::Utf8, "\xE6\x97\xA5\xC3\xA9", "日" + geta, 1},
      {"UTF-8 with its mark", ItemCharset::Utf8, "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC", nihon, 0},
      {"UTF-8, a byte of no character", ItemCharset::Utf8, "a\xFF" "b", "a" + geta + "b", 1},
      {"EUC-JP", ItemCharset::EucJp, "\xC6\xFC\xCB\xDC", nihon, 0},
      {"EUC-JP, a NEC row character", ItemCharset::EucJp, "\xAD\xA1", "\x87\x40", 0},  // ①
      {"UTF-16, little-endian mark", ItemCharset::Utf16, "\xFF\xFE\xE5\x65\x2C\x67", nihon, 0},
      {"UTF-16, big-endian mark", ItemCharset::Utf16, "\xFE\xFF\x65\xE5\x67\x2C", nihon, 0},
      {"UTF-16 without a mark: little-endian", ItemCharset::Utf16, "\xE5\x65\x2C\x67", nihon, 0},
      {"UTF-16, a TAB and a line break", ItemCharset::Utf16, "A\0\t\0\r\0\n\0B\0"s, "A\r\nB", 0},
      {"UTF-16, an odd last byte", ItemCharset::Utf16, "\xE5\x65\x2C", "日" + geta, 1},
      {"the tags' charset: Shift_JIS", ItemCharset::Tags, nihon, nihon, 0},
  };
  for (const auto& c : cases) {
    CharsetApp f;
    f.app.state.mobileFile = "<R>" + c.item + "</R>\r\n";
    const TagDefinition record = Def("D_SET", "REC", "<R>", "</R>");
    TagDefinition text = Item("Text", "<R>", "</R>");
    SetEntryItemCharset(text, c.charset);
    SetTable(f.app.extraction, {record, text, record});
    f.app.display.listLineTemplate = "[??Text??]";
    f.app.display.layoutText = "??Text??";
    ASSERT_EQ(CreateIndex(f.app), 0) << c.what;
    RenderedRecord r;
    ASSERT_EQ(ShowRecord(f.app, 1, &r), 0) << c.what;
    EXPECT_EQ(r.text, c.text) << c.what;
    EXPECT_EQ(r.undecodable, c.replaced) << c.what;
    EXPECT_EQ(f.Display().Text(kDispStatusText), c.replaced ? "変換不能: " + std::to_string(c.replaced) + "箇所" : "")
        << c.what;
    EXPECT_EQ(f.app.index.lines[1], "[" + c.text + "]") << c.what;  // the list line
    EXPECT_TRUE(f.platform.boxes.empty()) << c.what;
  }
}

// Kept in the entry's charset pair through the settings file; a pair typed
// for anything else, and the entries of a file written before, read as the
// tags' charset.
TEST(ItemCharset, TheChoiceIsKeptInTheSettingsFile) {
  for (ItemCharset c : {ItemCharset::Utf8, ItemCharset::EucJp, ItemCharset::Utf16, ItemCharset::Tags}) {
    TagDefinition e = Item("Text", "<R>", "</R>");
    e.japaneseCodeStartTag = "charset=";
    e.japaneseCodeEndTag = "\r\n";
    SetEntryItemCharset(e, c);
    TagDefinition back;
    DecodeEntry(EncodeEntry(e), back);
    EXPECT_EQ(EntryItemCharset(back), c) << ItemCharsetName(c);
    if (c == ItemCharset::Tags) {
      EXPECT_EQ(back.japaneseCodeStartTag, "charset=");  // untouched
    }
  }
  TagDefinition record = Def("D_SET", "REC", "<R>", "</R>");
  record.japaneseCodeStartTag = "*TEXT*";
  record.japaneseCodeEndTag = "UTF-8";
  EXPECT_EQ(EntryItemCharset(record), ItemCharset::Tags);  // Data entries only
  EXPECT_EQ(NextItemCharset(ItemCharset::Utf16), ItemCharset::Tags);
}

}  // namespace
}  // namespace tanavo
