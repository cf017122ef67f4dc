#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/detail_window.h"
#include "app/extraction_window.h"
#include "extract/carrier_choice.h"
#include "extract/item_charset.h"
#include "mime/full_choice.h"
#include "test_support.h"

namespace tanavo {
namespace {

const int kSlotIds[kDetailSlots] = {kDetailRangeStart,    kDetailRangeEnd,      kDetailName,
                                    kDetailDataTypeStart, kDetailDataTypeEnd,   kDetailEncodingStart,
                                    kDetailEncodingEnd,   kDetailJapaneseStart, kDetailJapaneseEnd,
                                    kDetailContentStart,  kDetailContentEnd,    kDetailLineEnd,
                                    kDetailNextLineHead};

struct DetailApp : FakeApp {
  DetailApp() { app.extractionWindow->Open(); }
  MemoryWindow& Ext() { return Win(kExtractionWindowClass); }
  MemoryWindow& D() { return Win(kDetailWindowClass); }
  TagDefinition& E(int i) { return app.extraction.entries[i]; }
  // Selects a list line and opens its details.
  void OpenFor(int row) {
    Ext().UserSelect(kExtList, row);
    Ext().Click(kExtDetails);
  }
  void Finish() { D().Click(kDetailFinish); }
  // D_SET, Group01, Data01, Group01, D_SET.
  void Build() {
    Ext().Click(kExtAddDSet);
    Ext().Click(kExtAddGroup);
    Ext().Click(kExtAddData);
  }
};

TEST(DetailWindow, IsCreatedHiddenWithLimitedEditFields) {
  FakeApp f;
  MemoryWindow& d = f.Win(kDetailWindowClass);
  EXPECT_FALSE(d.IsVisible());
  EXPECT_EQ(std::string(d.Declaration().title), "詳細設定");
  EXPECT_EQ(d.Declaration().width, 500);
  EXPECT_EQ(d.Declaration().height, 396);
  EXPECT_EQ(d.Declaration().frame, FrameKind::CaptionOnly);
  EXPECT_EQ(d.Declaration().fontIndex, 3);
  EXPECT_EQ(d.ControlIds().size(), 46u);
  for (int id : kSlotIds) {
    EXPECT_EQ(d.Control(id).decl.kind, ControlKind::Edit) << id;
    EXPECT_EQ(d.TextLimit(id), kDetailFieldBytes) << id;
  }
  EXPECT_TRUE(d.Control(kDetailContentEnd).decl.style & kAutoHScroll);
  EXPECT_FALSE(d.Control(kDetailLineEnd).decl.style & kAutoHScroll);
  EXPECT_EQ(d.Control(kDetailApplyToMultiple).decl.kind, ControlKind::CheckBox);
  EXPECT_EQ(d.Text(kDetailTokenSpace), "SPACE");
  EXPECT_EQ(f.app.detailWindow->focusedSlot, 0);
  EXPECT_FALSE(d.RequestClose());
  EXPECT_FALSE(d.Destroyed());
}

TEST(DetailWindow, OpenShowsTheEntryByKind) {
  DetailApp f;
  f.OpenFor(0);  // nothing selected yet: nothing happens
  EXPECT_FALSE(f.D().IsVisible());
  f.Build();
  ASSERT_EQ(f.Ext().ListRow(kExtList, 2), "  Data01");
  f.E(2).rangeStartTag = "Subject: ";
  f.E(2).rangeEndTag = "\r\n";
  f.E(2).applyToMultiple = "Y";
  f.E(2).searchAfterPrevious = "y";  // only "Y" is on

  f.OpenFor(2);
  MemoryWindow& d = f.D();
  EXPECT_TRUE(d.IsVisible());
  EXPECT_EQ(d.Text(kDetailTitle), "Data01の詳細設定");
  EXPECT_EQ(d.Text(kDetailName), "Data01");
  EXPECT_EQ(d.Text(kDetailRangeStart), "Subject:[SP]");
  EXPECT_EQ(d.Text(kDetailRangeEnd), "[CR][LF]");
  EXPECT_TRUE(d.IsChecked(kDetailApplyToMultiple));
  EXPECT_FALSE(d.IsChecked(kDetailSearchAfterPrevious));
  for (int id : kSlotIds) EXPECT_TRUE(d.IsEnabled(id)) << id;
  EXPECT_TRUE(d.IsShown(kDetailApplyToMultipleLabel));
  EXPECT_EQ(f.app.detailWindow->editIndex, 2);
  EXPECT_EQ(f.app.detailWindow->partnerIndex, 2);
  EXPECT_EQ(f.app.detailWindow->editKind.Text(), "Data");

  f.OpenFor(1);  // a Group: no content tags, flags shown
  EXPECT_EQ(d.Text(kDetailTitle), "Group01の詳細設定");
  EXPECT_TRUE(d.IsEnabled(kDetailName));
  EXPECT_FALSE(d.IsEnabled(kDetailDataTypeStart));
  EXPECT_FALSE(d.IsEnabled(kDetailContentEnd));
  EXPECT_TRUE(d.IsEnabled(kDetailLineEnd));
  EXPECT_TRUE(d.IsShown(kDetailSearchAfterPrevious));
  EXPECT_EQ(f.app.detailWindow->partnerIndex, 3);

  f.OpenFor(4);  // a D_SET: no flags either
  EXPECT_FALSE(d.IsEnabled(kDetailEncodingStart));
  EXPECT_TRUE(d.IsEnabled(kDetailRangeEnd));
  for (int id : {kDetailApplyToMultiple, kDetailApplyToMultipleLabel, kDetailSearchAfterPrevious,
                 kDetailSearchAfterPreviousLabel}) {
    EXPECT_FALSE(d.IsShown(id)) << id;
  }
  EXPECT_EQ(f.app.detailWindow->partnerIndex, 0);
}

TEST(DetailWindow, RefusesDefaultAndDuplicateNames) {
  DetailApp f;
  f.Build();
  f.OpenFor(1);
  f.Finish();  // Group01 is still the default
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "データ名称が設定されていません!!");
  EXPECT_EQ(f.platform.boxes[0].caption, "変数のテスト");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::None);
  EXPECT_TRUE(f.D().IsVisible());

  for (const char* name : {"", "GroupX"}) {
    f.D().Type(kDetailName, name);
    f.Finish();
  }
  EXPECT_EQ(f.platform.boxes.size(), 3u);
  EXPECT_EQ(f.E(1).name, "Group01");

  f.D().Type(kDetailName, "D_SET");  // another entry's name
  f.Finish();
  ASSERT_EQ(f.platform.boxes.size(), 4u);
  EXPECT_EQ(f.platform.boxes[3].text, "データ名称= D_SET は既に定義されてます!!");
  EXPECT_EQ(f.platform.boxes[3].caption, "変数のテスト");
  EXPECT_TRUE(f.D().IsVisible());

  f.D().Type(kDetailName, "Header");
  f.D().Type(kDetailRangeStart, "[CR][LF]BEGIN");
  f.D().Click(kDetailApplyToMultiple);
  f.Finish();
  EXPECT_EQ(f.platform.boxes.size(), 4u);
  EXPECT_FALSE(f.D().IsVisible());
  EXPECT_EQ(f.Ext().ListRow(kExtList, 1), " Header");
  EXPECT_EQ(f.Ext().ListRow(kExtList, 3), " Header");
  EXPECT_EQ(f.Ext().ListSelection(kExtList), 1);
  for (int i : {1, 3}) {
    EXPECT_EQ(f.E(i).name, "Header");
    EXPECT_EQ(f.E(i).kind.Text(), "Group");
    EXPECT_EQ(f.E(i).rangeStartTag, "\r\nBEGIN");
    EXPECT_EQ(f.E(i).applyToMultiple.Text(), "Y");
    EXPECT_EQ(f.E(i).searchAfterPrevious.Text(), "N");
  }

  // The partner's name is no duplicate; reopening shows the tokens again.
  f.OpenFor(3);
  EXPECT_EQ(f.D().Text(kDetailRangeStart), "[CR][LF]BEGIN");
  f.Finish();
  EXPECT_EQ(f.platform.boxes.size(), 4u);

  // Data: a name beginning with "Data" is a default one; a space inside a
  // name keeps it from matching another label, whose spaces are removed.
  f.OpenFor(2);
  f.D().Type(kDetailName, "Database");
  f.Finish();
  EXPECT_EQ(f.platform.boxes.size(), 5u);
  f.D().Type(kDetailName, "Head[SP]er");
  f.Finish();
  EXPECT_EQ(f.platform.boxes.size(), 5u);
  EXPECT_EQ(f.E(2).name, "Head er");
  EXPECT_EQ(f.Ext().ListRow(kExtList, 2), "  Head er");
  EXPECT_EQ(f.Ext().ListSelection(kExtList), 2);
}

TEST(DetailWindow, DSetKeepsTheFieldsItCannotEdit) {
  DetailApp f;
  f.Build();
  f.E(0).contentStartTag = "hidden";
  f.E(0).dataTypeEndTag = "\t";
  f.E(0).applyToMultiple = "Y";
  f.E(0).lineEnd = std::string("a\0b", 3);  // shows only up to the NUL byte
  f.OpenFor(0);
  EXPECT_EQ(f.D().Text(kDetailLineEnd), "a");
  f.D().Type(kDetailName, "Mail");
  f.Finish();
  EXPECT_FALSE(f.D().IsVisible());
  for (int i : {0, 4}) {
    EXPECT_EQ(f.E(i).name, "Mail");
    EXPECT_EQ(f.E(i).kind.Text(), "D_SET");
    EXPECT_EQ(f.E(i).contentStartTag, "hidden");
    EXPECT_EQ(f.E(i).dataTypeEndTag, "\t");
    EXPECT_EQ(f.E(i).applyToMultiple.Text(), "Y");
    EXPECT_EQ(f.E(i).searchAfterPrevious.Text(), "N");
    EXPECT_EQ(f.E(i).lineEnd, std::string("a\0b", 3)) << i;
  }
  EXPECT_EQ(f.Ext().ListRow(kExtList, 0), "Mail");
  EXPECT_EQ(f.Ext().ListRow(kExtList, 4), "Mail");
}

TEST(DetailWindow, TokenButtonsAppendToTheLastFocusedField) {
  DetailApp f;
  f.Build();
  f.OpenFor(2);
  MemoryWindow& d = f.D();
  d.Click(kDetailTokenSpace);  // no field had the focus yet
  for (int id : kSlotIds) EXPECT_EQ(d.Text(id), id == kDetailName ? "Data01" : "") << id;

  d.Focus(kDetailContentStart);
  d.Type(kDetailContentStart, "X-");
  d.Focus(kDetailFinish);  // the button takes the focus; the slot is remembered
  d.Click(kDetailTokenCR);
  d.Click(kDetailTokenLF);
  d.Click(kDetailTokenTab);
  d.Click(kDetailTokenEsc);
  d.Click(kDetailTokenSpace);
  EXPECT_EQ(d.Text(kDetailContentStart), "X-[CR][LF][TB][EC][SP]");
  EXPECT_EQ(d.Control(kDetailContentStart).caret, d.Text(kDetailContentStart).size());
  EXPECT_TRUE(d.HasFocus(kDetailContentStart));
  EXPECT_EQ(f.app.detailWindow->focusedSlot, 10);

  // A token goes in whole while the field holds at most 199 bytes.
  d.Type(kDetailContentStart, std::string(199, 'a'));
  d.Click(kDetailTokenSpace);
  EXPECT_EQ(d.Text(kDetailContentStart).size(), kDetailFieldBytes);
  d.Click(kDetailTokenSpace);
  EXPECT_EQ(d.Text(kDetailContentStart).size(), kDetailFieldBytes);
  d.Type(kDetailContentStart, std::string(300, 'b'));  // the edit limit stops typing
  EXPECT_EQ(d.Text(kDetailContentStart).size(), kDetailFieldBytes);

  // The focused slot survives closing and reopening.
  d.Type(kDetailContentStart, "");
  d.Type(kDetailName, "Subject");
  f.Finish();
  f.OpenFor(2);
  d.Click(kDetailTokenSpace);
  EXPECT_EQ(d.Text(kDetailContentStart), "[SP]");
  // On a Group the field is greyed out and keeps what it shows.
  f.Finish();
  f.OpenFor(1);
  d.Click(kDetailTokenSpace);
  EXPECT_EQ(d.Text(kDetailContentStart), "");
}

TEST(DetailWindow, FollowsItsEntryWhenTheListChanges) {
  DetailApp f;
  f.Build();
  f.OpenFor(2);  // Data01
  f.D().Type(kDetailName, "Subject");
  f.Ext().UserSelect(kExtList, 0);
  f.Ext().Click(kExtAddData);  // a line above the entry being edited
  EXPECT_EQ(f.app.detailWindow->editIndex, 3);
  f.Finish();
  EXPECT_EQ(f.E(3).name, "Subject");
  EXPECT_EQ(f.Ext().ListRow(kExtList, 3), "  Subject");
  EXPECT_EQ(f.E(0).name, "Data01");

  f.OpenFor(3);
  f.Ext().UserSelect(kExtList, 3);
  f.Ext().Click(kExtDelete);  // the entry itself goes: nothing is left to apply to
  EXPECT_FALSE(f.D().IsVisible());
  EXPECT_EQ(f.app.detailWindow->editIndex, -1);
}

// The check box for full decoding fills the Japanese code pair with its
// marker; it is offered for Data entries only.
TEST(DetailWindow, FullMimeCheckBoxSetsAndClearsTheMarkerPair) {
  DetailApp f;
  f.Build();
  f.E(2).japaneseCodeStartTag = "charset=";
  f.E(2).japaneseCodeEndTag = "\r\n";
  f.OpenFor(0);
  EXPECT_FALSE(f.D().IsShown(kDetailFullMime));  // a record
  f.OpenFor(1);
  EXPECT_FALSE(f.D().IsShown(kDetailFullMime));  // a group
  f.OpenFor(2);
  MemoryWindow& d = f.D();
  ASSERT_TRUE(d.IsShown(kDetailFullMime));
  EXPECT_EQ(d.Control(kDetailFullMime).decl.kind, ControlKind::CheckBox);
  EXPECT_FALSE(d.IsChecked(kDetailFullMime));
  DetailWindow& w = *f.app.detailWindow;
  EXPECT_FALSE(w.HasEditsNotApplied());

  d.Click(kDetailFullMime);
  EXPECT_TRUE(d.IsChecked(kDetailFullMime));
  EXPECT_EQ(d.Text(kDetailJapaneseStart), "*MIME*");
  EXPECT_EQ(d.Text(kDetailJapaneseEnd), "");
  EXPECT_FALSE(d.IsEnabled(kDetailJapaneseStart));
  EXPECT_FALSE(d.IsEnabled(kDetailJapaneseEnd));
  EXPECT_TRUE(w.HasEditsNotApplied());
  d.Click(kDetailFullMime);  // changed the mind: the pair comes back
  EXPECT_EQ(d.Text(kDetailJapaneseStart), "charset=");
  EXPECT_EQ(d.Text(kDetailJapaneseEnd), "[CR][LF]");
  EXPECT_TRUE(d.IsEnabled(kDetailJapaneseStart));
  EXPECT_FALSE(w.HasEditsNotApplied());

  d.Click(kDetailFullMime);
  d.Type(kDetailName, "Body");
  f.Finish();
  EXPECT_TRUE(IsFullMimeEntry(f.E(2)));
  f.OpenFor(2);  // reflects the entry
  EXPECT_TRUE(d.IsChecked(kDetailFullMime));
  EXPECT_FALSE(d.IsEnabled(kDetailJapaneseStart));
  EXPECT_FALSE(w.HasEditsNotApplied());
  d.Click(kDetailFullMime);  // off for an entry stored in full mode: the pair emptied
  EXPECT_EQ(d.Text(kDetailJapaneseStart), "");
  EXPECT_TRUE(w.HasEditsNotApplied());
  f.Finish();
  EXPECT_FALSE(IsFullMimeEntry(f.E(2)));
  EXPECT_EQ(f.E(2).japaneseCodeStartTag, "");
  EXPECT_EQ(f.E(2).japaneseCodeEndTag, "");
}

// The record entry's button steps through the carrier settings, shown in its
// Japanese code pair and applied to both lines of the pair on finishing.
TEST(DetailWindow, CarrierButtonStepsThroughTheSettings) {
  DetailApp f;
  f.Build();
  f.OpenFor(2);
  EXPECT_FALSE(f.D().IsShown(kDetailCarrier));  // a Data entry
  f.OpenFor(0);
  MemoryWindow& d = f.D();
  ASSERT_TRUE(d.IsShown(kDetailCarrier));
  EXPECT_EQ(d.Text(kDetailCarrier), "絵文字: 自動");
  const struct {
    const char* button;
    const char* start;
    const char* end;
  } steps[] = {{"絵文字: docomo", "*EMOJI*", "docomo"}, {"絵文字: au", "*EMOJI*", "au"},
               {"絵文字: SoftBank", "*EMOJI*", "SoftBank"}, {"絵文字: なし", "*EMOJI*", "none"},
               {"絵文字: 自動", "", ""}, {"絵文字: docomo", "*EMOJI*", "docomo"}, {"絵文字: au", "*EMOJI*", "au"}};
  for (const auto& s : steps) {
    d.Click(kDetailCarrier);
    EXPECT_EQ(d.Text(kDetailCarrier), s.button);
    EXPECT_EQ(d.Text(kDetailJapaneseStart), s.start);
    EXPECT_EQ(d.Text(kDetailJapaneseEnd), s.end);
  }
  EXPECT_TRUE(f.app.detailWindow->HasEditsNotApplied());
  d.Type(kDetailName, "MAIL");
  f.Finish();
  EXPECT_EQ(CarrierSettingOf(f.app.extraction), CarrierSetting::Au);
  EXPECT_EQ(EntryCarrierSetting(f.E(4)), CarrierSetting::Au);  // the closing line
  f.OpenFor(4);  // reflects the entry
  EXPECT_EQ(d.Text(kDetailCarrier), "絵文字: au");
  EXPECT_FALSE(f.app.detailWindow->HasEditsNotApplied());
}

// A Data entry's charset button fills the Japanese code pair with its choice
// and gives a typed pair back when it comes round to the tags again; full
// decoding, which reads the mail's own charsets, greys it out.
TEST(DetailWindow, ItemCharsetButtonStepsThroughTheCharsets) {
  DetailApp f;
  f.Build();
  f.E(2).japaneseCodeStartTag = "charset=";
  f.E(2).japaneseCodeEndTag = "\r\n";
  f.OpenFor(0);
  EXPECT_FALSE(f.D().IsShown(kDetailItemCharset));  // a record
  f.OpenFor(2);
  MemoryWindow& d = f.D();
  ASSERT_TRUE(d.IsShown(kDetailItemCharset));
  EXPECT_EQ(d.Text(kDetailItemCharset), "文字コード: タグ");
  const struct {
    const char* button;
    const char* start;
    const char* end;
    bool typed;
  } steps[] = {{"文字コード: UTF-8", "*TEXT*", "UTF-8", false},
               {"文字コード: EUC-JP", "*TEXT*", "EUC-JP", false},
               {"文字コード: UTF-16", "*TEXT*", "UTF-16", false},
               {"文字コード: タグ", "charset=", "[CR][LF]", true},
               {"文字コード: UTF-8", "*TEXT*", "UTF-8", false}};
  for (const auto& s : steps) {
    d.Click(kDetailItemCharset);
    EXPECT_EQ(d.Text(kDetailItemCharset), s.button);
    EXPECT_EQ(d.Text(kDetailJapaneseStart), s.start);
    EXPECT_EQ(d.Text(kDetailJapaneseEnd), s.end);
    EXPECT_EQ(d.IsEnabled(kDetailJapaneseStart), s.typed) << s.button;
  }
  d.Click(kDetailFullMime);
  EXPECT_FALSE(d.IsEnabled(kDetailItemCharset));
  d.Click(kDetailFullMime);
  EXPECT_TRUE(d.IsEnabled(kDetailItemCharset));
  d.Type(kDetailName, "Body");
  f.Finish();
  EXPECT_EQ(EntryItemCharset(f.E(2)), ItemCharset::Utf8);
  f.OpenFor(2);  // reflects the entry
  EXPECT_EQ(d.Text(kDetailItemCharset), "文字コード: UTF-8");
  EXPECT_FALSE(d.IsEnabled(kDetailJapaneseStart));
  EXPECT_FALSE(f.app.detailWindow->HasEditsNotApplied());
}

}  // namespace
}  // namespace tanavo
