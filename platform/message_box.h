// Modal message boxes. The flag and result values are the platform's own numbers, so a
// value recorded by the simulated Windows reads the same as one passed to the real one.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

namespace platform {

// Buttons (the low four bits of the flags).
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbAbortRetryIgnore = 0x2;
constexpr uint32_t kMbYesNoCancel = 0x3;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbRetryCancel = 0x5;
constexpr uint32_t kMbButtonsMask = 0xF;

// Icons.
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconWarning = 0x30;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr uint32_t kMbIconMask = 0xF0;

// Behaviour.
constexpr uint32_t kMbDefaultButton2 = 0x100;
constexpr uint32_t kMbSetForeground = 0x10000;
constexpr uint32_t kMbTopmost = 0x40000;

// The pressed button.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows `text` under `caption` with the buttons and icon of `flags`, owned by `owner`
// (nullptr = no owner), and waits for the user. Returns the id of the pressed button,
// or 0 when the box could not be shown.
int ShowMessageBox(Window owner, const char* text, const char* caption, uint32_t flags);

}  // namespace platform
