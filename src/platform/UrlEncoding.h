#pragma once

#include <string>
#include <string_view>

namespace tamsel {

// Percent-encodes the bytes that cannot stand raw in a request line: blanks, control characters,
// non-ASCII bytes and the characters "\"#<>\\^`{|}", as well as a "%" that does not start a "%xx"
// escape. Escapes already present and reserved characters ("/?&=:" ...) stay as written.
std::string EncodeRequestUrl(std::string_view url);

}  // namespace tamsel
