#pragma once

#include <string>

// Message box styles and results, with the values the program has always used: the buttons in
// the low bits, the icon as 16, 32, 48 or 64 added to them.
namespace tamsel {

namespace msgbox {
constexpr int kOkOnly = 0;
constexpr int kOkCancel = 1;
constexpr int kAbortRetryIgnore = 2;
constexpr int kYesNoCancel = 3;
constexpr int kYesNo = 4;
constexpr int kRetryCancel = 5;
constexpr int kButtonsMask = 0x0F;

constexpr int kCritical = 16;
constexpr int kQuestion = 32;
constexpr int kExclamation = 48;
constexpr int kInformation = 64;
constexpr int kIconMask = 0x70;
}  // namespace msgbox

enum class MsgBoxResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The answer a user gives by pressing Enter on a fresh message box: its first button.
MsgBoxResult FirstButtonOf(int style);

}  // namespace tamsel
