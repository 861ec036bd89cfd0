#include "reporting/ReportsAddress.h"

#include "util/Text.h"

namespace tamsel {

std::string ReportsUploadAddress(const CConfiguration& global) {
    std::string server = TrimSpaces(global.getValue("reports_server"));
    if (server.empty()) {
        server = TAMSEL_REPORTS_SERVER;
    }
    while (server.ends_with('/')) {
        server.pop_back();
    }
    if (server.empty()) {
        return {};
    }
    return server + "/tamsel_reports/upload.asp";
}

}  // namespace tamsel
