#include "retry_rule.h"

#include "net/url_fetcher.h"

AfterFailure CountFailure(int fetch_error, DownloadFailures* failures) {
  if (fetch_error == net::kFetchErrorReserve) return AfterFailure::kNoDiskSpace;
  ++failures->attempts;
  if (fetch_error == net::kFetchErrorDigest &&
      ++failures->mismatches >= kMaxDigestMismatches)
    return AfterFailure::kCannotConnect;
  return failures->attempts > kMaxRetries ? AfterFailure::kCannotConnect : AfterFailure::kRetry;
}
