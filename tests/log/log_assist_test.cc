// The log's route: Log posts to ui_thread, the filter drops or forwards, the
// writer appends to the log file. And the rule that picks the log file.

#include "log/log_assist.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/message_loop.h"
#include "base/thread_table.h"

namespace {

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A UI loop registered as ui_thread for the test's duration.
class LogAssistTest : public testing::Test {
 protected:
  void SetUp() override {
    base::RegisterThreadLoop(base::kThreadUi, &ui_);
    file_ = TempFolder(L"log_assist") + L"out.log";
    DeleteFileW(file_.c_str());
  }
  void TearDown() override {
    base::RegisterThreadLoop(base::kThreadUi, nullptr);
    DeleteFileW(file_.c_str());
  }

  // Lets ui_thread filter every posted line, then lets the writer finish.
  void Flush(applog::LogAssist& log) {
    ui_.PostQuit();
    ui_.Run();
    if (base::Thread* writer = log.writer().Peek()) writer->Stop();
  }

  void Enable(applog::LogAssist& log) {
    log.set_enabled(true);
    log.set_ready(true);
    log.set_flags(applog::kLogSource | applog::kLogToFile);
    log.set_log_file(file_);
    ASSERT_TRUE(log.writer().Get()->Start());
  }

  base::MessageLoop ui_{base::MessageLoop::kLoopUi};
  std::wstring file_;
};

TEST_F(LogAssistTest, ShippedSettingsWriteNothingWhateverTheLevel) {
  applog::LogAssist log;
  log.set_log_file(file_);  // even with a file and a running writer
  ASSERT_TRUE(log.writer().Get()->Start());
  log.Init(3, L"LOGINIT\\");
  for (int level : {0, 1, 3, 4}) log.Log("src\\Main", 67, level, "sys lang: 1033");
  Flush(log);
  EXPECT_FALSE(Exists(file_));
}

TEST_F(LogAssistTest, ThresholdDropsHigherLevelsAndPassesItsOwn) {
  applog::LogAssist log;
  Enable(log);
  log.Log("src\\Main", 75, 4, "too detailed");
  log.Log("src\\Main", 75, 3, "app started 1.0.0.1");
  log.Log("src\\net\\url_fetcher", 9, 2, "***failed***");
  Flush(log);
  // Text mode: the C runtime writes CR LF.
  EXPECT_EQ(ReadFile(file_), "app started 1.0.0.1  Main[75]\r\n***failed***  url_fetcher[9]\r\n");
}

TEST_F(LogAssistTest, NotReadyOrNoRunningWriterDropsTheLine) {
  {
    applog::LogAssist log;
    Enable(log);
    log.set_ready(false);
    log.Log("a", 1, 3, "dropped");
    Flush(log);
  }
  {
    applog::LogAssist log;
    log.set_enabled(true);
    log.set_ready(true);
    log.set_log_file(file_);  // writer never started
    log.Log("a", 1, 3, "dropped");
    Flush(log);
  }
  EXPECT_FALSE(Exists(file_));
}

TEST(LogWithoutUiLoopTest, LineIsDroppedQuietly) {
  ASSERT_EQ(base::ThreadLoop(base::kThreadUi), nullptr);
  applog::LogAssist log;
  log.Log("a", 1, 3, "nowhere to go");
}

void WriteBytes(const std::wstring& path, size_t size, int age_days) {
  {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << std::string(size, 'z');
  }
  HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ULARGE_INTEGER t;
  t.QuadPart = 133000000000000000ULL - static_cast<ULONGLONG>(age_days) * 864000000000ULL;
  FILETIME ft = {t.LowPart, t.HighPart};
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
}

TEST(ChooseLogFileTest, PicksTheFirstSmallFileOrReusesTheOlderFullOne) {
  const long kFull = 2097152, kSmall = 10;
  const struct {
    const char* what;
    long size0, size1;  // -1: missing
    int age0, age1;
    const wchar_t* chosen;
    bool chosen_emptied;
  } cases[] = {
      {"none yet", -1, -1, 0, 0, L"0.log", false},
      {"0 small", kSmall, -1, 0, 0, L"0.log", false},
      {"0 just below the limit", kFull - 1, -1, 0, 0, L"0.log", false},
      {"0 full, 1 missing", kFull, -1, 0, 0, L"1.log", false},
      {"0 full, 1 small", kFull, kSmall, 0, 0, L"1.log", false},
      {"both full, 1 older", kFull, kFull, 1, 2, L"1.log", true},
      {"both full, 0 older", kFull, kFull, 2, 1, L"0.log", true},
      {"both full, same time", kFull, kFull, 1, 1, L"0.log", true},
  };
  for (const auto& c : cases) {
    std::wstring folder = TempFolder(L"choose_log") + L"LOGINIT\\";
    const std::wstring names[2] = {folder + L"0.log", folder + L"1.log"};
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW(names[0].c_str());
    DeleteFileW(names[1].c_str());
    if (c.size0 >= 0) WriteBytes(names[0], static_cast<size_t>(c.size0), c.age0);
    if (c.size1 >= 0) WriteBytes(names[1], static_cast<size_t>(c.size1), c.age1);

    std::wstring chosen = applog::ChooseLogFile(folder);
    EXPECT_EQ(chosen, folder + c.chosen) << c.what;
    if (c.chosen_emptied) {
      EXPECT_FALSE(Exists(chosen)) << c.what;
    }
    DeleteFileW(names[0].c_str());
    DeleteFileW(names[1].c_str());
  }
}

TEST(ChooseLogFileTest, CreatesAMissingFolderAndGivesUpOnAnImpossibleOne) {
  std::wstring folder = TempFolder(L"choose_log_new") + L"a\\b";
  EXPECT_EQ(applog::ChooseLogFile(folder), folder + L"\\0.log");
  EXPECT_TRUE(Exists(folder));
  EXPECT_EQ(applog::ChooseLogFile(L"Q:\\no\\such\\drive\\"), L"");
}

}  // namespace
