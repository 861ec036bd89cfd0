#include "util/DebugLog.h"

#include <fstream>

#include "util/DateTime.h"
#include "util/FileSystem.h"

namespace tamsel {

void DebugLog(const DebugTarget& target, const std::string& message) {
    if (!target.enabled || target.path.empty())
        return;
    try {
        std::ofstream out(PathFromUtf8(target.path), std::ios::binary | std::ios::app);
        if (!out)
            return;
        out << '[' << LongTimeText(Now()) << "] " << message << "\r\n";
    } catch (...) {
        // Errors are ignored, as the original did.
    }
}

}  // namespace tamsel
