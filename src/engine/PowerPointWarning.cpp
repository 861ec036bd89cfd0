#include "engine/PowerPointWarning.h"

#include "forms/MsgBox.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr const char* kPowerPointStillOpen =
    "The Tamsel Updater has detected that you still have PowerPoint open.\\nTo safely update "
    "the 'Special' software files it is important that\\nyou close PowerPoint before clicking "
    "the 'Continue' button.";

}  // namespace

bool WarnPowerPointStillOpen(Toolkit& toolkit, SpecialWork& special, int warningsShown,
                             const std::string& caption) {
    if (!special.isPowerPointRunning() || warningsShown >= 4) {
        return false;
    }
    toolkit.MsgBox(ExpandLineBreaks(kPowerPointStillOpen), msgbox::kCritical, caption);
    return true;
}

}  // namespace tamsel
