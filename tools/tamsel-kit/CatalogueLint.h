#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tamsel::kit {

struct LintWarning {
    long line = 0;  // 1-based, as an editor counts the file's lines
    std::string message;
};

// The problems a publisher should fix before publishing a catalogue file, in line order.
std::vector<LintWarning> LintCatalogue(std::string_view content);
// The problems of a catalogue in a signed kit, in line order: file lines (of the files and of
// the special files) without a sha256 of 64 hex digits, and %server%, which changes in serving.
std::vector<LintWarning> LintSha256(std::string_view content);

}  // namespace tamsel::kit
