#ifndef ORVANTA_CALLERID_TEST_WEBHOOK_SERVER_CLIENT_H_
#define ORVANTA_CALLERID_TEST_WEBHOOK_SERVER_CLIENT_H_

// What a test asks of the servers of callerid/test/webhook_server.py, which
// runs it: their addresses, and what they received.

#include <map>
#include <string>
#include <vector>

namespace orvanta {

// An environment variable's value; empty when it is not set.
std::string Env(const char* name);

// The address of the server whose port `port_variable` holds
// (ORVANTA_WEBHOOK_HTTP, ORVANTA_WEBHOOK_HTTPS, ORVANTA_WEBHOOK_SELF). The
// servers listen on 127.0.0.1; the one with the test CA's certificate is
// named "localhost", a name its certificate holds: Wine's certificate check
// matches names but not addresses.
std::string Server(const char* port_variable, bool tls);

// One request as the server recorded it.
struct Received {
  std::string method;
  std::string path;
  std::map<std::string, std::string> headers;
  std::string body;
  std::map<std::string, std::string> fields;  // the JSON body's, as JSON
  bool json_invalid = false;
};

// Asks the plain server, with the HTTP client under test (plain HTTP, no
// certificate involved); each answer fits what a response keeps.
std::string Control(const std::string& what);

// What the servers have received on paths starting with `prefix`.
std::vector<Received> ReceivedUnder(const std::string& prefix);

// The JSON ids of what came to `prefix`, in the order it came.
std::vector<std::string> IdsUnder(const std::string& prefix);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_WEBHOOK_SERVER_CLIENT_H_
