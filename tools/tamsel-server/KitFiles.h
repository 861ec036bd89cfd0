#pragma once

#include "FolderNameCache.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tamsel::server {

// Decodes every "%xx" escape of a request path; other characters, "+" included, stay as they are.
std::string PercentDecode(std::string_view text);

// The regular file below root that a decoded request path names, or nothing. Segments that do
// not exist as written are matched ignoring letter case, as the kit's authoring file system
// would, looked up through `names`. Never resolves to a folder, a hidden entry ("." first), a ".."
// step or anything that leads outside root through a link.
std::optional<std::filesystem::path> ResolveKitFile(const std::filesystem::path& root,
                                                    std::string_view requestPath,
                                                    FolderNameCache& names);

// Whether a served file's text gets its "%server%" tokens replaced (catalogues: "*.ini").
bool IsCatalogueFile(const std::filesystem::path& file);

// Every "%server%" (any letter case) replaced by the server's own base address.
std::string SubstituteServer(std::string_view text, std::string_view baseAddress);

}  // namespace tamsel::server
