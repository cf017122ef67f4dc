// The export on the in-memory file system: what it reads and writes goes
// through the file system it is given, and only there.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "export/export.h"
#include "engine/walk.h"
#include "export/export_text.h"
#include "extract/kta_file.h"
#include "dispset/kdp_file.h"
#include "index/index_text.h"
#include "mail_records.h"
#include "platform/digest.h"
#include "platform/fake/fake_platform.h"
#include "state/coverage.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

const char kDat[] = "C:\\ev\\m.dat";
const char kKta[] = "C:\\ev\\m.kta";
const char kKdp[] = "C:\\ev\\m.kdp";
const char kIni[] = "C:\\ev\\m.ini";
const char kOut[] = "C:\\out";

std::string Sha256Hex(const std::string& bytes) {
  Sha256Digest d;
  EXPECT_TRUE(Sha256OfBytes(bytes, &d));
  return HexDigest(d);
}

class Recorder : public ExportReporter {
 public:
  void CoverageFound(const Coverage& c) override { coverageRecords = c.recordsFound; }
  void NoSuchRecord(int32_t beyond, int32_t count) override { missing.push_back({beyond, count}); }
  void Line(const std::string& text) override { lines.push_back(text); }
  int32_t coverageRecords = -1;
  std::vector<std::pair<int32_t, int32_t>> missing;
  std::vector<std::string> lines;
};

// Three mails, their settings and index on the in-memory disk.
struct MemoryExport {
  MemoryExport() {
    FakeApp program;
    LoadMails(program, {{"a@x", "one", "body\0NUL"s, {}}, {"b@y", "two", "see", {{"p.jpg", "JPEG"}}},
                        {"c@z", "three", "x", {}}},
              "From: ??From??\r\n??Body??");
    fs.files[kDat] = program.app.state.mobileFile;
    std::string kta;
    for (int i = 0; i < UsedCount(program.app.extraction); ++i) kta += EncodeEntry(program.app.extraction.entries[i]);
    fs.files[kKta] = kta;
    fs.files[kKdp] = BuildDisplaySettingsFile(program.app.display.listLineTemplate, program.app.display.layoutText);
    fs.files[kIni] = BuildIndexFileText({kDat, kKta, kKdp}, program.app.index);
    request.indexPath = kIni;
    request.outDir = kOut;
  }
  ExportSummary Run() { return RunExport(platform, fs, request, &reporter); }
  std::string Out(const std::string& relative) {
    auto it = fs.files.find(std::string(kOut) + "\\" + relative);
    return it == fs.files.end() ? "(missing)" : it->second;
  }
  bool WroteAnything() const {
    for (const auto& [path, bytes] : fs.files) {
      if (path.rfind(kOut, 0) == 0) return true;
    }
    return false;
  }

  FakePlatform platform;  // its boxes; its own files stay unused
  FakeFileSystem fs;
  ExportRequest request;
  Recorder reporter;
};

TEST(ExportInMemory, WritesEveryFileWithItsChecksumAndTheEvidenceAsRead) {
  MemoryExport e;
  const ExportSummary s = e.Run();
  ASSERT_EQ(s.status, ExportStatus::Written) << (e.platform.boxes.empty() ? "" : e.platform.boxes[0].text);
  EXPECT_TRUE(e.platform.boxes.empty());
  EXPECT_TRUE(e.platform.files.empty());
  EXPECT_EQ(e.reporter.coverageRecords, 3);
  EXPECT_EQ(s.times.records, 3);
  EXPECT_EQ(s.times.attachmentFiles, 1);
  EXPECT_EQ(e.Out("records\\0001\\000001.txt"), "From: a@x\r\nbody\0NUL"s);
  EXPECT_EQ(e.Out("attachments\\0001\\000002-1-p.jpg"), "JPEG");

  // Every file written is in SHA256SUMS with the checksum of its bytes, the
  // evidence under the path it was read from.
  const std::string sums = e.Out("SHA256SUMS");
  int written = 0;
  for (const auto& [path, bytes] : e.fs.files) {
    if (path.rfind(std::string(kOut) + "\\", 0) != 0 || path == std::string(kOut) + "\\SHA256SUMS") continue;
    std::string relative = path.substr(std::string(kOut).size() + 1);
    for (char& c : relative) c = c == '\\' ? '/' : c;
    EXPECT_NE(sums.find(Sha256SumsLine(Sha256Hex(bytes), relative)), std::string::npos) << relative;
    ++written;
  }
  EXPECT_EQ(written + 1, s.times.files);
  for (const char* evidence : {kDat, kKta, kKdp, kIni}) {
    EXPECT_NE(sums.find(Sha256SumsLine(Sha256Hex(e.fs.files[evidence]), evidence)), std::string::npos) << evidence;
  }
}

TEST(ExportInMemory, RefusesBeforeWritingAnything) {
  struct Case {
    const char* what;
    void (*arrange)(MemoryExport&);
    const char* box;  // empty: none
  };
  const Case cases[] = {
      {"output folder not empty",
       [](MemoryExport& e) {
         e.fs.folders.insert(kOut);
         e.fs.files[std::string(kOut) + "\\x"] = "x";
       },
       "出力フォルダ C:\\out は空ではありません!!"},
      {"output is a file", [](MemoryExport& e) { e.fs.files[kOut] = "x"; }, "出力フォルダ C:\\out はフォルダではありません!!"},
      {"record past the index",
       [](MemoryExport& e) {
         std::string why;
         ASSERT_TRUE(RecordChoice::Parse("2-5", &e.request.choice, &why));
       },
       ""},
  };
  for (const Case& c : cases) {
    MemoryExport e;
    c.arrange(e);
    const bool hadOut = e.fs.files.count(kOut) != 0 || e.WroteAnything();
    EXPECT_EQ(e.Run().status, ExportStatus::Failed) << c.what;
    if (*c.box) {
      ASSERT_EQ(e.platform.boxes.size(), 1u) << c.what;
      EXPECT_EQ(e.platform.boxes[0].text, c.box) << c.what;
    } else {
      EXPECT_TRUE(e.platform.boxes.empty()) << c.what;
      ASSERT_EQ(e.reporter.missing.size(), 1u) << c.what;
      EXPECT_EQ(e.reporter.missing[0], std::make_pair(int32_t{5}, int32_t{3})) << c.what;
    }
    if (!hadOut) {
      EXPECT_FALSE(e.WroteAnything()) << c.what;
    }
    EXPECT_TRUE(e.reporter.lines.empty()) << c.what;
  }
}

// A file that cannot be written ends the export with its box, naming it,
// the mobile file held whole or read in pieces.
TEST(ExportInMemory, AFileThatCannotBeWrittenIsToldByItsPath) {
  for (const std::uint64_t held : {kHeldMobileBytes, std::uint64_t{0}}) {
    MemoryExport e;
    e.request.heldMobileBytes = held;
    e.fs.unwritable.insert(std::string(kOut) + "\\records\\0001\\000002.txt");
    EXPECT_EQ(e.Run().status, ExportStatus::Failed) << held;
    ASSERT_EQ(e.platform.boxes.size(), 1u) << held;
    EXPECT_EQ(e.platform.boxes[0].text, "ファイルオープンに失敗\r\nC:\\out\\records\\0001\\000002.txt") << held;
    EXPECT_EQ(e.Out("SHA256SUMS"), "(missing)") << held;
  }
}

// The files of an export, the moment it was made taken out of the report
// (and so out of its checksum line).
std::map<std::string, std::string> Written(const FakeFileSystem& fs) {
  const std::regex madeAt("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} UTC");
  const std::regex reportSum("[0-9a-f]{64}  report\\.html\n");
  std::map<std::string, std::string> out;
  for (const auto& [path, bytes] : fs.files) {
    if (path.rfind(std::string(kOut) + "\\", 0) != 0) continue;
    out[path] = std::regex_replace(std::regex_replace(bytes, madeAt, "(time)"), reportSum, "(report)\n");
  }
  return out;
}

// A mobile file read a window at a time gives the export, byte for byte,
// that the file held whole gives: records, table, pages, report and sums.
TEST(ExportInMemory, AMobileFileReadInPiecesWritesWhatOneHeldWholeWrites) {
  MemoryExport whole;
  ASSERT_EQ(whole.Run().status, ExportStatus::Written);
  MemoryExport pieces;
  ExtractionSettings s;
  const std::string& kta = pieces.fs.files[kKta];
  for (std::size_t i = 0; i * kEntryBytes < kta.size() && i < s.entries.size(); ++i) {
    DecodeEntry(std::string_view(kta).substr(i * kEntryBytes, kEntryBytes), s.entries[i]);
  }
  ASSERT_TRUE(WalkReadsFileForRecordOnly(s));  // else this would test nothing
  pieces.request.heldMobileBytes = 0;
  ASSERT_EQ(pieces.Run().status, ExportStatus::Written)
      << (pieces.platform.boxes.empty() ? "" : pieces.platform.boxes[0].text);
  EXPECT_EQ(Written(pieces.fs), Written(whole.fs));
  EXPECT_GE(Written(whole.fs).size(), 8u);
}

// An index file read in pieces, its list lines read again as the records
// are written, gives the export that one read whole gives: all records or
// some, the mobile file held whole or read in pieces.
TEST(ExportInMemory, AnIndexFileReadInPiecesWritesWhatOneReadWholeWrites) {
  for (const char* records : {"", "2-3", "1,3"}) {
    for (const std::uint64_t heldMobile : {kHeldMobileBytes, std::uint64_t{0}}) {
      const std::string what = std::string(records) + " held " + std::to_string(heldMobile);
      MemoryExport whole;
      MemoryExport pieces;
      for (MemoryExport* e : {&whole, &pieces}) {
        std::string why;
        if (*records) {
          ASSERT_TRUE(RecordChoice::Parse(records, &e->request.choice, &why)) << why;
        }
        e->request.heldMobileBytes = heldMobile;
      }
      pieces.request.heldIndexBytes = 0;
      ASSERT_EQ(whole.Run().status, ExportStatus::Written) << what;
      ASSERT_EQ(pieces.Run().status, ExportStatus::Written)
          << what << (pieces.platform.boxes.empty() ? "" : pieces.platform.boxes[0].text);
      EXPECT_EQ(Written(pieces.fs), Written(whole.fs)) << what;
    }
  }
}

// Reads past the first whole pass give other bytes (from becomes to).
class ChangingReader : public FileReader {
 public:
  ChangingReader(std::unique_ptr<FileReader> r, char from, char to) : r_(std::move(r)), from_(from), to_(to) {}
  std::uint64_t Size() const override { return r_->Size(); }
  bool ReadAt(std::uint64_t offset, std::size_t length, std::string* bytes) override {
    const std::size_t was = bytes->size();
    if (!r_->ReadAt(offset, length, bytes)) return false;
    if (passed_ >= Size()) {
      for (std::size_t i = was; i < bytes->size(); ++i) (*bytes)[i] = (*bytes)[i] == from_ ? to_ : (*bytes)[i];
    }
    passed_ = std::max<std::uint64_t>(passed_, offset + length);
    return true;
  }

 private:
  std::unique_ptr<FileReader> r_;
  std::uint64_t passed_ = 0;
  char from_;
  char to_;
};
class ChangingFiles : public ForwardingFileSystem {
 public:
  ChangingFiles(FileSystem& target, char from = 'a', char to = 'b')
      : ForwardingFileSystem(target), from_(from), to_(to) {}
  ReadStatus OpenFileReader(const std::string& path, std::unique_ptr<FileReader>* reader) override {
    const ReadStatus rs = Target().OpenFileReader(path, reader);
    if (rs == ReadStatus::Ok) *reader = std::make_unique<ChangingReader>(std::move(*reader), from_, to_);
    return rs;
  }

 private:
  char from_;
  char to_;
};

// The file read in pieces is read twice; a file that changed in between
// fails the export with its box, never passing other bytes as the evidence.
TEST(ExportInMemory, AMobileFileThatChangesWhileReadInPiecesFailsTheExport) {
  MemoryExport e;
  e.request.heldMobileBytes = 0;
  ChangingFiles files(e.fs);
  EXPECT_EQ(RunExport(e.platform, files, e.request).status, ExportStatus::Failed);
  ASSERT_EQ(e.platform.boxes.size(), 1u);
  EXPECT_EQ(e.platform.boxes[0].text, std::string("携帯ファイルがエクスポートの間に変わりました!!\r\n") + kDat);
  EXPECT_EQ(e.Out("SHA256SUMS"), "(missing)");
}

// The index file read in pieces is read twice too: changed in between, it
// fails the export with its box.
TEST(ExportInMemory, AnIndexFileThatChangesWhileReadInPiecesFailsTheExport) {
  MemoryExport e;
  e.request.heldIndexBytes = 0;
  ChangingFiles files(e.fs, '1', '2');
  EXPECT_EQ(RunExport(e.platform, files, e.request).status, ExportStatus::Failed);
  ASSERT_EQ(e.platform.boxes.size(), 1u);
  EXPECT_EQ(e.platform.boxes[0].text, std::string("インデックスファイルがエクスポートの間に変わりました!!\r\n") + kIni);
  EXPECT_EQ(e.Out("SHA256SUMS"), "(missing)");
}

}  // namespace
}  // namespace tanavo
