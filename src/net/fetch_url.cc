#include "net/fetch_url.h"

CFetchUrl::CFetchUrl(FetchURLDelegate* delegate, const std::string& url)
    : fetcher_(new net::URLFetcher(net::FetchRequest(url), this)), delegate_(delegate) {}

CFetchUrl::~CFetchUrl() {
  if (fetcher_) fetcher_->Cancel();
}

void CFetchUrl::OnFetchComplete(const net::URLFetcher* source) {
  std::string body;
  if (source->succeeded()) body = source->body();
  if (delegate_) delegate_->OnFetchUrlDone(body);
}
