#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tamsel::server {

struct Person {
    std::string name;
    std::string surname;
    std::string email;
    std::string country;
    std::string ouc;
};

// The name server's people, keyed by employee number, read from a CSV file with the columns
// ein,name,surname,email,country,ouc (a first line starting with "ein" is a header).
class NameDirectory {
  public:
    NameDirectory() = default;
    // Throws std::runtime_error when the file cannot be read.
    static NameDirectory Load(const std::filesystem::path& csvFile);
    static NameDirectory Parse(std::string_view csvText);

    const Person* find(std::string_view ein) const;
    std::size_t size() const { return people_.size(); }

    // The answer for a number: the valid marker, then for a known number the fields
    // "name=...,surname=...,email=...,country=...,ouc=..." (name before surname: readers take the
    // first "name" they find), for an unknown one the incorrect marker.
    std::string answer(std::string_view ein, std::string_view validMarker,
                       std::string_view incorrectMarker) const;

  private:
    std::map<std::string, Person, std::less<>> people_;
};

}  // namespace tamsel::server
