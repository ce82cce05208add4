// LogLine: the fixed buffer one log line is built in. The text part holds at
// most 2047 bytes; a longer line is cut there. Finish() adds the line feed.
//
// Thread affinity: none; the log's writer thread builds one at a time.

#ifndef LOG_LOG_LINE_H_
#define LOG_LOG_LINE_H_

#include <cstddef>
#include <string>

namespace applog {

class LogLine {
 public:
  static constexpr size_t kMaxText = 2047;

  void AppendChar(char c);
  void AppendInt(int value);
  // Appends what fits; null appends "NULL" when there is room for it.
  void AppendText(const char* text);
  // Puts the line feed after the text.
  void Finish();

  size_t length() const { return length_; }
  std::string str() const { return std::string(buffer_, length_ + (finished_ ? 1 : 0)); }

 private:
  char buffer_[kMaxText + 3] = {};
  size_t length_ = 0;
  bool finished_ = false;
};

}  // namespace applog

#endif  // LOG_LOG_LINE_H_
