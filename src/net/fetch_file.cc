#include "net/fetch_file.h"

CFetchFile::CFetchFile(FetchFileDelegate* delegate, const std::string& url,
                       const std::wstring& path)
    : fetcher_(new net::URLFetcher(net::FetchRequest(url, path), this)),
      delegate_(delegate) {}

CFetchFile::~CFetchFile() {
  if (fetcher_) fetcher_->Cancel();
}

void CFetchFile::OnFetchComplete(const net::URLFetcher* source) {
  if (!delegate_) return;
  FetchResult result;
  result.code = source->error_code();
  delegate_->OnFetchFileDone(source->succeeded(), result);
}

void CFetchFile::OnFetchProgress(const net::URLFetcher* source, double fraction) {
  (void)source;
  if (delegate_) delegate_->OnFetchFileProgress(fraction);
}
