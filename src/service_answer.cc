#include "service_answer.h"

#include <json/json.h>

#include <memory>

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
  Json::CharReaderBuilder builder;
  builder["allowComments"] = true;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(body.data(), body.data() + body.size(), &root, &errors)) return false;
  if (!root.isObject()) return false;

  auto text = [&root](const char* name) -> std::string {
    const Json::Value& value = root[name];
    return value.isString() ? value.asString() : std::string();
  };
  std::string url = text("downloadUrl");
  if (url.empty() || url.find("http") != 0) return false;
  // Sizes that are not decimal numbers, or do not fit, make the answer
  // unusable rather than undefined.
  uint64_t zip_size = 0, install_size = 0;
  if (!ParseDecimalSize(text("zipSize"), &zip_size) ||
      !ParseDecimalSize(text("insSize"), &install_size))
    return false;
  answer->download_url = url;
  answer->zip_size = zip_size;
  answer->install_size = install_size;
  return true;
}
