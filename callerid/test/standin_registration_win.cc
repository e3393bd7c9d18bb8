#include "callerid/test/standin_registration_win.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include "base/text.h"

namespace orvanta {

namespace {

const wchar_t* const kClassIds[] = {
    L"{999DD9D2-8906-4232-98EF-9EECB9B10DAD}",
    L"{CF7AD0F4-50A7-49BF-8CE1-0CCF94091152}",
};

// Per-user registration is what Windows merges into the classes root; Wine
// reads only the machine's classes, which a test prefix lets us write.
struct Hive {
  HKEY root;
  const wchar_t* classes;
  bool required;
};
const Hive kHives[] = {
    {HKEY_CURRENT_USER, L"Software\\Classes\\", true},
    {HKEY_CLASSES_ROOT, L"", false},
};

std::wstring ExeDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, n);
  return directory.substr(0, directory.find_last_of(L"\\/") + 1);
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  const LSTATUS status = RegSetValueExW(
      key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  if (status != ERROR_SUCCESS) {
    ADD_FAILURE() << "RegSetValueExW failed: " << status;
  }
}

template <typename F>
F Export(HMODULE module, const char* name) {
  auto function = reinterpret_cast<F>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (function == nullptr) ADD_FAILURE() << "stand-in lacks " << name;
  return function;
}

}  // namespace

StandinServer& StandinServer::Get() {
  static StandinServer server;
  server.Register();
  return server;
}

StandinServer::StandinServer()
    : path_(ExeDirectory() + L"callerid_standin.dll") {
  module_ = LoadLibraryW(path_.c_str());
  if (module_ == nullptr) {
    ADD_FAILURE() << "cannot load the stand-in server: " << GetLastError();
    return;
  }
  reset_ = Export<StandinResetFn>(module_, "StandinReset");
  journal_ = Export<StandinJournalFn>(module_, "StandinJournal");
  fail_ = Export<StandinFailFn>(module_, "StandinFail");
  set_options_ = Export<StandinSetOptionsFn>(module_, "StandinSetOptions");
  fire_ = Export<StandinFireFn>(module_, "StandinFire");
}

void StandinServer::Register() {
  for (const Hive& hive : kHives) {
    for (const wchar_t* clsid : kClassIds) {
      const std::wstring server_key =
          std::wstring(hive.classes) + L"CLSID\\" + clsid + L"\\InprocServer32";
      HKEY key = nullptr;
      const LSTATUS status =
          RegCreateKeyExW(hive.root, server_key.c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr);
      if (status != ERROR_SUCCESS) {
        if (hive.required)
          ADD_FAILURE() << "RegCreateKeyExW failed: " << status;
        continue;
      }
      SetString(key, nullptr, path_);
      SetString(key, L"ThreadingModel", L"Apartment");
      RegCloseKey(key);
    }
  }
}

void StandinServer::Unregister() {
  for (const Hive& hive : kHives) {
    for (const wchar_t* clsid : kClassIds) {
      const std::wstring class_key =
          std::wstring(hive.classes) + L"CLSID\\" + clsid;
      const LSTATUS status = RegDeleteTreeW(hive.root, class_key.c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND &&
          hive.required) {
        ADD_FAILURE() << "RegDeleteTreeW failed: " << status;
      }
    }
  }
}

std::vector<std::string> StandinServer::Journal() const {
  std::vector<std::string> lines;
  const std::wstring text = journal_();
  size_t begin = 0;
  for (size_t end; (end = text.find(L'\n', begin)) != std::wstring::npos;
       begin = end + 1) {
    const std::wstring line = text.substr(begin, end - begin);
    lines.push_back(Utf16ToUtf8(std::u16string(
        reinterpret_cast<const char16_t*>(line.data()), line.size())));
  }
  return lines;
}

HRESULT StandinServer::Fire(const wchar_t* kind, DISPID id,
                            const std::vector<std::wstring>& arguments,
                            bool by_reference) {
  std::vector<const wchar_t*> texts;
  for (const std::wstring& argument : arguments)
    texts.push_back(argument.c_str());
  return fire_(kind, id, static_cast<int>(texts.size()), texts.data(),
               by_reference ? 1 : 0);
}

void InitialiseOleForTests() {
  class OleEnvironment : public ::testing::Environment {
   public:
    void SetUp() override { ASSERT_EQ(OleInitialize(nullptr), S_OK); }
    void TearDown() override { OleUninitialize(); }
  };
  ::testing::AddGlobalTestEnvironment(new OleEnvironment);
}

}  // namespace orvanta
