#include "notify/test/private_network.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace orvanta {
namespace {

std::string ReadWholeFile(const char* path) {
  // procfs reports a size of 0, so read until the end instead of asking.
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return {};
  std::string content;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    content.append(buffer, n);
  }
  std::fclose(file);
  return content;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<std::string> NetworkInterfaceNames() {
  std::istringstream lines(ReadWholeFile(NetworkDeviceListPath()));
  std::vector<std::string> names;
  std::string line;
  for (int row = 0; std::getline(lines, line); ++row) {
    if (row < 2) continue;  // two header lines
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    names.push_back(Trimmed(line.substr(0, colon)));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool InPrivateTestNetwork() {
  return NetworkInterfaceNames() == std::vector<std::string>{"lo", "v0", "v1"};
}

void RequirePrivateTestNetwork() {
  if (InPrivateTestNetwork()) return;
  std::string found;
  for (const std::string& name : NetworkInterfaceNames()) found += " " + name;
  std::fprintf(
      stderr,
      "\n*** REFUSING TO RUN: this test sends UDP broadcasts and must "
      "run inside a private network namespace (tools/netns-run).\n"
      "*** Expected exactly the interfaces lo v0 v1 in %s, found:%s\n\n",
      NetworkDeviceListPath(), found.empty() ? " (none)" : found.c_str());
  std::fflush(stderr);
  std::exit(1);
}

}  // namespace orvanta
