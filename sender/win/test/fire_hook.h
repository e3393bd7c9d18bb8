#ifndef ORVANTA_SENDER_WIN_TEST_FIRE_HOOK_H_
#define ORVANTA_SENDER_WIN_TEST_FIRE_HOOK_H_

// Posted to the program's main window, this message makes the hook fire the
// stand-in CID2 control's caller-ID event with the texts below.
inline constexpr wchar_t kFireCallerIdMessage[] = L"OrvantaTestFireCallerId";
inline constexpr wchar_t kFiredLine[] = L"1";
inline constexpr wchar_t kFiredNumber[] = L"05321234567";

#endif  // ORVANTA_SENDER_WIN_TEST_FIRE_HOOK_H_
