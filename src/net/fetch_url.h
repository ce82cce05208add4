// Fetches an address into memory and hands the body to its delegate.
//
// Thread affinity: ui_thread only (construction, calls, callbacks).
// Ownership: holds a reference to its current fetcher; cancels it when
// destroyed, so no callback reaches a destroyed task.

#ifndef NET_FETCH_URL_H_
#define NET_FETCH_URL_H_

#include <string>

#include "base/ref_counted.h"
#include "net/url_fetcher.h"

class FetchURLDelegate {
 public:
  // The body, or an empty string when the fetch failed.
  virtual void OnFetchUrlDone(std::string body) = 0;

 protected:
  ~FetchURLDelegate() = default;
};

class CFetchUrl : public net::URLFetcher::URLFetcherDelegate {
 public:
  // Nothing starts yet; the owner re-targets and starts fetcher_.
  CFetchUrl(FetchURLDelegate* delegate, const std::string& url);
  ~CFetchUrl() override;
  CFetchUrl(const CFetchUrl&) = delete;
  CFetchUrl& operator=(const CFetchUrl&) = delete;

  void OnFetchComplete(const net::URLFetcher* source) override;

  base::scoped_refptr<net::URLFetcher> fetcher_;

 private:
  FetchURLDelegate* delegate_;  // not owned, may be null
};

#endif  // NET_FETCH_URL_H_
