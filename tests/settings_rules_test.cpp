// The settings windows' rules on the data alone: renumbering default names,
// checking a name, applying an edit and removing a definition.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/settings.h"

namespace tanavo {
namespace {

ExtractionSettings Table(const std::vector<std::pair<const char*, const char*>>& rows) {
  ExtractionSettings s;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    s.entries[i].kind = rows[i].first;
    s.entries[i].name = rows[i].second;
  }
  return s;
}

std::vector<std::string> Names(const ExtractionSettings& s) {
  std::vector<std::string> names;
  for (int i = 0; i < UsedCount(s); ++i) names.push_back(s.entries[static_cast<std::size_t>(i)].name);
  return names;
}

TEST(SettingsRules, RenumberDataInOrderAndGroupsByTheirFirstLine) {
  ExtractionSettings s = Table({{"D_SET", "D_SET"}, {"Group", "Group03"}, {"Data", "Data05"}, {"Data", "Mail"},
                                {"Group", "Group03"}, {"Group", "Group01"}, {"Data", "Data01"},
                                {"Group", "Group01"}, {"D_SET", "D_SET"}});
  RenumberDefaultNames(s);
  EXPECT_EQ(Names(s), (std::vector<std::string>{"D_SET", "Group01", "Data01", "Mail", "Group01", "Group02", "Data02",
                                                "Group02", "D_SET"}));
  // A pair that bore the new number takes the old one.
  s = Table({{"Group", "Group02"}, {"Group", "Group02"}, {"Group", "Group01"}, {"Group", "Group01"}});
  RenumberDefaultNames(s);
  EXPECT_EQ(Names(s), (std::vector<std::string>{"Group01", "Group01", "Group02", "Group02"}));
}

TEST(SettingsRules, NameChecks) {
  const ExtractionSettings s = Table({{"D_SET", "D_SET"}, {"Data", "Mail"}, {"Data", "Subject"}, {"Group", "Box"},
                                      {"Group", "Box"}, {"D_SET", "D_SET"}});
  const struct {
    int index, partner;
    const char* name;
    NameCheck want;
  } cases[] = {
      {1, 1, "", NameCheck::NotSet},        {1, 1, "Data7", NameCheck::NotSet},  {0, 5, "D_SET", NameCheck::NotSet},
      {3, 4, "Group1", NameCheck::NotSet},  {0, 5, "Record", NameCheck::Ok},     {1, 1, "Mail", NameCheck::Ok},
      {1, 1, "Subject", NameCheck::Taken},  {3, 4, "Box", NameCheck::Ok},        {1, 1, "Box", NameCheck::Taken},
      {0, 5, "Data", NameCheck::Ok},  // only a Data entry keeps "Data..." as its default
  };
  for (const auto& c : cases) EXPECT_EQ(CheckEntryName(s, c.index, c.partner, c.name), c.want) << c.name;
}

TEST(SettingsRules, AnEditGoesToBothLinesOfAPairOnlyWhenItsNameChecks) {
  ExtractionSettings s = Table({{"Group", "Box"}, {"Data", "Mail"}, {"Group", "Box"}});
  TagDefinition edited;
  edited.kind = "Data";  // the kind is never edited
  edited.name = "Mail";
  edited.rangeStartTag = "<b>";
  edited.applyToMultiple = true;
  EXPECT_EQ(ApplyEntryEdit(s, 0, 2, edited), NameCheck::Taken);
  EXPECT_EQ(s.entries[0].rangeStartTag, "");
  edited.name = "Folder";
  EXPECT_EQ(ApplyEntryEdit(s, 0, 2, edited), NameCheck::Ok);
  for (int i : {0, 2}) {
    EXPECT_EQ(s.entries[i].kind.Value(), EntryKind::Group);
    EXPECT_EQ(s.entries[i].name, "Folder");
    EXPECT_EQ(s.entries[i].rangeStartTag, "<b>");
    EXPECT_TRUE(s.entries[i].applyToMultiple.Value());
  }
  EXPECT_EQ(s.entries[1].rangeStartTag, "");
}

TEST(SettingsRules, RemovingAPairTakesItsOtherLineAndRenumbers) {
  ExtractionSettings s = Table({{"Group", "Group01"}, {"Data", "Data01"}, {"Group", "Group01"}, {"Group", "Group02"},
                                {"Data", "Data02"}, {"Group", "Group02"}});
  s.groupCounter = 2;
  s.dataCounter = 2;
  EXPECT_EQ(RemoveDefinition(s, 0), (std::vector<int>{0, 1}));
  EXPECT_EQ(Names(s), (std::vector<std::string>{"Data01", "Group01", "Data02", "Group01"}));
  EXPECT_EQ(s.groupCounter, 1);
  EXPECT_EQ(RemoveDefinition(s, 0), (std::vector<int>{0}));
  EXPECT_EQ(Names(s), (std::vector<std::string>{"Group01", "Data01", "Group01"}));
  EXPECT_EQ(s.dataCounter, 1);
  EXPECT_TRUE(RemoveDefinition(s, 3).empty());
  EXPECT_EQ(UsedCount(s), 3);
}

}  // namespace
}  // namespace tanavo
