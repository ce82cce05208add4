#include "log/log_assist.h"

#include <cstdarg>
#include <cstdio>

#include "base/message_loop.h"
#include "base/task.h"
#include "base/thread_table.h"
#include "log/log_line.h"
#include "sys/path_util.h"

namespace applog {

namespace {

constexpr uint64_t kLogFileLimit = 2097152;  // 2 MiB

const char* SourceFileName(const std::string& source) {
  size_t pos = source.find_last_of("\\/");
  return source.c_str() + (pos == std::string::npos ? 0 : pos + 1);
}

struct FileFacts {
  uint64_t size = 0;        // 0 for a missing file
  ULARGE_INTEGER written{}; // last-write time
};

FileFacts FactsOf(const std::wstring& path) {
  FileFacts facts;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    facts.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    facts.written.LowPart = data.ftLastWriteTime.dwLowDateTime;
    facts.written.HighPart = data.ftLastWriteTime.dwHighDateTime;
  }
  return facts;
}

}  // namespace

LogAssist& LogAssist::Instance() {
  static LogAssist instance;
  return instance;
}

void LogAssist::Init(int level, const std::wstring& folder) {
  base::MessageLoop* ui = base::ThreadLoop(base::kThreadUi);
  if (!ui) return;
  ui->PostNow(MakeTask(base::WrapUnretained(this), &LogAssist::DoInit, level, folder));
}

void LogAssist::DoInit(int, const std::wstring&) {}

void LogAssist::Log(const std::string& source, int line, int level,
                    const std::string& text) {
  base::MessageLoop* ui = base::ThreadLoop(base::kThreadUi);
  if (!ui) return;
  ui->PostNow(MakeTask(base::WrapUnretained(this), &LogAssist::Filter, source,
                       line, level, text));
}

void LogAssist::Filter(const std::string& source, int line, int level,
                       const std::string& text) {
  if (!enabled_ || threshold_ < level) return;
  if (!ready_) return;
  base::Thread* writer = writer_.Peek();
  if (!writer || !writer->IsRunning() || !writer->loop()) return;
  writer->loop()->PostNow(MakeTask(base::WrapUnretained(this), &LogAssist::Write,
                                   source, line, level, text));
}

void LogAssist::Write(const std::string& source, int line, int level,
                      const std::string& text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::string formatted = FormatLogLine(flags_, now, source, line, level, text);
  if (flags_ & kLogToConsole) {
    printf("%s", formatted.c_str());
    fflush(stdout);
  }
  if ((flags_ & kLogToFile) && !log_file_.empty()) {
    FILE* file = _wfopen(log_file_.c_str(), L"a");
    if (!file) return;
    fprintf(file, "%s", formatted.c_str());
    fclose(file);
  }
}

std::string FormatLogLine(unsigned flags, const SYSTEMTIME& time,
                          const std::string& source, int line, int level,
                          const std::string& text) {
  LogLine out;
  if (flags & kLogTime) {
    char stamp[260];
    snprintf(stamp, sizeof(stamp), "%d.%d.%d %02d:%02d:%02d:%03d ", time.wYear,
             time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
             time.wMilliseconds);
    out.AppendText(stamp);
  }
  if (flags & kLogLevel) {
    out.AppendInt(level);
    out.AppendChar(' ');
  }
  out.AppendText(text.c_str());
  if (flags & kLogSource) {
    out.AppendText("  ");
    out.AppendText(SourceFileName(source));
    out.AppendText("[");
    out.AppendInt(line);
    out.AppendText("]");
  }
  out.Finish();
  return out.str();
}

std::string FormatLogText(const char* format, ...) {
  char buffer[2048] = {};
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, 2047, format, args);
  va_end(args);
  return buffer;
}

std::wstring ChooseLogFile(const std::wstring& folder) {
  std::wstring dir = folder;
  if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
  CreateDirectoryChain(dir);
  DWORD attributes = GetFileAttributesW(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::wstring();

  const std::wstring names[2] = {dir + L"0.log", dir + L"1.log"};
  FileFacts facts[2] = {FactsOf(names[0]), FactsOf(names[1])};
  for (int i = 0; i < 2; ++i) {
    if (facts[i].size < kLogFileLimit) return names[i];
  }
  int older = facts[1].written.QuadPart < facts[0].written.QuadPart ? 1 : 0;
  DeleteFileW(names[older].c_str());
  return names[older];
}

std::wstring ChooseLogFileBesideProgram(const std::wstring& name) {
  wchar_t module[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, module, MAX_PATH)) return std::wstring();
  return ChooseLogFile(DirectoryOf(module) + name);
}

}  // namespace applog
