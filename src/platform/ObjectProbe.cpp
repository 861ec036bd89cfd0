#include "platform/ObjectProbe.h"

#include "platform/SpoolFile.h"
#include "util/Text.h"

#include <filesystem>
#include <system_error>

namespace tamsel {

namespace {

bool TempFolderReachable() {
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    return !error && std::filesystem::is_directory(folder, error);
}

bool FileCreatable() {
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    return !error && SpoolFile::Create(folder) != nullptr;
}

}  // namespace

bool CanCreateObject(std::string_view className) {
    try {
        if (EqualsNoCase(className, "Microsoft.XMLHTTP") ||
            EqualsNoCase(className, "msxml2.ServerXMLHTTP")) {
            return HttpTransportUsable();
        }
        if (EqualsNoCase(className, "Scripting.filesystemobject")) {
            return TempFolderReachable();
        }
        if (EqualsNoCase(className, "ADODB.Stream")) {
            return FileCreatable();
        }
    } catch (const std::exception&) {
        return false;
    }
    return false;
}

}  // namespace tamsel
