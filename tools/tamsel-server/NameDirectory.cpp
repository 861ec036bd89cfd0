#include "NameDirectory.h"

#include "util/FileSystem.h"
#include "util/Text.h"

#include <stdexcept>
#include <vector>

namespace tamsel::server {

namespace {

// Splits one CSV line; fields may be enclosed in double quotes with "" standing for a quote.
std::vector<std::string> SplitCsvLine(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (auto& field : fields) {
        field = TrimSpaces(field);
    }
    return fields;
}

// Readers end a value at a comma or a line break, so values must hold neither.
std::string FieldValue(std::string_view value) {
    std::string clean(value);
    for (char& c : clean) {
        if (c == ',' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return clean;
}

}  // namespace

NameDirectory NameDirectory::Load(const std::filesystem::path& csvFile) {
    std::string text;
    if (!ReadWholeFile(csvFile.string(), text)) {
        throw std::runtime_error("cannot read " + csvFile.string());
    }
    return Parse(text);
}

NameDirectory NameDirectory::Parse(std::string_view csvText) {
    NameDirectory directory;
    bool first = true;
    std::size_t start = 0;
    while (start < csvText.size()) {
        std::size_t end = csvText.find('\n', start);
        if (end == std::string_view::npos) {
            end = csvText.size();
        }
        std::string_view line = csvText.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        auto fields = SplitCsvLine(line);
        const bool header = first && EqualsNoCase(fields[0], "ein");
        first = false;
        if (header || fields[0].empty()) {
            continue;
        }
        fields.resize(6);
        directory.people_[fields[0]] =
            Person{fields[1], fields[2], fields[3], fields[4], fields[5]};
    }
    return directory;
}

const Person* NameDirectory::find(std::string_view ein) const {
    const auto it = people_.find(TrimSpaces(ein));
    return it == people_.end() ? nullptr : &it->second;
}

std::string NameDirectory::answer(std::string_view ein, std::string_view validMarker,
                                  std::string_view incorrectMarker) const {
    const Person* person = find(ein);
    if (!person) {
        return std::string(validMarker) + "," + std::string(incorrectMarker);
    }
    return std::string(validMarker) + ",name=" + FieldValue(person->name) +
           ",surname=" + FieldValue(person->surname) + ",email=" + FieldValue(person->email) +
           ",country=" + FieldValue(person->country) + ",ouc=" + FieldValue(person->ouc);
}

}  // namespace tamsel::server
