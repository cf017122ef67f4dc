// The Windows back end of what the export needs: SHA-256 through CNG, the
// folder inspection, new files and the UTF-8 of code page 932 texts, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/console/utf8.h"
#include "platform/digest.h"
#include "platform/folders.h"
#include "platform/new_files.h"

namespace tanavo {
namespace {

std::string TempFolder(const char* name) {
  char buf[MAX_PATH] = {};
  GetTempPathA(sizeof buf, buf);
  return std::string(buf) + name + std::to_string(GetCurrentProcessId());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
  return ok && put == bytes.size();
}

// The test vectors of FIPS 180-2; a million "a" spans pieces of the file read.
TEST(GuiExportFacade, Sha256OfBytesAndOfFilesInPieces) {
  const struct {
    std::string bytes;
    const char* sha256;
  } vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  const std::string file = TempFolder("tanavo_sha_") + ".bin";
  for (const auto& v : vectors) {
    Sha256Digest d{};
    ASSERT_TRUE(Sha256OfBytes(v.bytes, &d));
    EXPECT_EQ(HexDigest(d), v.sha256);
    ASSERT_TRUE(WriteBytes(file, v.bytes));
    std::uint64_t size = 1;
    Sha256Digest f{};
    ASSERT_TRUE(Sha256OfFile(file, &f, &size));
    EXPECT_EQ(HexDigest(f), v.sha256);
    EXPECT_EQ(size, v.bytes.size());
  }
  DeleteFileA(file.c_str());
  Sha256Digest d{};
  std::uint64_t size = 0;
  EXPECT_FALSE(Sha256OfFile(file, &d, &size));
}

TEST(GuiExportFacade, FoldersNewFilesAndCodePage932Names) {
  const std::string folder = TempFolder("tanavo_folder_");
  EXPECT_EQ(InspectFolder(folder), FolderState::Missing);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(InspectFolder(folder), FolderState::Empty);
  ASSERT_TRUE(WriteBytes(folder + "\\x.txt", "x"));
  EXPECT_EQ(InspectFolder(folder), FolderState::NotEmpty);
  EXPECT_EQ(InspectFolder(folder + "\\x.txt"), FolderState::NotAFolder);

  const std::string fresh = folder + "\\new.txt";
  EXPECT_EQ(WriteNewFile(fresh, "first"), WriteStatus::Ok);
  EXPECT_EQ(WriteNewFile(fresh, "second"), WriteStatus::CannotCreate);
  EXPECT_TRUE(SyncNewFiles({fresh}));
  Sha256Digest d{};
  std::uint64_t size = 0;
  ASSERT_TRUE(Sha256OfFile(fresh, &d, &size));
  EXPECT_EQ(size, 5u);  // the first write stands
  DeleteFileA(fresh.c_str());
  DeleteFileA((folder + "\\x.txt").c_str());
  RemoveDirectoryA(folder.c_str());

  // A pair without a character keeps its bytes, as iconv does natively.
  EXPECT_EQ(Cp932ToUtf8("\x95\x5c"), "\xe8\xa1\xa8");  // 表
  EXPECT_EQ(Cp932ToUtf8("a\x85\x40" "b"), "a\x85@b");
  EXPECT_EQ(NativeNameToUtf8("\x95\x5c.txt"), "\xe8\xa1\xa8.txt");
}

// The output folder held open on Windows: files and subfolders created new
// through it, nothing already there replaced, a scratch file read back and
// gone when dropped, the folder itself refused when not empty or a file; a
// streamed hash equals the hash of the whole.
TEST(GuiExportFacade, OutputFolderCreatesEverythingNewBeneathIt) {
  const std::string path = TempFolder("tanavo_output_");
  std::unique_ptr<OutputFolder> out;
  bool made = false;
  ASSERT_EQ(OutputFolder::Open(path, true, &out, &made), FolderOpen::Ok);
  EXPECT_TRUE(made);
  ASSERT_TRUE(WriteNewFileIn(*out, "a.txt", "one"));
  bool exists = false;
  EXPECT_FALSE(out->Create("a.txt", &exists));
  EXPECT_TRUE(exists);
  std::unique_ptr<OutputFolder> sub = out->MakeFolder("records");
  ASSERT_TRUE(sub);
  EXPECT_FALSE(out->MakeFolder("records"));
  ASSERT_TRUE(WriteNewFileIn(*sub, "0001.txt", "r"));
  { std::unique_ptr<NewFile> f = out->Create("half.txt"); ASSERT_TRUE(f && f->Append("x")); }
  EXPECT_EQ(GetFileAttributesA((path + "\\half.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  {
    std::unique_ptr<ScratchFile> scratch = out->CreateScratch();
    ASSERT_TRUE(scratch);
    const std::string big(2 * kNewFileBufferBytes + 3, 's');
    ASSERT_TRUE(scratch->Append("ab") && scratch->Append(big));
    std::string back;
    ASSERT_TRUE(scratch->ReadBack([&](std::string_view piece) { back.append(piece); return true; }));
    EXPECT_EQ(back, "ab" + big);
  }
  EXPECT_TRUE(out->Sync());
  std::unique_ptr<OutputFolder> again;
  EXPECT_EQ(OutputFolder::Open(path, true, &again), FolderOpen::NotEmpty);
  EXPECT_EQ(OutputFolder::Open(path, false, &again), FolderOpen::Ok);
  EXPECT_EQ(OutputFolder::Open(path + "\\a.txt", true, &again), FolderOpen::NotAFolder);
  EXPECT_EQ(OutputFolder::Open(path + "\\none\\x", true, &again), FolderOpen::CannotCreate);
  again.reset();
  sub.reset();
  out.reset();
  std::uint64_t size = 0;
  Sha256Digest d{};
  ASSERT_TRUE(Sha256OfFile(path + "\\records\\0001.txt", &d, &size));
  EXPECT_EQ(size, 1u);
  DeleteFileA((path + "\\records\\0001.txt").c_str());
  RemoveDirectoryA((path + "\\records").c_str());
  DeleteFileA((path + "\\a.txt").c_str());
  EXPECT_TRUE(RemoveDirectoryA(path.c_str()));  // the scratch file is gone

  Sha256Stream stream;
  ASSERT_TRUE(stream.Add("ab") && stream.Add("c"));
  ASSERT_TRUE(stream.Finish(&d));
  EXPECT_EQ(HexDigest(d), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace tanavo
