#include "net/streaming_digest.h"

namespace net {

StreamingDigest::StreamingDigest(size_t chunk_bytes) {
  buffers_[0].resize(chunk_bytes);
  buffers_[1].resize(chunk_bytes);
  thread_ = std::thread(&StreamingDigest::HashLoop, this);
}

StreamingDigest::~StreamingDigest() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void StreamingDigest::WaitIdle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !busy_; });
}

void StreamingDigest::Submit(size_t length) {
  {
    std::unique_lock<std::mutex> lock(lock_);
    // One chunk in flight at most: the other buffer is then free to fill.
    WaitIdle(lock);
    pending_ = buffers_[next_].data();
    pending_length_ = length;
    busy_ = true;
  }
  changed_.notify_all();
  next_ = 1 - next_;
}

std::string StreamingDigest::Finish() {
  std::unique_lock<std::mutex> lock(lock_);
  WaitIdle(lock);
  return hash_.HexDigest();
}

void StreamingDigest::HashLoop() {
  std::unique_lock<std::mutex> lock(lock_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || pending_ != nullptr; });
    if (pending_ == nullptr) return;  // stopping with nothing left
    const char* chunk = pending_;
    size_t length = pending_length_;
    pending_ = nullptr;
    lock.unlock();
    hash_.Update(chunk, length);
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace net
