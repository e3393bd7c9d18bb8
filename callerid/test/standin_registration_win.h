#ifndef ORVANTA_CALLERID_TEST_STANDIN_REGISTRATION_WIN_H_
#define ORVANTA_CALLERID_TEST_STANDIN_REGISTRATION_WIN_H_

#include <windows.h>

#include <string>
#include <vector>

#include "callerid/test/standin/standin_api.h"

namespace orvanta {

// The stand-in control server beside the test executable, registered for
// the current user under both vendor class ids and loaded into the test
// process, so that the test can steer the very module COM creates the
// controls from.
class StandinServer {
 public:
  // Registers both classes (again) and loads the server; fails the calling
  // test on error.
  static StandinServer& Get();

  void Register();
  void Unregister();

  void Reset() { reset_(); }
  // What was done to the controls since the last reset, one entry per line,
  // as UTF-8.
  std::vector<std::string> Journal() const;
  void Fail(const wchar_t* member, int mode, HRESULT code,
            const wchar_t* description) {
    fail_(member, mode, code, description);
  }
  void SetOptions(int options) { set_options_(options); }
  HRESULT Fire(const wchar_t* kind, DISPID id,
               const std::vector<std::wstring>& arguments, bool by_reference);

 private:
  StandinServer();

  std::wstring path_;
  HMODULE module_ = nullptr;
  StandinResetFn reset_ = nullptr;
  StandinJournalFn journal_ = nullptr;
  StandinFailFn fail_ = nullptr;
  StandinSetOptionsFn set_options_ = nullptr;
  StandinFireFn fire_ = nullptr;
};

// OleInitialize for the test's thread, undone at the end of the run.
void InitialiseOleForTests();

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_STANDIN_REGISTRATION_WIN_H_
