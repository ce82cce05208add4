// The installer flow's rules as tables: the service answer, the request and
// signed addresses, the location rule, the space message.

#include <gtest/gtest.h>

#include "install_location.h"
#include "package_request.h"
#include "service_answer.h"
#include "sys/md5.h"

namespace {

TEST(ServiceAnswerTest, UsableOnlyWithStringMembers) {
  const struct { const char* body; bool usable; } cases[] = {
      {R"({"downloadUrl":"http://h/p.zip","zipSize":"10","insSize":"20"})", true},
      {R"({"downloadUrl":"https://h/p.zip","zipSize":"0","insSize":"18446744073709551615"})", true},
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
  };
  for (const auto& c : cases) EXPECT_EQ(IsLocationValid(c.text), c.valid) << c.text;
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
