// SHA-256 through the platform's CNG (bcrypt.dll, delay-loaded): the
// package is checked against the digest the download service vouched for.
//
// Thread affinity: none; one object is used by one thread at a time.
// Ownership: holds its algorithm and hash handles and closes them when it
// goes; copying is deleted because two owners would close them twice.

#ifndef SYS_SHA256_H_
#define SYS_SHA256_H_

#include <cstddef>
#include <string>

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // False when CNG could not make the hash; every later call then fails.
  bool IsValid() const { return hash_ != nullptr; }
  bool Update(const void* bytes, size_t length);
  // 64 lower-case hex characters, or empty when any step failed. Finishes
  // the hash: call once.
  std::string HexDigest();

 private:
  void* algorithm_ = nullptr;  // BCRYPT_ALG_HANDLE
  void* hash_ = nullptr;       // BCRYPT_HASH_HANDLE
  bool failed_ = false;
};

// True for exactly 64 hexadecimal characters, either case.
bool IsSha256Hex(const std::string& text);
// The same text in lower case.
std::string LowerHex(const std::string& text);

#endif  // SYS_SHA256_H_
