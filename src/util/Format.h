#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel {

// "512b", "1kb", "1.5kb", "1mb", "1024.0kb", "1.5gb": the decimal separator is the user's
// numeric locale's.
std::string FormatSize(double bytes);
// The count divided by 1024 twice with one decimal: 1572864 gives "1.5".
std::string FormatMegabytes(std::int64_t bytes);
// The leading numeric part of a text (spaces before it skipped); 0 when it starts with no number.
double LeadingNumber(std::string_view text);

}  // namespace tamsel
