#pragma once

#include <stdexcept>
#include <string>

namespace tamsel {

// Error numbers the program raises and traps, as the original runtime numbered them.
namespace err {
inline constexpr long InvalidArgument = 5;
inline constexpr long Overflow = 6;
inline constexpr long SubscriptOutOfRange = 9;
inline constexpr long TypeMismatch = 13;
inline constexpr long FileNotFound = 53;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathNotFound = 76;
}  // namespace err

// The one error type thrown to callers: a number, the source that raised it and a description.
class TamselError : public std::runtime_error {
  public:
    TamselError(long number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    long Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

  private:
    long number_;
    std::string source_;
    std::string description_;
};

}  // namespace tamsel
