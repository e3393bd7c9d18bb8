#ifndef ORVANTA_SENDER_WIN_TEST_FIND_CONTROL_H_
#define ORVANTA_SENDER_WIN_TEST_FIND_CONTROL_H_

#include <windows.h>

namespace orvanta::win {

// The first window below `root`, at any depth, with the control id `id`.
// GetDlgItem looks at direct children only, and the settings window's
// controls sit inside its panels.
inline HWND FindControl(HWND root, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM data) CALLBACK -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(child) == search->id) {
          search->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace orvanta::win

#endif  // ORVANTA_SENDER_WIN_TEST_FIND_CONTROL_H_
