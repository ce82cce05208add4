// What a failed package download leads to: another attempt, or the end of
// the installation with a message.
//
// Thread affinity: none; plain functions over the caller's counts.

#ifndef RETRY_RULE_H_
#define RETRY_RULE_H_

#include <cstdint>

enum class AfterFailure {
  kRetry,          // delete the file, try again after 1 s under a new name
  kNoDiskSpace,    // "Not enough disk space"
  kCannotConnect,  // "Unable connect to server"
};

// Attempts after the first before the installation gives up.
constexpr int kMaxRetries = 255;
// A package that keeps arriving with the wrong digest is not downloaded
// 256 times over a user's data plan: the third mismatch ends it.
constexpr int kMaxDigestMismatches = 3;

struct DownloadFailures {
  int attempts = 0;    // failed attempts so far
  int mismatches = 0;  // of them, whole files whose SHA-256 differed
};

// Counts one failed attempt that ended with |fetch_error| (net::FetchError)
// and says what follows.
AfterFailure CountFailure(int fetch_error, DownloadFailures* failures);

#endif  // RETRY_RULE_H_
