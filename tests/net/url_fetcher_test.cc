// The fetcher against the reference download service on 127.0.0.1: memory
// and file transfers, progress, the mended failure cases, cancel and
// clean-up.

#include "net/url_fetcher.h"

#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/net/net_test_util.h"

namespace {

using namespace net_test;

class Listener : public net::URLFetcher::URLFetcherDelegate {
 public:
  void OnFetchComplete(const net::URLFetcher* source) override {
    ++completions;
    succeeded = source->succeeded();
    body = source->body();
    code = source->error_code();
    progress_before_completion = progress.size();
    base::MessageLoop::Current()->Quit();
  }
  void OnFetchProgress(const net::URLFetcher* source, double fraction) override {
    (void)source;
    progress.push_back(fraction);
  }

  int completions = 0;
  bool succeeded = false;
  std::string body;
  int code = -1;
  std::vector<double> progress;
  size_t progress_before_completion = 0;
};

class URLFetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(ServicePort(), 0) << "run under tools/with_service.sh";
    folder_ = TempFolder(L"fetch");
  }

  // Runs one transfer to its completion (bounded).
  base::scoped_refptr<net::URLFetcher> Fetch(const net::FetchRequest& request) {
    base::scoped_refptr<net::URLFetcher> fetcher(new net::URLFetcher(request, &listener_));
    fetcher->Start();
    if (!RunUiLoop(30000)) {
      ADD_FAILURE() << "no completion for " << request.url;
      fetcher->Cancel();  // the listener dies with the test
    }
    return fetcher;
  }

  Listener listener_;
  std::wstring folder_;
};

TEST_F(URLFetcherTest, MemoryBodies) {
  const struct { const char* file; bool succeeded; const char* body; } cases[] = {
      {"body.txt", true, "{\"downloadUrl\": \"http://127.0.0.1/pkg.zip\"}"},
      {"zero_inside.txt", true, "before"},  // text up to the zero of that chunk
      {"over_cap.txt", false, nullptr},     // a body over 1 MiB fails
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(Control("reset=1&answer_file=" + FixtureUnixPath(c.file)));
    listener_ = Listener();
    Fetch(net::FetchRequest(ServiceUrl("/quill/orv/download?version=1")));
    EXPECT_EQ(listener_.completions, 1);
    EXPECT_EQ(listener_.succeeded, c.succeeded);
    if (c.body) {
      EXPECT_EQ(listener_.body, c.body);
    }
  }
}

TEST_F(URLFetcherTest, MemoryFailuresByStatusAndConnection) {
  ASSERT_TRUE(Control("reset=1"));
  const std::string urls[] = {
      ServiceUrl("/no/such/path"),                         // 404
      ServiceUrl("/pkg/small.bin?sign=bad&t=1"),           // 403
      "http://127.0.0.1:1/quill/orv/download",             // nobody listens
  };
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    listener_ = Listener();
    Fetch(net::FetchRequest(url));
    EXPECT_EQ(listener_.completions, 1);
    EXPECT_FALSE(listener_.succeeded);
    EXPECT_EQ(listener_.code, net::kFetchErrorNone);
  }
}

TEST_F(URLFetcherTest, FilesArriveWhole) {
  // file, intermediate progress expected
  const struct { const char* file; bool intermediate; } cases[] = {
      {"small.bin", false},     // under one progress step: only the final 1.0
      {"step.bin", false},      // exactly one step is not more than one step
      {"multiple.bin", true},   // ends on a read of 0 bytes after full chunks
      {"large.bin", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(ServeFixture(c.file));
    listener_ = Listener();
    std::wstring path = folder_ + L"whole.zip";
    auto fetcher = Fetch(net::FetchRequest(SignedPackageUrl(c.file), path));
    ASSERT_TRUE(listener_.succeeded);
    EXPECT_EQ(listener_.code, net::kFetchErrorNone);
    EXPECT_TRUE(ReadFileBytes(path) == ReadFileBytes(FixtureWinePath(c.file)));

    const std::vector<double>& p = listener_.progress;
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(listener_.progress_before_completion, p.size());
    EXPECT_EQ(p.back(), 1.0);
    EXPECT_EQ(p.size() > 1, c.intermediate);
    for (size_t i = 1; i < p.size(); ++i) EXPECT_LE(p[i - 1], p[i]);
    EXPECT_EQ(fetcher->progress(), 1.0);
    fetcher = nullptr;  // a finished download goes with its fetcher
    EXPECT_FALSE(FileExists(path));
  }
}

// A package the service vouched for with a SHA-256 is hashed as it streams:
// a whole file with another digest fails with its own code and no final
// progress.
TEST_F(URLFetcherTest, FilesWithADigestMustMatchIt) {
  std::string digest = ReadFileBytes(FixtureWinePath("large.bin.sha256"));
  ASSERT_EQ(digest.size(), 64u);
  std::string other = digest;
  other[10] = other[10] == '0' ? '1' : '0';
  const struct { std::string sha256; bool succeeded; int code; } cases[] = {
      {digest, true, net::kFetchErrorNone},
      {other, false, net::kFetchErrorDigest},
      {std::string(64, 'f'), false, net::kFetchErrorDigest},
  };
  ASSERT_TRUE(ServeFixture("large.bin"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sha256);
    listener_ = Listener();
    std::wstring path = folder_ + L"hashed.zip";
    auto fetcher = Fetch(net::FetchRequest(SignedPackageUrl("large.bin"), path, c.sha256));
    EXPECT_EQ(listener_.succeeded, c.succeeded);
    EXPECT_EQ(listener_.code, c.code);
    EXPECT_EQ(!listener_.progress.empty() && listener_.progress.back() == 1.0, c.succeeded);
  }
}

// Answers and packages stay out of the user's browser cache: nothing of the
// installer lands outside its install folder.
TEST_F(URLFetcherTest, NothingGoesIntoTheBrowserCache) {
  ASSERT_TRUE(ServeFixture("multiple.bin"));
  const std::string answer_url = ServiceUrl("/quill/orv/download?version=cache-check");
  const std::string package_url = SignedPackageUrl("multiple.bin");
  listener_ = Listener();
  Fetch(net::FetchRequest(answer_url));
  ASSERT_TRUE(listener_.succeeded);
  listener_ = Listener();
  Fetch(net::FetchRequest(package_url, folder_ + L"cached.zip"));
  ASSERT_TRUE(listener_.succeeded);
  for (const std::string& url : {answer_url, package_url}) {
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size)) << url;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << url;
  }
}

TEST_F(URLFetcherTest, BrokenFileTransfersFail) {
  // service options, expected code, whether a file may be created
  const struct { const char* options; int code; bool file_created; } cases[] = {
      {"no_content_length=1", net::kFetchErrorNoLength, false},
      {"status_206=1", net::kFetchErrorNone, false},
      {"fail_first=1&fail_mode=500", net::kFetchErrorNone, false},
      {"fail_first=1&fail_mode=drop&drop_after=300000", net::kFetchErrorNone, true},
      {"short_by=1000", net::kFetchErrorNone, true},  // server closes early
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    ASSERT_TRUE(ServeFixture("large.bin", c.options));
    listener_ = Listener();
    std::wstring path = folder_ + L"broken.zip";
    auto fetcher = Fetch(net::FetchRequest(SignedPackageUrl("large.bin"), path));
    EXPECT_EQ(listener_.completions, 1);
    EXPECT_FALSE(listener_.succeeded);
    EXPECT_EQ(listener_.code, c.code);
    if (!c.file_created) {
      EXPECT_FALSE(FileExists(path));
    }
    if (!listener_.progress.empty()) {
      EXPECT_LT(listener_.progress.back(), 1.0);
    }
    fetcher = nullptr;
    RunUiLoopFor(50);
    EXPECT_FALSE(FileExists(path));  // the fetcher took its file along
  }
}

TEST_F(URLFetcherTest, VolumeTooSmallFailsBeforeWriting) {
  // 8 TiB announced: more than any test machine's free space.
  ASSERT_TRUE(ServeFixture("small.bin", "content_length=8796093022208"));
  std::wstring path = folder_ + L"huge.zip";
  auto fetcher = Fetch(net::FetchRequest(SignedPackageUrl("small.bin"), path));
  EXPECT_FALSE(listener_.succeeded);
  EXPECT_EQ(listener_.code, net::kFetchErrorReserve);
  EXPECT_TRUE(listener_.progress.empty());
  EXPECT_FALSE(FileExists(path));
}

TEST_F(URLFetcherTest, RestartResetsTheResults) {
  ASSERT_TRUE(ServeFixture("small.bin", "no_content_length=1"));
  std::wstring path = folder_ + L"again.zip";
  auto fetcher = Fetch(net::FetchRequest(SignedPackageUrl("small.bin"), path));
  ASSERT_EQ(listener_.code, net::kFetchErrorNoLength);

  ASSERT_TRUE(ServeFixture("small.bin"));
  fetcher->set_url(SignedPackageUrl("small.bin"));
  fetcher->Start();
  EXPECT_EQ(fetcher->error_code(), net::kFetchErrorNone);
  ASSERT_TRUE(RunUiLoop(30000));
  EXPECT_TRUE(listener_.succeeded);
  EXPECT_EQ(listener_.code, net::kFetchErrorNone);
  EXPECT_EQ(listener_.completions, 2);
}

TEST_F(URLFetcherTest, CancelStopsWithoutCallbackAndTheFileGoesWithTheFetcher) {
  // About 3 s for the whole file, so the cancel lands mid-transfer.
  ASSERT_TRUE(ServeFixture("large.bin", "rate=1000000"));
  std::wstring path = folder_ + L"cancelled.zip";
  base::scoped_refptr<net::URLFetcher> fetcher(
      new net::URLFetcher(net::FetchRequest(SignedPackageUrl("large.bin"), path), &listener_));
  fetcher->Start();
  ASSERT_TRUE(RunUiLoopUntil([&] { return !listener_.progress.empty(); }, 20000));
  fetcher->Cancel();
  size_t progress_seen = listener_.progress.size();
  fetcher = nullptr;
  EXPECT_TRUE(RunUiLoopUntil([&] { return !FileExists(path); }, 10000));
  RunUiLoopFor(100);
  EXPECT_EQ(listener_.completions, 0);
  EXPECT_EQ(listener_.progress.size(), progress_seen);
}

}  // namespace
