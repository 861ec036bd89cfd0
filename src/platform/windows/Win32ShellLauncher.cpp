// Opening a file, folder or address with ShellExecuteExW: the verb, the program started or the
// document's program, and the result number are the Windows shell's own.
#include <windows.h>

#include <shellapi.h>

#include "platform/ShellLauncher.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

constexpr int kOtherError = 1;
// The result numbers of ShellExecute for the errors the extended call reports instead.
int ResultOfError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_ACCESS_DENIED:
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_BAD_FORMAT:
            return static_cast<int>(error);
        case ERROR_NO_ASSOCIATION:
            return SE_ERR_NOASSOC;
        case ERROR_DDE_FAIL:
            return SE_ERR_DDEFAIL;
        case ERROR_DLL_NOT_FOUND:
            return SE_ERR_DLLNOTFOUND;
        case ERROR_OUTOFMEMORY:
            return SE_ERR_OOM;
        default:
            return kOtherError;
    }
}

class Win32ShellLauncher : public ShellLauncher {
  public:
    int open(const ShellRequest& request) override {
        const std::wstring verb = Widen(request.verb);
        // A document or program path takes "\"; an address is passed as it is.
        const bool address = request.file.find("://") != std::string::npos;
        const std::wstring file = address ? Widen(request.file) : WidePath(request.file);
        const std::wstring parameters = Widen(request.parameters);
        const std::wstring folder = WidePath(request.folder);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = verb.empty() ? nullptr : verb.c_str();
        info.lpFile = file.c_str();
        info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
        info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
        info.nShow = request.showState;
        if (::ShellExecuteExW(&info)) {
            return 33;
        }
        const auto given = static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
        return given > 0 && given <= 32 ? given : ResultOfError(::GetLastError());
    }
};

}  // namespace

ShellLauncher& SystemShellLauncher() {
    static Win32ShellLauncher launcher;
    return launcher;
}

}  // namespace tamsel
