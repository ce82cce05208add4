// The package request address and the signed package address.
//
// Thread affinity: none; plain functions.

#ifndef PACKAGE_REQUEST_H_
#define PACKAGE_REQUEST_H_

#include <cstdint>
#include <string>

// endpoint?version=V&mac_address=M&platform=P, nothing escaped.
std::string ComposePackageRequest(const std::string& endpoint, const std::string& version,
                                  const std::string& mac_address, const std::string& platform);

// address?sign=S&t=T: T is |unix_seconds| as a signed 32-bit decimal and S
// the lower-case hex MD5 of key + UrlPathOf(address) + T.
std::string SignDownloadAddress(const std::string& address, const std::string& key,
                                int64_t unix_seconds);
// The same at the current time with the configured key.
std::string SignDownloadAddress(const std::string& address);

#endif  // PACKAGE_REQUEST_H_
