// A record that says its own charset: a vCard 4.0 is UTF-8, any other record
// as its entries' tags say.
#include <gtest/gtest.h>

#include <string>

#include "display/record_charset.h"
#include "display/render.h"
#include "index/index_creation.h"
#include "platform/charset.h"
#include "test_support.h"

namespace tanavo {
namespace {

TEST(RecordCharset, OnlyAVCardWhoseVersionIs40IsUtf8) {
  const struct {
    const char* record;
    ItemCharset charset;
  } cases[] = {
      {"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:x\r\nEND:VCARD", ItemCharset::Utf8},
      {"begin:vcard\nversion: 4.0 \nEND:VCARD", ItemCharset::Utf8},  // case, LF alone, blanks
      {"\r\nBEGIN:VCARD\r\nVERSION:4.0", ItemCharset::Utf8},         // a start tag with its line end; no end
      {"BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD", ItemCharset::Tags},
      {"BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE:x\r\nVERSION:4.0\r\n", ItemCharset::Tags},  // the first VERSION says
      {"BEGIN:VCARD\r\nNOTE:a\r\n VERSION:4.0\r\n", ItemCharset::Tags},   // a folded line is no property
      {"BEGIN:VCARD\r\nVERSION:4.01\r\n", ItemCharset::Tags},
      {"BEGIN:VCARD\r\nNOTE:VERSION:4.0\r\n", ItemCharset::Tags},
      {"BEGIN:VEVENT\r\nVERSION:4.0\r\n", ItemCharset::Tags},  // no card
      {"VERSION:4.0\r\nBEGIN:VCARD\r\n", ItemCharset::Tags},   // the version before the card
      {"", ItemCharset::Tags},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordCharset(c.record), c.charset) << c.record;
}

struct SystemCharsetPlatform : FakePlatform {
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
};

// In a 4.0 card, an item is UTF-8 unless its entry says a charset or its tags
// find one; the 2.1 card after it is Shift_JIS again.
TEST(RecordCharset, AnEntrysOwnCharsetAndTheTagsComeFirst) {
  SystemCharsetPlatform platform;
  Workspace ws(platform);
  const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC";     // 日本
  const std::string euc = "\xC6\xFC\xCB\xDC";              // 日本
  const std::string sjis = "日本";                          // as compiled
  ws.state.mobileFile = "BEGIN:VCARD\r\nVERSION:4.0\r\nA:" + utf8 + "\r\nB;CHARSET=SHIFT_JIS:" + sjis +
                        "\r\nC:" + euc + "\r\nEND:VCARD\r\n" + "BEGIN:VCARD\r\nVERSION:2.1\r\nA:" + sjis +
                        "\r\nB;CHARSET=SHIFT_JIS:" + sjis + "\r\nC:" + euc + "\r\nEND:VCARD\r\n";
  const TagDefinition card = Def("D_SET", "VCARD", "BEGIN:VCARD", "END:VCARD");
  TagDefinition a = Item("A", "\r\nA:", "\r\n");
  TagDefinition b = Item("B", "\r\nB;", "\r\n");
  b.contentStartTag = ":";
  b.contentEndTag = "\r\n";
  b.japaneseCodeStartTag = "CHARSET=";
  b.japaneseCodeEndTag = ":";
  TagDefinition c = Item("C", "\r\nC:", "\r\n");
  SetEntryItemCharset(c, ItemCharset::EucJp);
  SetTable(ws.extraction, {card, a, b, c, card});
  ws.display.listLineTemplate = "??A??";
  ws.display.layoutText = "??A??|??B??|??C??";
  ASSERT_EQ(CreateIndex(ws), 0);
  ASSERT_EQ(ws.index.count, 2);
  for (int n : {1, 2}) {
    const RenderedRecord r = RenderRecord(ws, n);
    EXPECT_EQ(r.text, sjis + "|" + sjis + "|" + sjis) << n;
    EXPECT_EQ(r.undecodable, 0u) << n;
    EXPECT_EQ(ws.index.lines[static_cast<std::size_t>(n)], sjis) << n;
  }
  EXPECT_TRUE(platform.boxes.empty());
}

}  // namespace
}  // namespace tanavo
