#include "service_answer.h"

#include <json/json.h>

#include <exception>
#include <memory>

#include "sys/sha256.h"

namespace {

// The members the installer reads; |root| is an object.
bool ReadAnswer(const Json::Value& root, ServiceAnswer* answer) {
  auto text = [&root](const char* name) -> std::string {
    const Json::Value& value = root[name];
    return value.isString() ? value.asString() : std::string();
  };
  std::string url = text("downloadUrl");
  if (url.empty() || url.find("http") != 0 || url.size() > kMaxDownloadUrl) return false;
  // Sizes that are not decimal numbers, or too large to add up, make the
  // answer unusable rather than undefined.
  uint64_t zip_size = 0, install_size = 0;
  if (!ParseDecimalSize(text("zipSize"), &zip_size) ||
      !ParseDecimalSize(text("insSize"), &install_size) || zip_size > kMaxAnswerSize ||
      install_size > kMaxAnswerSize)
    return false;
  std::string sha256;
  if (root.isMember("sha256")) {
    const Json::Value& value = root["sha256"];
    if (!value.isString() || !IsSha256Hex(value.asString())) return false;
    sha256 = LowerHex(value.asString());
  }
  answer->download_url = url;
  answer->zip_size = zip_size;
  answer->install_size = install_size;
  answer->sha256 = sha256;
  return true;
}

}  // namespace

bool ParseDecimalSize(const std::string& text, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t result = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    uint64_t digit = static_cast<uint64_t>(ch - '0');
    if (result > (UINT64_MAX - digit) / 10) return false;
    result = result * 10 + digit;
  }
  *value = result;
  return true;
}

bool ParseServiceAnswer(const std::string& body, ServiceAnswer* answer) {
  if (body.empty() || body[0] == '\0') return false;
  // The reader throws past its nesting limit (and on allocation failure);
  // an answer from the network must never end the process.
  try {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["stackLimit"] = kMaxAnswerDepth;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(body.data(), body.data() + body.size(), &root, &errors)) return false;
    if (!root.isObject()) return false;
    return ReadAnswer(root, answer);
  } catch (const std::exception&) {
    return false;
  }
}

bool IsHttpsAddress(const std::string& address) { return address.compare(0, 8, "https://") == 0; }

bool IsPackageAddressAllowed(const ServiceAnswer& answer, const std::string& service_endpoint) {
  if (!IsHttpsAddress(service_endpoint)) return true;
  return IsHttpsAddress(answer.download_url) || !answer.sha256.empty();
}
