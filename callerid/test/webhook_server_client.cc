#include "callerid/test/webhook_server_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "callerid/call_json.h"
#include "notify/https_request.h"

namespace orvanta {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Server(const char* port_variable, bool tls) {
  const bool by_name = std::string(port_variable) == "ORVANTA_WEBHOOK_HTTPS";
  return std::string(tls ? "https" : "http") + "://" +
         (by_name ? "localhost" : "127.0.0.1") + ":" + Env(port_variable);
}

namespace {

std::vector<Received> ParseRecords(const std::string& text) {
  std::vector<Received> out;
  Received current;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    auto after = [&](const char* tag) { return line.substr(strlen(tag)); };
    if (line.rfind("REQUEST ", 0) == 0) {
      current = Received{};
      const std::string rest = after("REQUEST ");
      current.method = rest.substr(0, rest.find(' '));
      current.path = rest.substr(rest.find(' ') + 1);
    } else if (line.rfind("HEADER ", 0) == 0) {
      const std::string rest = after("HEADER ");
      current.headers[rest.substr(0, rest.find(':'))] =
          rest.substr(rest.find(':') + 2);
    } else if (line.rfind("BODY ", 0) == 0) {
      current.body = after("BODY ");
    } else if (line.rfind("FIELD ", 0) == 0) {
      const std::string rest = after("FIELD ");
      current.fields[rest.substr(0, rest.find('='))] =
          rest.substr(rest.find('=') + 1);
    } else if (line == "JSON invalid") {
      current.json_invalid = true;
    } else if (line == "END") {
      out.push_back(current);
    }
  }
  return out;
}

}  // namespace

std::string Control(const std::string& what) {
  HttpsRequest request;
  request.method = "GET";
  request.url = Server("ORVANTA_WEBHOOK_HTTP", false) + "/control/" + what;
  const HttpsResponse response = PerformHttpsRequest(request);
  EXPECT_EQ(response.status, 200)
      << what << ": " << Utf16ToUtf8(response.reason);
  return response.body_start;
}

std::vector<Received> ReceivedUnder(const std::string& prefix) {
  const std::string query = "?prefix=" + PercentEncode(prefix);
  const int count = static_cast<int>(
      std::strtol(Control("count" + query).c_str(), nullptr, 10));
  std::string all;
  for (int i = 0; i < count; ++i) {
    all += Control("requests" + query + "&index=" + std::to_string(i));
  }
  return ParseRecords(all);
}

std::vector<std::string> IdsUnder(const std::string& prefix) {
  const std::string query = "?prefix=" + PercentEncode(prefix);
  const int count = static_cast<int>(
      std::strtol(Control("count" + query).c_str(), nullptr, 10));
  std::vector<std::string> ids;
  for (int from = 0; from < count; from += 100) {
    const std::string part =
        Control("ids" + query + "&from=" + std::to_string(from));
    size_t pos = 0;
    while (pos <= part.size() && !part.empty()) {
      size_t comma = part.find(',', pos);
      if (comma == std::string::npos) comma = part.size();
      ids.push_back(part.substr(pos, comma - pos));
      pos = comma + 1;
    }
  }
  return ids;
}

}  // namespace orvanta
