// The full decoding on real mail from the test suites of mail libraries
// (tests/data/mail, with their licences in SOURCES.md there).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "mime/mime_full.h"
#include "platform/charset.h"

namespace tanavo {
namespace {

std::string ReadMail(const std::string& name) {
  std::ifstream in(std::string(TANAVO_SOURCE_DIR) + "/tests/data/mail/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct CorpusCase {
  const char* file;
  std::string subject;
  std::string bodyStart;
  std::size_t attachments;
  std::string firstAttachmentName;
  std::size_t replaced;
};

class FullMailCorpusTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(FullMailCorpusTest, DecodesRealMail) {
  const CorpusCase& c = GetParam();
  const std::string mail = ReadMail(c.file);
  ASSERT_FALSE(mail.empty()) << c.file;
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter());
  EXPECT_EQ(m.subject, c.subject) << c.file;
  EXPECT_EQ(m.body.substr(0, c.bodyStart.size()), c.bodyStart) << c.file;
  ASSERT_EQ(m.attachments.size(), c.attachments) << c.file;
  if (c.attachments > 0) {
    EXPECT_EQ(m.attachments[0].name, c.firstAttachmentName) << c.file;
  }
  EXPECT_EQ(m.undecoded, 0u) << c.file;
  EXPECT_EQ(m.replaced, c.replaced) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Mail, FullMailCorpusTest,
    ::testing::Values(
        CorpusCase{"mimekit-japanese.txt", "日本語メールテスト (testing Japanese emails)",
                   "Let's see if both subject and body works fine...\n\n日本語が", 0, "", 0},
        CorpusCase{"japanese_shift_jis.eml", "test", "あいうえお\r\n\r\nこのメールはテスト用のメールです。", 0, "", 0},
        // Hangul has no place in Shift_JIS: one 〓 per character, counted.
        CorpusCase{"ks_c_5601-1987.eml", "test", "〓〓〓\r\n", 0, "", 3},
        CorpusCase{"japanese_attachment_long_name.eml",
                   "まみむめもまみむめもまみむめもまみむめもまみむめもまみむめもまみむめもまみむめもまみむめもまみむめも", "", 1,
                   "かきくけこかきくけこかきくけこかきくけこかきくけこ.txt", 0},
        // A raw UTF-8 name whose accented letter Shift_JIS lacks (in both the
        // name and the filename parameter, so counted twice).
        CorpusCase{"attachment_nonascii_filename.eml", "testing", "This is the first part.\r\n", 1, "ci〓le.txt", 2}));

}  // namespace
}  // namespace tanavo
