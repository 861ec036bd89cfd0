#include "KitFiles.h"

#include "util/Text.h"

#include <cctype>
#include <system_error>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The entry of folder named segment, or one whose name differs only in letter case.
std::optional<fs::path> FindEntry(const fs::path& folder, const std::string& segment,
                                  FolderNameCache& names) {
    std::error_code error;
    const fs::path exact = folder / segment;
    if (fs::exists(fs::symlink_status(exact, error))) {
        return exact;
    }
    return names.find(folder, segment);
}

bool IsInside(const fs::path& root, const fs::path& candidate) {
    std::error_code error;
    const fs::path realRoot = fs::canonical(root, error);
    if (error) {
        return false;
    }
    const fs::path realFile = fs::canonical(candidate, error);
    if (error) {
        return false;
    }
    auto rootPart = realRoot.begin();
    auto filePart = realFile.begin();
    for (; rootPart != realRoot.end(); ++rootPart, ++filePart) {
        if (filePart == realFile.end() || *rootPart != *filePart) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<fs::path> ResolveKitFile(const fs::path& root, std::string_view requestPath,
                                       FolderNameCache& names) {
    if (requestPath.empty() || requestPath.front() != '/') {
        return std::nullopt;
    }
    fs::path current = root;
    std::size_t start = 1;
    while (start <= requestPath.size()) {
        const std::size_t end = std::min(requestPath.find('/', start), requestPath.size());
        const std::string segment(requestPath.substr(start, end - start));
        start = end + 1;
        if (segment.empty() || segment == ".") {
            continue;
        }
        if (segment.front() == '.' || segment.find('\0') != std::string::npos) {
            return std::nullopt;
        }
        const auto entry = FindEntry(current, segment, names);
        if (!entry) {
            return std::nullopt;
        }
        current = *entry;
    }
    std::error_code error;
    if (!fs::is_regular_file(current, error) || !IsInside(root, current)) {
        return std::nullopt;
    }
    return current;
}

bool IsCatalogueFile(const fs::path& file) {
    return EqualsNoCase(file.extension().string(), ".ini");
}

std::string SubstituteServer(std::string_view text, std::string_view baseAddress) {
    constexpr std::string_view token = "%server%";
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = FindNoCase(text, token); at != std::string_view::npos;
         at = FindNoCase(text, token, from)) {
        out.append(text.substr(from, at - from));
        out.append(baseAddress);
        from = at + token.size();
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace tamsel::server
