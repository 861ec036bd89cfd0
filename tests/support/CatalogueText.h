#pragma once

#include <initializer_list>
#include <string>

namespace tamsel::test {

// The lines of a catalogue, each ended by CR LF as a publisher's editor writes them.
inline std::string CatalogueText(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// One file entry of a catalogue with its line end.
inline std::string FileLine(const std::string& url, const std::string& date,
                            const std::string& size) {
    return "url=\"" + url + "\" date=\"" + date + "\" size=\"" + size + "\"\r\n";
}

}  // namespace tamsel::test
