// The controller's adapters over the fetcher, against the reference service.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "net/fetch_file.h"
#include "net/fetch_url.h"
#include "tests/net/net_test_util.h"

namespace {

using namespace net_test;

class Receiver : public FetchURLDelegate, public FetchFileDelegate {
 public:
  void OnFetchUrlDone(std::string text) override {
    bodies.push_back(text);
    base::MessageLoop::Current()->Quit();
  }
  void OnFetchFileDone(bool ok, const FetchResult& result) override {
    ++file_results;
    succeeded = ok;
    code = result.code;
    base::MessageLoop::Current()->Quit();
  }
  void OnFetchFileProgress(double fraction) override { progress.push_back(fraction); }

  std::vector<std::string> bodies;
  int file_results = 0;
  bool succeeded = false;
  int code = -1;
  std::vector<double> progress;
};

class FetchTasksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(ServicePort(), 0) << "run under tools/with_service.sh";
    folder_ = TempFolder(L"tasks");
  }
  Receiver receiver_;
  std::wstring folder_;
};

TEST_F(FetchTasksTest, UrlTaskHandsOverTheBodyOrAnEmptyString) {
  ASSERT_TRUE(Control("reset=1&answer_file=" + FixtureUnixPath("body.txt")));
  CFetchUrl task(&receiver_, ServiceUrl("/quill/orv/download"));
  task.fetcher_->set_url(ServiceUrl("/quill/orv/download?version=1.0.0.1&mac_address=&platform=Windows7"));
  task.fetcher_->Start();
  ASSERT_TRUE(RunUiLoop(30000));

  task.fetcher_->set_url(ServiceUrl("/missing"));  // 404: no error object, just ""
  task.fetcher_->Start();
  ASSERT_TRUE(RunUiLoop(30000));

  ASSERT_EQ(receiver_.bodies.size(), 2u);
  EXPECT_EQ(receiver_.bodies[0], ReadFileBytes(FixtureWinePath("body.txt")));
  EXPECT_EQ(receiver_.bodies[1], "");
}

TEST_F(FetchTasksTest, FileTaskForwardsProgressThenTheResult) {
  ASSERT_TRUE(ServeFixture("large.bin"));
  CFetchFile task(&receiver_, SignedPackageUrl("large.bin"), folder_ + L"task.zip");
  task.fetcher_->Start();
  ASSERT_TRUE(RunUiLoop(30000));
  EXPECT_EQ(receiver_.file_results, 1);
  EXPECT_TRUE(receiver_.succeeded);
  EXPECT_EQ(receiver_.code, 0);
  ASSERT_GT(receiver_.progress.size(), 1u);
  EXPECT_EQ(receiver_.progress.back(), 1.0);
}

TEST_F(FetchTasksTest, FileTaskWithoutSpaceGivesCodeOneAndNoProgress) {
  ASSERT_TRUE(ServeFixture("small.bin", "content_length=8796093022208"));
  CFetchFile task(&receiver_, SignedPackageUrl("small.bin"), folder_ + L"huge.zip");
  task.fetcher_->Start();
  ASSERT_TRUE(RunUiLoop(30000));
  EXPECT_FALSE(receiver_.succeeded);
  EXPECT_EQ(receiver_.code, net::kFetchErrorReserve);
  EXPECT_TRUE(receiver_.progress.empty());
}

TEST_F(FetchTasksTest, DestroyedTaskHearsNothingMore) {
  ASSERT_TRUE(ServeFixture("large.bin", "rate=2000000"));
  std::wstring path = folder_ + L"gone.zip";
  auto task = std::make_unique<CFetchFile>(&receiver_, SignedPackageUrl("large.bin"), path);
  base::scoped_refptr<net::URLFetcher> still_running = task->fetcher_;
  task->fetcher_->Start();
  ASSERT_TRUE(RunUiLoopUntil([&] { return !receiver_.progress.empty(); }, 20000));
  task.reset();
  size_t progress_seen = receiver_.progress.size();
  still_running = nullptr;
  EXPECT_TRUE(RunUiLoopUntil([&] { return !FileExists(path); }, 10000));
  EXPECT_EQ(receiver_.file_results, 0);
  EXPECT_EQ(receiver_.progress.size(), progress_seen);
}

}  // namespace
