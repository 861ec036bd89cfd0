#pragma once

#include <string>
#include <string_view>

// Path and text helpers. Paths use "/" as the separator: where a rule cuts at the last
// separator, these cut at the last "/" (on Windows, at the last "/" or "\").
namespace tamsel {

// The characters that separate a path's folders on this system.
extern const char* const kPathSeparators;
// The length of the path's root name: its drive ("C:") on Windows, nothing on Linux.
std::size_t PathRootLength(std::string_view path);
// Whether the path starts at a root: "/" on Linux; a drive and a separator, or a network path,
// on Windows.
bool IsAbsolutePath(std::string_view path);
// The path as the system's own programs write it: unchanged on Linux, "\" for "/" on Windows.
std::string NativePath(std::string_view path);

// The text without leading and trailing space characters (tabs stay).
std::string TrimSpaces(std::string_view text);
// The text before the last "/"; empty when there is none.
std::string ParentFolder(std::string_view path);
// The text up to and including the last "/"; the whole text when there is none.
std::string FolderWithBackslash(std::string_view path);
// The path with "/" appended unless it already ends with one.
std::string AddTrailingBackslash(std::string_view path);
// The characters between the last "\" or "/" before the last "." and that "."; empty when the
// text has no "." or no separator before it.
std::string FileBaseName(std::string_view path);
// Catalogue URLs and local paths both use "/", so this keeps the text as it is.
std::string UrlToPath(std::string_view text);
// Every "\" replaced by "/".
std::string PathToUrl(std::string_view text);
// The text between the first and second occurrence of the delimiter; empty with fewer than two.
std::string TextBetween(std::string_view text, std::string_view delimiter);
// The value of the first name="value" pair of a catalogue line whose name equals the key,
// ignoring case. Throws TamselError(err::InvalidArgument) for an opening quote without a closing
// one on the wanted value. Always terminates.
std::string KeyValue(std::string_view key, std::string_view line);
// Every space replaced by "%20", then every double quote by "%22".
std::string EscapeSpacesAndQuotes(std::string_view text);
// Every backslash-n pair replaced by CR LF.
std::string ExpandLineBreaks(std::string_view text);
// The n-th field (from 1) of the trimmed text split at "|"; empty when n is out of range.
std::string PipeField(std::string_view text, long n);

// ASCII case helpers: single-byte texts, compared and folded as the original did for A-Z.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Whether the text holds a control character (NUL, CR, LF and the like, or DEL).
bool HasControlCharacter(std::string_view text);
// Position of the first occurrence of needle in haystack ignoring case, or npos.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
inline bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
    return FindNoCase(haystack, needle) != std::string_view::npos;
}
// Every occurrence of from replaced by to, scanning left to right without rescanning.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Orders names the way a case-insensitive file system lists them: ignoring case, ties broken
// case-sensitively.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace tamsel
