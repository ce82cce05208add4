// applog::LogAssist: the program's log. Any thread hands it a line; the line
// travels as a task to ui_thread, where it is filtered, and from there to the
// writer thread, which formats it and appends it to standard output and/or
// the log file.
//
// As the product ships, the log stays disabled: nothing enables it and the
// writer thread is never started, so every line is dropped on ui_thread.
//
// Thread affinity: Log and Init from any thread (they only post). The
// settings are read and written on ui_thread; the writer reads the flags and
// the file path on its own thread.

#ifndef LOG_LOG_ASSIST_H_
#define LOG_LOG_ASSIST_H_

#include <windows.h>

#include <string>

#include "base/lazy_thread.h"

namespace applog {

enum LogFlags : unsigned {
  kLogTime = 0x01,       // timestamp prefix
  kLogLevel = 0x02,      // level prefix
  kLogSource = 0x04,     // "  file[line]" suffix
  kLogToFile = 0x08,     // append to the log file
  kLogToConsole = 0x10,  // print to standard output
};

constexpr unsigned kDefaultLogFlags = 0x2D;
constexpr int kDefaultLogThreshold = 3;

class LogAssist {
 public:
  LogAssist() = default;
  LogAssist(const LogAssist&) = delete;
  LogAssist& operator=(const LogAssist&) = delete;

  // The process-wide instance.
  static LogAssist& Instance();

  // Posts a request to ui_thread that has no effect in this configuration.
  void Init(int level, const std::wstring& folder);
  // Posts the line to ui_thread for filtering; dropped when no UI loop is
  // registered yet.
  void Log(const std::string& source, int line, int level,
           const std::string& text);

  // Settings, ui_thread only. Nothing in the product changes the defaults.
  void set_enabled(bool enabled) { enabled_ = enabled; }
  void set_ready(bool ready) { ready_ = ready; }
  void set_flags(unsigned flags) { flags_ = flags; }
  void set_threshold(int threshold) { threshold_ = threshold; }
  void set_log_file(const std::wstring& path) { log_file_ = path; }

  base::LazyThread& writer() { return writer_; }

 private:
  void DoInit(int level, const std::wstring& folder);
  // On ui_thread: drops the line or forwards it to the writer thread.
  void Filter(const std::string& source, int line, int level,
              const std::string& text);
  // On the writer thread.
  void Write(const std::string& source, int line, int level,
             const std::string& text);

  std::wstring log_file_;
  unsigned flags_ = kDefaultLogFlags;
  int threshold_ = kDefaultLogThreshold;
  bool enabled_ = false;  // lines are accepted only while true
  bool ready_ = false;    // lines are forwarded to the writer only while true
  base::LazyThread writer_;
};

// One finished line as the writer produces it, "\n" included. |time| is used
// when kLogTime is set.
std::string FormatLogLine(unsigned flags, const SYSTEMTIME& time,
                          const std::string& source, int line, int level,
                          const std::string& text);

// printf-style formatting for callers, cut at 2046 characters.
std::string FormatLogText(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

// The log-file rule: "0.log" or "1.log" in |folder| (created if missing),
// whichever is below 2 MiB; when both are full, the older one is deleted and
// reused. Empty when the folder cannot be made.
std::wstring ChooseLogFile(const std::wstring& folder);
// The same for a folder |name| beside the program's own executable.
std::wstring ChooseLogFileBesideProgram(const std::wstring& name);

}  // namespace applog

#endif  // LOG_LOG_ASSIST_H_
