#include "special/modShell.h"

#include "platform/ExecutableName.h"
#include "util/Text.h"

namespace tamsel {

TamselError ShellError(int result) {
    const long base = static_cast<long>(static_cast<std::int32_t>(0x80040418u)) + result;
    long number = base;
    std::string message;
    switch (result) {
        case 0:
        case 8:
            number = 7;
            message = "Out of memory";
            break;
        case 2:
            number = 53;
            message = "File not found";
            break;
        case 3:
            number = 76;
            message = "Path not found";
            break;
        case 5:
            number = 75;
            message = "Path/file access error";
            break;
        case 11:
            message = "The executable file is invalid or corrupt";
            break;
        case 26:
            number = 75;
            message = "A sharing violation occurred.";
            break;
        case 27:
            message = "This file type does not have a valid file association.";
            break;
        case 28:
            number = 286;
            message = "The file could not be opened due to time out. Please try again in a moment.";
            break;
        case 29:
            number = 285;
            message =
                "The file could not be opened because the DDE transaction failed. Please try "
                "again in a moment.";
            break;
        case 30:
            number = 285;
            message =
                "The file could not be opened because the target application is busy. Please try "
                "again in a moment.";
            break;
        case 31:
            message = "No application is associated with this file type.";
            break;
        case 32:
            number = 48;
            message = "The specified dynamic-link library was not found.";
            break;
        default:
            message =
                "An error occurred occurred whilst trying to open or print the selected file.";
            break;
    }
    return TamselError(number, ExecutableName() + ".GShell", message);
}

bool shellOpen(const std::string& file, std::int32_t showState, const std::string& parameters,
               const std::string& folder, std::string& verb, std::intptr_t& /*hwnd*/,
               std::optional<TamselError>* currentError, ShellLauncher& launcher) {
    if (ContainsNoCase(file, ".EXE")) {
        showState = 0;
    }
    ShellRequest request{verb, file, parameters, folder, showState};
    if (parameters.empty() && folder.empty()) {
        request.showState = 1;
    }
    int result = 1;
    try {
        result = launcher.open(request);
    } catch (...) {
        result = 1;
    }
    if (result > 32 || result < 0) {
        return true;
    }
    if (currentError) {
        currentError->emplace(ShellError(result));
    }
    return false;
}

}  // namespace tamsel
