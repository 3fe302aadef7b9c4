#pragma once
// The one message loop of the program, and the waits that keep the program responsive by processing
// pending messages. Modeless windows register here so that Tab and Enter work in them.

#include <windows.h>

namespace zapnix {

void RegisterDialogWindow(HWND hwnd);
void UnregisterDialogWindow(HWND hwnd);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Handles every message already waiting. Returns false when WM_QUIT was met (it is posted again so
// that the outer loop ends too).
bool ProcessPendingMessages();

// Waits up to `milliseconds` for new input, processing whatever arrives meanwhile.
bool WaitProcessingMessages(DWORD milliseconds);

}  // namespace zapnix
