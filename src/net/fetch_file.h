// Fetches an address into a file; hands its delegate progress fractions and
// then a success flag with the fetcher's error code.
//
// Thread affinity: ui_thread only (construction, calls, callbacks).
// Ownership: holds a reference to its current fetcher (which deletes its
// file when its last reference goes); cancels it when destroyed.

#ifndef NET_FETCH_FILE_H_
#define NET_FETCH_FILE_H_

#include <string>

#include "base/ref_counted.h"
#include "net/url_fetcher.h"

struct FetchResult {
  int code = net::kFetchErrorNone;  // the fetcher's error_code()
};

class FetchFileDelegate {
 public:
  virtual void OnFetchFileDone(bool succeeded, const FetchResult& result) = 0;
  virtual void OnFetchFileProgress(double fraction) = 0;

 protected:
  ~FetchFileDelegate() = default;
};

class CFetchFile : public net::URLFetcher::URLFetcherDelegate {
 public:
  CFetchFile(FetchFileDelegate* delegate, const std::string& url, const std::wstring& path);
  ~CFetchFile() override;
  CFetchFile(const CFetchFile&) = delete;
  CFetchFile& operator=(const CFetchFile&) = delete;

  void OnFetchComplete(const net::URLFetcher* source) override;
  void OnFetchProgress(const net::URLFetcher* source, double fraction) override;

  base::scoped_refptr<net::URLFetcher> fetcher_;

 private:
  FetchFileDelegate* delegate_;  // not owned, may be null
};

#endif  // NET_FETCH_FILE_H_
