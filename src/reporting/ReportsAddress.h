#pragma once

#include <string>

#include "config/CConfiguration.h"

namespace tamsel {

// The upload address of the reports server: the global setting "reports_server" when it is set,
// else the address built in at deployment, followed by "/tamsel_reports/upload.asp". Empty when
// neither names a server: no second copy goes anywhere.
std::string ReportsUploadAddress(const CConfiguration& global);

}  // namespace tamsel
