#ifndef ORVANTA_SERIAL_SERIAL_DEVICE_WIN_H_
#define ORVANTA_SERIAL_SERIAL_DEVICE_WIN_H_

// Windows back end internals, visible to its tests.

#include <windows.h>

#include "serial/serial_device.h"

namespace orvanta {

// Every communications call the back end makes goes through this table, so
// that a test can stand in for the device driver.
struct WinCommApi {
  HANDLE(WINAPI* create_file)
  (LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  BOOL(WINAPI* close_handle)(HANDLE);
  BOOL(WINAPI* setup_comm)(HANDLE, DWORD, DWORD);
  BOOL(WINAPI* set_comm_state)(HANDLE, LPDCB);
  BOOL(WINAPI* set_comm_timeouts)(HANDLE, LPCOMMTIMEOUTS);
  BOOL(WINAPI* set_comm_mask)(HANDLE, DWORD);
  BOOL(WINAPI* wait_comm_event)(HANDLE, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* get_overlapped_result)(HANDLE, LPOVERLAPPED, LPDWORD, BOOL);
  BOOL(WINAPI* read_file)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* write_file)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* cancel_io_ex)(HANDLE, LPOVERLAPPED);
  BOOL(WINAPI* clear_comm_error)(HANDLE, LPDWORD, LPCOMSTAT);
  BOOL(WINAPI* purge_comm)(HANDLE, DWORD);
  void(WINAPI* output_debug_string)(LPCWSTR);
};

// The table in use (the system's functions unless a test replaced them).
WinCommApi& CommApi();
// The system's functions.
WinCommApi SystemCommApi();

// The device control block of a line; built afresh, fields the line does
// not set are zero.
DCB MakeDcb(const LineSettings& line);

// The driver's queue sizes, and its timeouts: reads return at once with
// what is queued (MAXDWORD, 0, 0); a write may take 100 ms a byte plus a
// second before the driver gives up on it.
inline constexpr DWORD kQueueSize = 1024;
inline constexpr COMMTIMEOUTS kCommTimeouts = {MAXDWORD, 0, 0, 100, 1000};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_SERIAL_DEVICE_WIN_H_
