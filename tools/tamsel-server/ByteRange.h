#pragma once

#include <cstdint>
#include <string_view>

namespace tamsel::server {

// What to send of a file for a request's "Range" header.
struct ByteRange {
    enum class Kind {
        Whole,          // the whole file, 200
        Part,           // bytes [first, first + length), 206
        Unsatisfiable,  // nothing of the file, 416
    };
    Kind kind = Kind::Whole;
    std::uint64_t first = 0;
    std::uint64_t length = 0;
};

// Exactly one satisfiable range is served as a part, clipped to the file. Several ranges are
// answered with the whole file (a part list could ask for the file many times over), and a header
// that is not a plain "bytes=" range is ignored.
ByteRange ChooseByteRange(std::string_view rangeHeader, std::uint64_t fileSize);

}  // namespace tamsel::server
