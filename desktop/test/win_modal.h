#ifndef ORVANTA_DESKTOP_TEST_WIN_MODAL_H_
#define ORVANTA_DESKTOP_TEST_WIN_MODAL_H_

#include <windows.h>

#include <functional>
#include <utility>

namespace orvanta {

// Runs `step` from inside the next modal loop: a thread timer is served only
// by a running message loop, so the test stands in for the user while the
// code under test waits in the dialog's own loop.
inline void RunInsideModalLoop(std::function<void()> step) {
  static std::function<void()> pending_step;
  pending_step = std::move(step);
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    KillTimer(nullptr, id);
    auto next = std::move(pending_step);
    next();
  });
}

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_TEST_WIN_MODAL_H_
