// MD5 message digest (RFC 1321) with a lower-case hex form; the package
// request signature is built with it.
//
// Thread affinity: none; a value object used by one thread at a time.

#ifndef SYS_MD5_H_
#define SYS_MD5_H_

#include <cstddef>
#include <cstdint>
#include <string>

class MD5 {
 public:
  MD5();
  explicit MD5(const std::string& text);
  MD5(const void* bytes, size_t length);

  // More input; a digest already computed is recomputed on the next call.
  void Update(const void* bytes, size_t length);
  // The 16 digest bytes; finalizes once.
  const uint8_t* Digest();
  // 32 lower-case hex characters, high nibble first.
  std::string HexDigest();

 private:
  void Reset();
  void Transform(const uint8_t block[64]);

  uint32_t state_[4];
  uint32_t bit_count_[2];  // low word first
  uint8_t buffer_[64];
  uint8_t digest_[16];
  bool finalized_;
};

#endif  // SYS_MD5_H_
