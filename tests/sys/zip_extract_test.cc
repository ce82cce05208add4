// Unpacking real archives made by Python's zipfile and Info-ZIP (see
// make_zip_fixtures.py) into fresh folders of the Wine prefix.

#include "sys/zip_extract.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path FixtureDir() {
  const char* dir = getenv("ORV_ZIP_FIXTURES");
  return dir ? fs::path(dir) : fs::path();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string bytes(in ? static_cast<size_t>(in.tellg()) : 0, '\0');
  in.seekg(0);
  in.read(&bytes[0], bytes.size());
  return bytes;
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// |path| as found by iterating |root|, without |root|. fs::relative would
// resolve both paths on disk for every one of thousands of entries.
fs::path RelativeTo(const fs::path& path, const fs::path& root) {
  return path.wstring().substr(root.wstring().size() + 1);
}

std::set<std::wstring> RelativeEntries(const fs::path& root) {
  std::set<std::wstring> entries;
  for (const auto& item : fs::recursive_directory_iterator(root))
    entries.insert(RelativeTo(item.path(), root).wstring() +
                   (item.is_directory() ? L"\\" : L""));
  return entries;
}

int64_t LastWriteUnixSeconds(const fs::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  ULARGE_INTEGER t;
  t.LowPart = data.ftLastWriteTime.dwLowDateTime;
  t.HighPart = data.ftLastWriteTime.dwHighDateTime;
  return static_cast<int64_t>(t.QuadPart / 10000000ULL) - 11644473600LL;
}

class ZipExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(FixtureDir().empty()) << "ORV_ZIP_FIXTURES is not set";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    sandbox_ = fs::path(temp) / (L"orv_zip_" + std::to_wstring(GetCurrentProcessId()));
    fs::remove_all(sandbox_);
    dest_ = sandbox_ / L"game";
    fs::create_directories(dest_);
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& item : fs::recursive_directory_iterator(sandbox_, ignored))
      SetFileAttributesW(item.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(sandbox_, ignored);
  }
  bool Extract(const wchar_t* archive) {
    return ExtractZip((FixtureDir() / archive).wstring(), dest_.wstring());
  }
  void ExpectSameAsTree(const wchar_t* tree_name = L"tree") {
    fs::path tree = FixtureDir() / tree_name;
    EXPECT_EQ(RelativeEntries(dest_), RelativeEntries(tree));
    for (const auto& item : fs::recursive_directory_iterator(tree)) {
      if (item.is_directory()) continue;
      fs::path copy = dest_ / RelativeTo(item.path(), tree);
      EXPECT_TRUE(ReadAll(copy) == ReadAll(item.path())) << copy;
    }
  }

  fs::path sandbox_;
  fs::path dest_;
};

TEST_F(ZipExtractTest, ArchivesUnpackByteForByte) {
  const wchar_t* archives[] = {L"python.zip", L"python_zip64.zip", L"infozip.zip",
                               L"infozip_zip64.zip"};
  wchar_t cwd_before[MAX_PATH], cwd_after[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd_before);
  for (const wchar_t* archive : archives) {
    SCOPED_TRACE(fs::path(archive).string());
    fs::remove_all(dest_);
    ASSERT_TRUE(Extract(archive));
    ExpectSameAsTree();
    EXPECT_TRUE(fs::is_directory(dest_ / L"empty" / L"inner"));
    EXPECT_EQ(fs::file_size(dest_ / L"zero.bin"), 0u);
    EXPECT_TRUE(fs::exists(dest_ / L"data" / L"\u4e2d\u6587\u76ee\u5f55" / L"\u8bf4\u660e.txt"));
    EXPECT_NEAR(LastWriteUnixSeconds(dest_ / L"readme.txt"), 1600000000, 2);
  }
  GetCurrentDirectoryW(MAX_PATH, cwd_after);
  EXPECT_STREQ(cwd_before, cwd_after);
}

TEST_F(ZipExtractTest, OverwritesOlderFilesWithoutAsking) {
  WriteAll(dest_ / L"readme.txt", "old readme, longer than the new one\r\n");
  WriteAll(dest_ / L"data" / L"big.bin", "old");
  WriteAll(dest_ / L"saves" / L"slot1.sav", "player data");
  SetFileAttributesW((dest_ / L"readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  ASSERT_TRUE(Extract(L"python.zip"));
  EXPECT_EQ(ReadAll(dest_ / L"readme.txt"), ReadAll(FixtureDir() / L"tree" / L"readme.txt"));
  EXPECT_FALSE(GetFileAttributesW((dest_ / L"readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(fs::file_size(dest_ / L"data" / L"big.bin"),
            fs::file_size(FixtureDir() / L"tree" / L"data" / L"big.bin"));
  EXPECT_EQ(ReadAll(dest_ / L"saves" / L"slot1.sav"), "player data");
}

std::wstring ManyEntryName(int index) {
  wchar_t name[64];
  swprintf(name, 64, L"many\\f%02d\\s%d\\entry_%04d.txt", index % 40, index % 3, index);
  return name;
}

// many.zip: 800 entries hopping between nested folders, some large ones
// between them, and a central directory longer than the archive reader's
// window.
TEST_F(ZipExtractTest, ManyEntriesSharingFolders) {
  const struct {
    const char* label;
    std::vector<int> old_read_only;  // entries already there, read-only
  } cases[] = {
      {"into an empty folder", {}},
      {"over read-only old files in nested folders", {0, 50, 51, 799}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(dest_);
    for (int index : c.old_read_only) {
      fs::path old = dest_ / ManyEntryName(index);
      WriteAll(old, "old");
      ASSERT_TRUE(SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    ASSERT_TRUE(Extract(L"many.zip"));
    ExpectSameAsTree(L"many_tree");
    for (int index : c.old_read_only)
      EXPECT_FALSE(GetFileAttributesW((dest_ / ManyEntryName(index)).c_str()) &
                   FILE_ATTRIBUTE_READONLY)
          << index;
  }
}

TEST_F(ZipExtractTest, CreatesAMissingDestination) {
  dest_ = sandbox_ / L"new" / L"deeper";
  ASSERT_TRUE(Extract(L"python.zip"));
  ExpectSameAsTree();
}

TEST_F(ZipExtractTest, EscapingEntriesFailBeforeAnythingIsWritten) {
  const wchar_t* archives[] = {L"evil_parent.zip", L"evil_drive.zip", L"evil_absolute.zip"};
  for (const wchar_t* archive : archives) {
    SCOPED_TRACE(fs::path(archive).string());
    EXPECT_FALSE(Extract(archive));
    EXPECT_TRUE(fs::is_empty(dest_));
    EXPECT_FALSE(fs::exists(sandbox_ / L"evil.txt"));
    EXPECT_FALSE(fs::exists(L"C:\\evil.txt"));
    EXPECT_FALSE(fs::exists(L"\\evil.txt"));
  }
}

TEST_F(ZipExtractTest, BrokenArchivesFail) {
  const struct { const wchar_t* archive; const wchar_t* broken_entry; } cases[] = {
      {L"missing.zip", nullptr},
      {L"truncated.zip", nullptr},
      {L"crc_stored.zip", L"stored.txt"},
      {L"crc_deflated.zip", L"data\\big.bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(fs::path(c.archive).string());
    fs::remove_all(dest_);
    EXPECT_FALSE(Extract(c.archive));
    // The entry with bad data is not left behind half-written.
    if (c.broken_entry) {
      EXPECT_FALSE(fs::exists(dest_ / c.broken_entry));
    }
  }
}

TEST_F(ZipExtractTest, TargetHeldOpenFails) {
  ASSERT_TRUE(Extract(L"python.zip"));
  HANDLE held = CreateFileW((dest_ / L"data" / L"big.bin").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Extract(L"python.zip"));
  CloseHandle(held);
  EXPECT_TRUE(Extract(L"python.zip"));
}

TEST_F(ZipExtractTest, EntriesBeyondFourGigabytes) {
  fs::path archive = FixtureDir() / L"sparse_zip64.zip";
  if (!fs::exists(archive)) GTEST_SKIP() << "file system keeps no sparse files";
  ASSERT_GT(fs::file_size(archive), 0x100000000ULL);
  ASSERT_TRUE(Extract(L"sparse_zip64.zip"));
  EXPECT_EQ(ReadAll(dest_ / L"near.txt"), "near\n");
  EXPECT_EQ(ReadAll(dest_ / L"far" / L"beyond.txt"), "beyond 4 GiB\n");
}

TEST_F(ZipExtractTest, NamesWithoutUtf8FlagFromWindowsAreOem) {
  if (GetOEMCP() != 437) GTEST_SKIP() << "OEM code page " << GetOEMCP();
  ASSERT_TRUE(Extract(L"oem_name.zip"));
  EXPECT_TRUE(fs::exists(dest_ / L"\u00dcber.txt"));
}

TEST(IsSafeEntryNameTest, OnlyNamesThatStayInside) {
  const struct { const wchar_t* name; bool safe; } cases[] = {
      {L"readme.txt", true},
      {L"data/a/b.txt", true},
      {L"data\\a\\b.txt", true},
      {L"folder/", true},
      {L"./x.txt", true},
      {L"a..b/c..", true},
      {L"..", false},
      {L"../evil.txt", false},
      {L"a/../../evil.txt", false},
      {L"a\\..\\evil.txt", false},
      {L"a/.. /evil.txt", false},
      {L"a/.../evil.txt", false},
      {L"/abs.txt", false},
      {L"\\abs.txt", false},
      {L"C:\\evil.txt", false},
      {L"c:evil.txt", false},
      {L"file.txt:stream", false},
      {L"CON", false},
      {L"data/nul.txt", false},
      {L"com1.dat", false},
      {L"console.txt", true},
      {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.name;
}

}  // namespace
