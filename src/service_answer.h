// The download service's JSON answer: where the package is, how large it
// and the installed game are, and optionally the package's SHA-256.
//
// Thread affinity: none; plain functions.

#ifndef SERVICE_ANSWER_H_
#define SERVICE_ANSWER_H_

#include <cstdint>
#include <string>

// Longest package address taken from an answer.
constexpr size_t kMaxDownloadUrl = 4096;
// Largest package or installed size taken (1 PiB): the space sum of both
// and the reserve can never wrap.
constexpr uint64_t kMaxAnswerSize = 1ULL << 50;
// Deepest nesting of arrays and objects the parser follows.
constexpr int kMaxAnswerDepth = 64;

struct ServiceAnswer {
  std::string download_url;
  uint64_t zip_size = 0;
  uint64_t install_size = 0;
  // Lower-case hex SHA-256 of the package; empty when the answer has none.
  std::string sha256;
};

// True when |body| is a usable answer: a JSON object whose string members
// "downloadUrl" (beginning with "http", at most kMaxDownloadUrl long),
// "zipSize" and "insSize" (decimal numbers up to kMaxAnswerSize) are
// present; members of other types count as absent. An optional "sha256"
// must be 64 hexadecimal characters, either case. Never throws; nesting
// deeper than kMaxAnswerDepth is unusable.
bool ParseServiceAnswer(const std::string& body, ServiceAnswer* answer);

// Whether the package address of a usable answer may be fetched: when the
// service itself was asked over HTTPS, a package that is not on HTTPS is
// allowed only with a digest to check it against.
bool IsPackageAddressAllowed(const ServiceAnswer& answer, const std::string& service_endpoint);

// "https://..." (the scheme in lower case, as the service writes it).
bool IsHttpsAddress(const std::string& address);

// "123" -> 123; false for anything but 1..20 decimal digits within 64 bits.
bool ParseDecimalSize(const std::string& text, uint64_t* value);

#endif  // SERVICE_ANSWER_H_
