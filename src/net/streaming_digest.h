// SHA-256 of a transfer's body, computed on a thread of its own while the
// transfer reads the next chunk: hashing in line with the reads cost a
// link-bound download 3 % of its rate under Wine (make bench).
//
// Thread affinity: one producer thread calls everything; the hashing runs
// on the object's own thread. Ownership: the object owns both chunk
// buffers and its thread, which it joins when it goes.

#ifndef NET_STREAMING_DIGEST_H_
#define NET_STREAMING_DIGEST_H_

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sys/sha256.h"

namespace net {

class StreamingDigest {
 public:
  explicit StreamingDigest(size_t chunk_bytes);
  ~StreamingDigest();
  StreamingDigest(const StreamingDigest&) = delete;
  StreamingDigest& operator=(const StreamingDigest&) = delete;

  // False when CNG could not make the hash.
  bool IsValid() const { return hash_.IsValid(); }
  // The buffer to fill next; free to write (its earlier bytes are hashed).
  char* Buffer() { return buffers_[next_].data(); }
  // Hashes the first |length| bytes of Buffer() on the hashing thread once
  // the chunk before it is done; the next Buffer() is the other one.
  void Submit(size_t length);
  // Waits for every chunk, then the lower-case hex digest (empty on a
  // failure). Call once.
  std::string Finish();

 private:
  void HashLoop();
  void WaitIdle(std::unique_lock<std::mutex>& lock);

  Sha256 hash_;  // hashing thread only, after construction
  std::vector<char> buffers_[2];
  int next_ = 0;  // producer only

  std::mutex lock_;
  std::condition_variable changed_;
  const char* pending_ = nullptr;  // a chunk the hashing thread has to take
  size_t pending_length_ = 0;
  bool busy_ = false;              // a chunk is pending or being hashed
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace net

#endif  // NET_STREAMING_DIGEST_H_
