#include "base/host_name.h"

#include <limits.h>
#include <unistd.h>

#include "base/text.h"

namespace orvanta {

std::u16string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
    return u"localhost";
  }
  std::string text(name);
  // Some systems keep the whole domain name here.
  text = text.substr(0, text.find('.'));
  return text.empty() ? u"localhost" : Utf8ToUtf16(text);
}

}  // namespace orvanta
