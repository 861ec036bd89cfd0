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

}  // namespace tamsel::kit
