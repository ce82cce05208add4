// Disk-space failures on a real small volume: a 1 MiB tmpfs mapped as drive
// S: by with_small_volume.sh (ORV_SMALL_VOLUME). Skipped elsewhere.

#include <gtest/gtest.h>

#include <string>

#include "net/fetch_file.h"
#include "tests/net/net_test_util.h"

namespace {

using namespace net_test;

class Receiver : public FetchFileDelegate {
 public:
  void OnFetchFileDone(bool ok, const FetchResult& result) override {
    ++results;
    succeeded = ok;
    code = result.code;
    base::MessageLoop::Current()->Quit();
  }
  void OnFetchFileProgress(double fraction) override { progress.push_back(fraction); }

  int results = 0;
  bool succeeded = false;
  int code = -1;
  std::vector<double> progress;
};

class SmallVolumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* volume = getenv("ORV_SMALL_VOLUME");
    if (!volume || ServicePort() == 0) GTEST_SKIP() << "no small volume mapped";
    volume_ = std::wstring(volume, volume + strlen(volume));
  }
  std::wstring volume_;
  Receiver receiver_;
};

TEST_F(SmallVolumeTest, PackageLargerThanTheVolumeFailsBeforeAnyByte) {
  ASSERT_TRUE(ServeFixture("large.bin"));  // 3 MiB onto 1 MiB
  std::wstring path = volume_ + L"package.zip";
  CFetchFile task(&receiver_, SignedPackageUrl("large.bin"), path);
  task.fetcher_->Start();
  ASSERT_TRUE(RunUiLoop(30000));
  EXPECT_FALSE(receiver_.succeeded);
  EXPECT_EQ(receiver_.code, net::kFetchErrorReserve);
  EXPECT_TRUE(receiver_.progress.empty());
  EXPECT_FALSE(FileExists(path));
}

TEST_F(SmallVolumeTest, DiskFilledDuringTheTransferGivesCodeOne) {
  // Fits when it starts; another program then takes the remaining space.
  ASSERT_TRUE(ServeFixture("step.bin", "rate=400000"));
  std::wstring path = volume_ + L"package.zip";
  std::wstring filler = volume_ + L"filler.bin";
  CFetchFile task(&receiver_, SignedPackageUrl("step.bin"), path);
  task.fetcher_->Start();
  ASSERT_TRUE(RunUiLoopUntil([&] { return FileExists(path); }, 20000));
  HANDLE file = CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::string block(64 * 1024, 'f');
  DWORD written = 0;
  while (WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
         written == block.size()) {
  }
  CloseHandle(file);
  ASSERT_TRUE(RunUiLoop(30000));
  EXPECT_FALSE(receiver_.succeeded);
  EXPECT_EQ(receiver_.code, net::kFetchErrorReserve);
  DeleteFileW(filler.c_str());
}

}  // namespace
