#include "app/frmMain.h"
#include "util/Text.h"

namespace tamsel {

void frmMain::Step() {
    switch (state_) {
        case 0:
            state_ = 1;
            break;
        case 1: {
            if (!metrics_.readConfigFile()) {
                // Without a program folder there is nowhere to keep the files: the defaults
                // stay in memory.
                run_.globalConfiguration.Default2("");
                run_.localConfiguration.Default1("");
            }
            const std::string label = run_.globalConfiguration.getValue("label1");
            if (ToUpper(label.substr(0, 3)) == "EIN") {
                run_.einMode = true;
            }
            if (run_.localConfiguration.getValue("autoupdate").empty()) {
                run_.localConfiguration.putValue("autoupdate", "daily");
            }
            state_ = 2;
            break;
        }
        default:
            // The rest of the update sequence is not built yet: the run waits here.
            Timer1.SetEnabled(false);
            break;
    }
}

}  // namespace tamsel
