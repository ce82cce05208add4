#include "sys/md5.h"

#include <cstring>

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

const int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                        5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                        4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                        6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

void StoreLittleEndian(uint32_t value, uint8_t* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

MD5::MD5() { Reset(); }

MD5::MD5(const std::string& text) {
  Reset();
  Update(text.data(), text.size());
}

MD5::MD5(const void* bytes, size_t length) {
  Reset();
  Update(bytes, length);
}

void MD5::Reset() {
  state_[0] = 0x67452301;
  state_[1] = 0xefcdab89;
  state_[2] = 0x98badcfe;
  state_[3] = 0x10325476;
  bit_count_[0] = bit_count_[1] = 0;
  memset(buffer_, 0, sizeof(buffer_));
  memset(digest_, 0, sizeof(digest_));
  finalized_ = false;
}

void MD5::Update(const void* bytes, size_t length) {
  const uint8_t* input = static_cast<const uint8_t*>(bytes);
  finalized_ = false;
  size_t offset = (bit_count_[0] >> 3) & 63;
  uint64_t bits = (uint64_t{bit_count_[1]} << 32 | bit_count_[0]) + uint64_t{length} * 8;
  bit_count_[0] = static_cast<uint32_t>(bits);
  bit_count_[1] = static_cast<uint32_t>(bits >> 32);

  size_t room = 64 - offset;
  size_t i = 0;
  if (length >= room) {
    memcpy(buffer_ + offset, input, room);
    Transform(buffer_);
    for (i = room; i + 63 < length; i += 64) Transform(input + i);
    offset = 0;
  }
  memcpy(buffer_ + offset, input + i, length - i);
}

const uint8_t* MD5::Digest() {
  if (finalized_) return digest_;
  uint8_t length[8];
  StoreLittleEndian(bit_count_[0], length);
  StoreLittleEndian(bit_count_[1], length + 4);
  size_t offset = (bit_count_[0] >> 3) & 63;
  size_t pad = offset < 56 ? 56 - offset : 120 - offset;
  static const uint8_t kPadding[64] = {0x80};
  // Padding and length go through the running state, as more input would.
  uint32_t saved_state[4];
  uint32_t saved_count[2];
  uint8_t saved_buffer[64];
  memcpy(saved_state, state_, sizeof(state_));
  memcpy(saved_count, bit_count_, sizeof(bit_count_));
  memcpy(saved_buffer, buffer_, sizeof(buffer_));
  Update(kPadding, pad);
  Update(length, 8);
  for (int i = 0; i < 4; ++i) StoreLittleEndian(state_[i], digest_ + 4 * i);
  // Keep the message state so further input continues the same message.
  memcpy(state_, saved_state, sizeof(state_));
  memcpy(bit_count_, saved_count, sizeof(bit_count_));
  memcpy(buffer_, saved_buffer, sizeof(buffer_));
  finalized_ = true;
  return digest_;
}

std::string MD5::HexDigest() {
  static const char kHex[] = "0123456789abcdef";
  const uint8_t* digest = Digest();
  std::string hex;
  for (int i = 0; i < 16; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

void MD5::Transform(const uint8_t block[64]) {
  uint32_t m[16];
  for (int i = 0; i < 16; ++i)
    m[i] = uint32_t{block[4 * i]} | uint32_t{block[4 * i + 1]} << 8 |
           uint32_t{block[4 * i + 2]} << 16 | uint32_t{block[4 * i + 3]} << 24;
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  for (int i = 0; i < 64; ++i) {
    uint32_t f;
    int g;
    if (i < 16) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (i < 32) {
      f = (d & b) | (~d & c);
      g = (5 * i + 1) & 15;
    } else if (i < 48) {
      f = b ^ c ^ d;
      g = (3 * i + 5) & 15;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) & 15;
    }
    uint32_t next = b + RotateLeft(a + f + kSine[i] + m[g], kShift[i]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}
