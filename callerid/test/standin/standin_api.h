#ifndef ORVANTA_CALLERID_TEST_STANDIN_STANDIN_API_H_
#define ORVANTA_CALLERID_TEST_STANDIN_STANDIN_API_H_

// The test-only control server that plays both vendor controls, and the
// functions it exports so that a test, in the same process, can steer it.

#include <windows.h>
#include <oaidl.h>

// Options for StandinSetOptions.
enum StandinOption {
  kStandinNoEvents = 1,            // no IConnectionPointContainer
  kStandinNoDefaultInterface = 2,  // QueryInterface for it fails
  kStandinNoPersist = 4,           // no IPersistStreamInit
  kStandinFailInitNew = 8,         // InitNew returns E_UNEXPECTED
};

// How a member told to fail does it.
enum StandinFailMode {
  kStandinExcepInfo = 0,  // DISP_E_EXCEPTION, EXCEPINFO filled at once
  kStandinDeferred = 1,   // DISP_E_EXCEPTION, filled by pfnDeferredFillIn
  kStandinPlain = 2,      // the code itself is returned
};

extern "C" {
// Forgets the journal, the failures and the options.
typedef void (*StandinResetFn)();
// Everything done to the controls since the last reset, one line each,
// "<CID2|ARG> <what>": "created", "InitNew", "Advise", "Start()",
// "CihazTip=I4:4", "AnaBilgisayar=BSTR:<text>", "Unadvise", "destroyed"...
typedef const wchar_t* (*StandinJournalFn)();
// `member` ("Start", "Connect", "CihazTip", ...) fails from now on. With an
// EXCEPINFO, `description` (may be empty) and `code` as its scode.
typedef void (*StandinFailFn)(const wchar_t* member, int mode, HRESULT code,
                              const wchar_t* description);
typedef void (*StandinSetOptionsFn)(int options);
// Fires event `id` of every live control of `kind` (L"CID2" or L"ARG") with
// `count` string arguments in declared order, by reference or by value.
// Returns what the connected sink returned, or CONNECT_E_NOCONNECTION when
// none is connected.
typedef HRESULT (*StandinFireFn)(const wchar_t* kind, DISPID id, int count,
                                 const wchar_t* const* arguments,
                                 int by_reference);
}

#endif  // ORVANTA_CALLERID_TEST_STANDIN_STANDIN_API_H_
