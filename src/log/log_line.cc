#include "log/log_line.h"

#include <cstdio>
#include <cstring>

namespace applog {

namespace {

// An int needs at most 11 characters; leave room for it and the terminator.
constexpr size_t kIntLimit = 2037;
constexpr size_t kNullLimit = 2043;

}  // namespace

void LogLine::AppendChar(char c) {
  if (length_ >= kMaxText) return;
  buffer_[length_++] = c;
}

void LogLine::AppendInt(int value) {
  if (length_ >= kIntLimit) return;
  int written = snprintf(buffer_ + length_, sizeof(buffer_) - length_, "%d", value);
  if (written > 0) length_ += static_cast<size_t>(written);
}

void LogLine::AppendText(const char* text) {
  if (!text) {
    if (length_ <= kNullLimit) AppendText("NULL");
    return;
  }
  size_t size = strlen(text);
  if (length_ + size <= kMaxText) {
    memcpy(buffer_ + length_, text, size);
    length_ += size;
    return;
  }
  if (length_ < kMaxText) {
    memcpy(buffer_ + length_, text, kMaxText - length_);
    length_ = kMaxText;
  }
}

void LogLine::Finish() {
  buffer_[length_] = '\n';
  buffer_[length_ + 1] = '\0';
  finished_ = true;
}

}  // namespace applog
