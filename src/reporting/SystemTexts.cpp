// The environment texts that ask this system itself: libcurl, the kernel, the XDG folders.
#include <curl/curl.h>
#include <dlfcn.h>

#include <filesystem>
#include <iostream>

#include "platform/ExecutableName.h"
#include "reporting/Environment.h"
#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

namespace {

// The shared library or program that holds the address; empty when it cannot be told.
std::string FileHolding(const void* address) {
    Dl_info info{};
    return ::dladdr(address, &info) != 0 && info.dli_fname != nullptr ? info.dli_fname : "";
}

std::string WithFile(const std::string& name, const std::string& file) {
    return file.empty() ? name : name + " (" + file + ")";
}

const curl_version_info_data* CurlVersion() {
    return curl_version_info(CURLVERSION_NOW);
}

}  // namespace

std::string WindowsVersion() {
    try {
        return WindowsVersionText(SystemName(), KernelRelease());
    } catch (const std::exception&) {
        return {};
    }
}

std::string FolderList() {
    try {
        return "Windows Folder (/usr), System Folder (/usr/lib), Temp Folder (" +
               fs::temp_directory_path().string() + ")";
    } catch (const std::exception&) {
        return {};
    }
}

std::string InternetVersion() {
    const auto* version = CurlVersion();
    if (version == nullptr || version->version == nullptr) {
        return "Unavailable";
    }
    return WithFile(std::string("libcurl ") + version->version, FileHolding(version));
}

std::string StandInObjectInfo(const std::string& className) {
    if (EqualsNoCase(className, "Microsoft.XMLHTTP") ||
        EqualsNoCase(className, "msxml2.ServerXMLHTTP")) {
        const auto* version = CurlVersion();
        return version == nullptr
                   ? ""
                   : WithFile(std::string("libcurl/") + version->version, FileHolding(version));
    }
    if (EqualsNoCase(className, "Scripting.filesystemobject")) {
        return WithFile("std::filesystem", FileHolding(&std::cout));
    }
    if (EqualsNoCase(className, "ADODB.Stream")) {
        return WithFile("SpoolFile", ExecutablePath());
    }
    return {};
}

}  // namespace tamsel
