#pragma once

#include <optional>
#include <string>
#include <string_view>

// The pieces of the catalogue text format shared by the parser and the publisher's checks.
namespace tamsel {

enum class Section { Common, Menu, Exclude, Settings, Special };

// "[COMMON]", "[MENU]", "[EXCLUDE]", "[SETTINGS]", "[SPECIAL]".
std::string_view SectionMarker(Section section);
// The section a line starts when it holds a marker anywhere, in any case; the first marker of
// the list above wins. Nothing for a data line.
std::optional<Section> SectionHeader(std::string_view line);

// The line without its double quotes and the text between each opening and closing quote; an
// opening quote without a closing one removes the rest of the line.
std::string StripQuoted(std::string_view line);
// Whether the key is present on a line already passed through StripQuoted: only the key's first
// occurrence (ignoring case) counts; at the start it must be followed by "=", elsewhere preceded
// by a space and followed by a space or "=".
bool HasKey(std::string_view stripped, std::string_view key);

// Whether a text served where a catalogue was expected is markup instead: its first non-blank
// character is "<" (after a byte order mark), or it holds "<HTML>" in any case anywhere.
bool LooksLikeMarkup(std::string_view text);

// Walks a catalogue text line by line. A line ends with CR LF or with LF alone (catalogues saved
// on other systems); text after the last line end is not read.
class CatalogueLineReader {
  public:
    explicit CatalogueLineReader(std::string_view text) : text_(text) {}
    // The next line without its line end; false when no complete line is left.
    bool next(std::string_view& line);
    // 1-based number of the line last returned by next.
    long lineNumber() const { return lineNumber_; }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
    long lineNumber_ = 0;
};

}  // namespace tamsel
