// The installer flow's rules as tables: the service answer, the request and
// signed addresses, the location rule, the space message.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install_location.h"
#include "net/url_fetcher.h"
#include "package_request.h"
#include "retry_rule.h"
#include "service_answer.h"
#include "sys/md5.h"

namespace {

TEST(ServiceAnswerTest, UsableOnlyWithStringMembers) {
  const struct { const char* body; bool usable; } cases[] = {
      {R"({"downloadUrl":"http://h/p.zip","zipSize":"10","insSize":"20"})", true},
      {R"({"downloadUrl":"https://h/p.zip","zipSize":"0","insSize":"1125899906842624"})", true},
      {R"({"downloadUrl":"https://h/p.zip","zipSize":"1125899906842625","insSize":"1"})", false},
      {R"({"downloadUrl":"https://h/p.zip","zipSize":"1","insSize":"18446744073709551615"})", false},
      {"/* comment */ {\"downloadUrl\":\"http://h\",\"zipSize\":\"1\",\"insSize\":\"2\"}", true},
      {R"({"downloadUrl":"http://h/p.zip","zipSize":10,"insSize":20})", false},       // numbers
      {R"({"downloadUrl":"ftp://h/p.zip","zipSize":"10","insSize":"20"})", false},
      {R"({"downloadUrl":" http://h/p.zip","zipSize":"10","insSize":"20"})", false},
      {R"({"downloadUrl":"","zipSize":"10","insSize":"20"})", false},
      {R"({"zipSize":"10","insSize":"20"})", false},
      {R"({"downloadUrl":"http://h/p.zip","zipSize":"","insSize":"20"})", false},
      {R"({"downloadUrl":"http://h/p.zip","zipSize":"1e3","insSize":"20"})", false},  // not decimal
      {R"({"downloadUrl":"http://h/p.zip","zipSize":"-5","insSize":"20"})", false},
      {R"({"downloadUrl":"http://h/p.zip","zipSize":"18446744073709551616","insSize":"1"})", false},
      {R"(["http://h/p.zip"])", false},
      {"null", false},
      {R"({"downloadUrl": "http://)", false},
      {"", false},
  };
  for (const auto& c : cases) {
    ServiceAnswer answer;
    EXPECT_EQ(ParseServiceAnswer(c.body, &answer), c.usable) << c.body;
  }
  ServiceAnswer answer;
  std::string zero_first("\0{}", 3);
  EXPECT_FALSE(ParseServiceAnswer(zero_first, &answer));
  ASSERT_TRUE(ParseServiceAnswer(R"({"downloadUrl":"http://h/a","zipSize":"1610612736","insSize":"7"})", &answer));
  EXPECT_EQ(answer.download_url, "http://h/a");
  EXPECT_EQ(answer.zip_size, 1610612736u);
  EXPECT_EQ(answer.install_size, 7u);
}

std::string Answer(const std::string& url, const std::string& sha256_member) {
  return R"({"downloadUrl":")" + url + R"(","zipSize":"10","insSize":"20")" +
         sha256_member + "}";
}

TEST(ServiceAnswerTest, Sha256MemberIsOptionalButMustBeADigest) {
  const std::string hex(64, 'a');
  const struct { std::string member; bool usable; std::string sha256; } cases[] = {
      {"", true, ""},
      {R"(,"sha256":")" + hex + R"(")", true, hex},
      {R"(,"sha256":")" + std::string(32, 'A') + std::string(32, 'f') + R"(")", true,
       std::string(32, 'a') + std::string(32, 'f')},                      // either case
      {R"(,"sha256":")" + std::string(63, 'a') + R"(")", false, ""},
      {R"(,"sha256":")" + std::string(65, 'a') + R"(")", false, ""},
      {R"(,"sha256":")" + std::string(63, 'a') + R"(g")", false, ""},
      {R"(,"sha256":"")", false, ""},
      {R"(,"sha256":null)", false, ""},
      {R"(,"sha256":1)", false, ""},
      {R"(,"sha256":[")" + hex + R"("])", false, ""},
  };
  for (const auto& c : cases) {
    ServiceAnswer answer;
    std::string body = Answer("https://h/p.zip", c.member);
    EXPECT_EQ(ParseServiceAnswer(body, &answer), c.usable) << body;
    if (c.usable) {
      EXPECT_EQ(answer.sha256, c.sha256) << body;
    }
  }
}

// Answers from a hostile network: none may end the process or be taken.
TEST(ServiceAnswerTest, HostileAnswersAreUnusableNotFatal) {
  const std::string deep_array = std::string(5000, '[') + std::string(5000, ']');
  const std::string deep_member = R"({"downloadUrl":"http://h/a","zipSize":"1","insSize":"1","x":)" +
                                  std::string(5000, '{') + "";
  const std::string long_url = "https://h/" + std::string(kMaxDownloadUrl - 10, 'a');
  const struct { std::string body; bool usable; } cases[] = {
      {deep_array, false},
      {deep_member, false},
      {R"({"x":)" + std::string(kMaxAnswerDepth + 1, '[') + std::string(kMaxAnswerDepth + 1, ']') +
           R"(,"downloadUrl":"http://h/a","zipSize":"1","insSize":"1"})", false},
      {Answer(long_url, ""), true},                       // exactly the longest taken
      {Answer(long_url + "a", ""), false},
      {Answer("https://h/" + std::string(60000, 'a'), ""), false},
  };
  for (const auto& c : cases) {
    ServiceAnswer answer;
    EXPECT_EQ(ParseServiceAnswer(c.body, &answer), c.usable) << c.body.substr(0, 60);
  }
}

TEST(ServiceAnswerTest, NoPlainHttpPackageFromAnHttpsServiceWithoutADigest) {
  const std::string hex(64, '0');
  const struct { const char* endpoint; const char* package; bool digest; bool allowed; } cases[] = {
      {"https://svc/quill/orv/download", "https://cdn/p.zip", false, true},
      {"https://svc/quill/orv/download", "http://cdn/p.zip", false, false},
      {"https://svc/quill/orv/download", "http://cdn/p.zip", true, true},
      {"https://svc/quill/orv/download", "httpx://cdn/p.zip", false, false},
      {"https://svc/quill/orv/download", "HTTPS://cdn/p.zip", false, false},
      {"http://svc/quill/orv/download", "http://cdn/p.zip", false, true},
      {"http://svc/quill/orv/download", "https://cdn/p.zip", false, true},
  };
  for (const auto& c : cases) {
    ServiceAnswer answer;
    answer.download_url = c.package;
    answer.sha256 = c.digest ? hex : "";
    EXPECT_EQ(IsPackageAddressAllowed(answer, c.endpoint), c.allowed)
        << c.endpoint << " -> " << c.package << (c.digest ? " with sha256" : "");
  }
}

// Failed attempts in order, each with its fetch error, and what the last
// one leads to.
TEST(RetryRuleTest, WhatAFailedDownloadLeadsTo) {
  const int kOther = net::kFetchErrorNone, kDigest = net::kFetchErrorDigest;
  const struct { std::vector<int> errors; AfterFailure last; } cases[] = {
      {{kOther}, AfterFailure::kRetry},
      {{net::kFetchErrorReserve}, AfterFailure::kNoDiskSpace},
      {{net::kFetchErrorNoLength}, AfterFailure::kRetry},
      {std::vector<int>(255, kOther), AfterFailure::kRetry},
      {std::vector<int>(256, kOther), AfterFailure::kCannotConnect},
      {{kDigest, kDigest}, AfterFailure::kRetry},
      {{kDigest, kOther, kDigest, kOther, kOther}, AfterFailure::kRetry},
      {{kDigest, kOther, kDigest, kOther, kDigest}, AfterFailure::kCannotConnect},
      {{kDigest, kDigest, kDigest}, AfterFailure::kCannotConnect},
  };
  for (const auto& c : cases) {
    DownloadFailures failures;
    AfterFailure last = AfterFailure::kRetry;
    for (size_t i = 0; i < c.errors.size(); ++i) {
      last = CountFailure(c.errors[i], &failures);
      if (i + 1 < c.errors.size()) {
        ASSERT_EQ(last, AfterFailure::kRetry) << "attempt " << i + 1;
      }
    }
    EXPECT_EQ(last, c.last) << c.errors.size() << " failed attempts";
  }
}

TEST(PackageRequestTest, QueryInFixedOrderWithoutEscaping) {
  EXPECT_EQ(ComposePackageRequest("https://svc/quill/orv/download", "1.0.0.0", "001122AABBCC", "Windows7"),
            "https://svc/quill/orv/download?version=1.0.0.0&mac_address=001122AABBCC&platform=Windows7");
  EXPECT_EQ(ComposePackageRequest("http://e", "", "", "unknown"),
            "http://e?version=&mac_address=&platform=unknown");
}

TEST(PackageRequestTest, SignatureCoversKeyPathAndTime) {
  const std::string key = "abcdefghijklmnopqrstuv";
  // address, the path that is signed
  const struct { const char* address; const char* path; } cases[] = {
      {"https://cdn.example.com/pkg/full.zip", "/pkg/full.zip"},
      {"https://cdn.example.com", "/"},
      {"http://127.0.0.1:8600/pkg/full.zip", ""},      // a port: no path signed
      {"https://cdn.example.com/a-b.zip", ""},         // a hyphen in the path
  };
  for (const auto& c : cases) {
    std::string t = "1700000000";
    std::string expected = std::string(c.address) + "?sign=" +
                           MD5(key + c.path + t).HexDigest() + "&t=" + t;
    EXPECT_EQ(SignDownloadAddress(c.address, key, 1700000000), expected) << c.address;
  }
  EXPECT_EQ(SignDownloadAddress("http://h/a", key, 5), SignDownloadAddress("http://h/a", key, 5));
  EXPECT_NE(SignDownloadAddress("http://h/a", key, 5), SignDownloadAddress("http://h/a", key, 6));
  // A query already there gets a second question mark; t is a signed 32-bit value.
  EXPECT_EQ(SignDownloadAddress("http://h/a?x=1", key, 1).find("http://h/a?x=1?sign="), 0u);
  EXPECT_NE(SignDownloadAddress("http://h/a", key, 0x80000000LL).find("&t=-2147483648"), std::string::npos);
}

TEST(InstallLocationTest, LocationRule) {
  const struct { const wchar_t* text; bool valid; } cases[] = {
      {L"C:\\", true},
      {L"D:\\Games\\Orv", true},
      {L"D:\\Games\\", true},
      {L"C:\\Games\\Orv.1", true},
      {L"C:", false},
      {L"C:\\Games\\\\Orv", false},
      {L"C:\\Games\\.orv", false},
      {L"C:\\Games.\\Orv", false},
      {L"Games\\Orv", false},
      {L"\\\\server\\share\\Orv", false},
      {L"C:/Games/Orv", false},
      {L"C:\\Ga*mes", false},
      {L"C:\\Games\\Orv.", false},
      {L"", false},
      {L"C:\\Ga\nmes", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLocationValid(c.text), c.valid) << c.text;
  // Pasted text of any length is checked without stack per character.
  std::wstring long_name(200000, L'a');
  EXPECT_TRUE(IsLocationValid(L"C:\\" + long_name));
  EXPECT_FALSE(IsLocationValid(L"C:\\" + long_name + L"|"));
}

TEST(InstallLocationTest, PathsAndTrailingSeparator) {
  EXPECT_EQ(LocationFromText(L"D:\\Games\\"), L"D:\\Games");
  EXPECT_EQ(LocationFromText(L"D:\\Games"), L"D:\\Games");
  EXPECT_EQ(InstallFolderFor(L"D:\\Games"), L"D:\\Games\\ORVChina");
  EXPECT_EQ(PackagePathFor(L"D:\\Games", 1700000000), L"D:\\Games\\ORVChina\\AppPackZip1700000000.zip");
}

TEST(InstallLocationTest, SpaceNeededAndItsMessage) {
  EXPECT_EQ(NeededBytes(0, 0), 1073741824u);
  uint64_t need = NeededBytes(1610612736ULL, 3221225472ULL);
  EXPECT_EQ(need, 5905580032ULL);
  EXPECT_EQ(ShortageText(false, need),
            L"This installation requires at least 5.50 GB hard disk space, please reSelect the "
            L"installation directory!");
  EXPECT_EQ(ShortageText(true, NeededBytes(0, 0)),
            L"本次游戏安装需要至少 1.00 GB 的硬盘空间，请重新选择安装目录！");
  EXPECT_TRUE(HasEnoughSpace(L"C:\\users\\x.zip", 0, 0));
  EXPECT_FALSE(HasEnoughSpace(L"C:\\users\\x.zip", 1ULL << 62, 0));
  EXPECT_FALSE(HasEnoughSpace(L"Q:\\nowhere\\x.zip", 0, 0));  // unreadable: too little
  EXPECT_FALSE(HasEnoughSpace(L"relative\\x.zip", 0, 0));
}

}  // namespace
