#include "forms/MsgBox.h"

namespace tamsel {

MsgBoxResult FirstButtonOf(int style) {
    switch (style & msgbox::kButtonsMask) {
        case msgbox::kAbortRetryIgnore:
            return MsgBoxResult::Abort;
        case msgbox::kYesNoCancel:
        case msgbox::kYesNo:
            return MsgBoxResult::Yes;
        case msgbox::kRetryCancel:
            return MsgBoxResult::Retry;
        default:
            return MsgBoxResult::Ok;
    }
}

}  // namespace tamsel
