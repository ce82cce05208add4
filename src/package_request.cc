#include "package_request.h"

#include "app_config.h"
#include "sys/md5.h"
#include "sys/string_util.h"

std::string ComposePackageRequest(const std::string& endpoint, const std::string& version,
                                  const std::string& mac_address, const std::string& platform) {
  return endpoint + "?version=" + version + "&mac_address=" + mac_address +
         "&platform=" + platform;
}

std::string SignDownloadAddress(const std::string& address, const std::string& key,
                                int64_t unix_seconds) {
  std::string t = std::to_string(static_cast<int32_t>(unix_seconds));
  std::string sign = MD5(key + UrlPathOf(address) + t).HexDigest();
  return address + "?sign=" + sign + "&t=" + t;
}

std::string SignDownloadAddress(const std::string& address) {
  return SignDownloadAddress(address, config::kSigningKey, UnixTimeSeconds());
}
