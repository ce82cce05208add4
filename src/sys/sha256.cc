#include "sys/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdint>

namespace {

constexpr ULONG kDigestBytes = 32;
// BCryptHashData takes a ULONG count.
constexpr size_t kMaxUpdate = 1u << 30;

}  // namespace

Sha256::Sha256() {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return;
  algorithm_ = algorithm;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) != 0) return;
  hash_ = hash;
}

Sha256::~Sha256() {
  if (hash_) BCryptDestroyHash(hash_);
  if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
}

bool Sha256::Update(const void* bytes, size_t length) {
  if (!hash_ || failed_) return false;
  auto* p = static_cast<UCHAR*>(const_cast<void*>(bytes));
  while (length > 0) {
    size_t step = length < kMaxUpdate ? length : kMaxUpdate;
    if (BCryptHashData(hash_, p, static_cast<ULONG>(step), 0) != 0) {
      failed_ = true;
      return false;
    }
    p += step;
    length -= step;
  }
  return true;
}

std::string Sha256::HexDigest() {
  UCHAR digest[kDigestBytes];
  if (!hash_ || failed_ || BCryptFinishHash(hash_, digest, kDigestBytes, 0) != 0) {
    failed_ = true;
    return std::string();
  }
  failed_ = true;  // a finished hash takes no more input
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * kDigestBytes);
  for (UCHAR byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

bool IsSha256Hex(const std::string& text) {
  if (text.size() != 2 * kDigestBytes) return false;
  for (char ch : text) {
    bool hex = (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
    if (!hex) return false;
  }
  return true;
}

std::string LowerHex(const std::string& text) {
  std::string lower = text;
  for (char& ch : lower) {
    if (ch >= 'A' && ch <= 'F') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return lower;
}
