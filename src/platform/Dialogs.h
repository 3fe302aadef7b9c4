#pragma once
// The program's modal message boxes: their titles and icons are part of what users see.

#include <windows.h>

#include <string>

namespace zapnix {

inline constexpr char kMessageTitle[] = "Message:";
inline constexpr char kErrorTitle[] = "Error:";

void ShowInformation(HWND owner, const std::string& text);
void ShowError(HWND owner, const std::string& text);
// Question icon, Yes and No, title "Message:"; true for Yes.
bool AskQuestion(HWND owner, const std::string& text);
// Error icon, Yes and No, title "Error:"; true for Yes.
bool AskAfterError(HWND owner, const std::string& text);

}  // namespace zapnix
