#include "catalogue/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tamsel {

bool ReadNumber(std::string_view text, double& value) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return false;
    }
    const auto last = text.find_last_not_of(' ');
    const std::string trimmed(text.substr(first, last - first + 1));

    // strtod would also take "inf", "nan" and "0x1p3": a number must start with a digit or a
    // decimal separator after an optional sign, and must not be hexadecimal.
    std::size_t start = (trimmed[0] == '+' || trimmed[0] == '-') ? 1 : 0;
    if (start >= trimmed.size()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(trimmed[start]);
    if (std::isalpha(lead)) {
        return false;
    }
    if (trimmed.find_first_of("xX") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    const double parsed = std::strtod(trimmed.c_str(), &end);
    if (end != trimmed.c_str() + trimmed.size() || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace tamsel
