// The download service's JSON answer: where the package is and how large it
// and the installed game are.
//
// Thread affinity: none; plain functions.

#ifndef SERVICE_ANSWER_H_
#define SERVICE_ANSWER_H_

#include <cstdint>
#include <string>

struct ServiceAnswer {
  std::string download_url;
  uint64_t zip_size = 0;
  uint64_t install_size = 0;
};

// True when |body| is a usable answer: a JSON object whose string members
// "downloadUrl" (beginning with "http"), "zipSize" and "insSize" (decimal
// numbers that fit 64 bits) are present. Members of other types count as
// absent.
bool ParseServiceAnswer(const std::string& body, ServiceAnswer* answer);

// "123" -> 123; false for anything but 1..20 decimal digits within 64 bits.
bool ParseDecimalSize(const std::string& text, uint64_t* value);

#endif  // SERVICE_ANSWER_H_
