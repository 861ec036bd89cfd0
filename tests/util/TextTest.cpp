#include "util/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "util/Error.h"

namespace tamsel {
namespace {

struct TextCase {
    std::string input;
    std::string expected;
};

TEST(TrimSpaces, RemovesOnlySpacesAtBothEnds) {
    const std::vector<TextCase> cases = {
        {"", ""},           {"   ", ""},          {"a", "a"},   {"  a b  ", "a b"},
        {"\ta\t", "\ta\t"}, {" \ta\t ", "\ta\t"}, {"a  ", "a"}, {"  a", "a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimSpaces(c.input), c.expected) << "[" << c.input << "]";
}

TEST(ParentFolder, CutsAtTheLastSlash) {
    const std::vector<TextCase> cases = {
        {"/a/b.ini", "/a"}, {"a/b/c", "a/b"},     {"b.ini", ""}, {"/a", ""},
        {"a/", "a"},        {"C:\\a\\b.ini", ""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParentFolder(c.input), c.expected) << c.input;
}

TEST(FolderWithBackslash, KeepsTheLastSlash) {
    const std::vector<TextCase> cases = {
        {"/a/b.ini", "/a/"}, {"a/b/", "a/b/"}, {"b.ini", "b.ini"}, {"", ""},
        {"/", "/"},          {"a\\b", "a\\b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderWithBackslash(c.input), c.expected) << c.input;
}

TEST(AddTrailingBackslash, AddsOneSlashOnlyWhenMissing) {
    const std::vector<TextCase> cases = {
        {"/a", "/a/"}, {"/a/", "/a/"}, {"", "/"}, {"a\\", "a\\/"}, {"/", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddTrailingBackslash(c.input), c.expected) << c.input;
}

TEST(FileBaseName, TakesTheNameBeforeTheLastDot) {
    const std::vector<TextCase> cases = {
        {"C:\\a\\b.ppt", "b"},
        {"/a/b.ppt", "b"},
        {"b.ppt", ""},                   // no separator before the dot
        {"C:\\dir.old\\readme", "dir"},  // the only dot is in a folder name
        {"/dir.old/readme", "dir"},
        {"/a/b", ""},  // no dot
        {"/a/b.tar.gz", "b.tar"},
        {"/a/.hidden", ""},
        {"/a/b.", "b"},
        {".", ""},
        {"", ""},
        {"http://server/kit/x.pot", "x"},
        {"a\\b/c.d", "c"},
        {"a/b\\c.d", "c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileBaseName(c.input), c.expected) << c.input;
}

TEST(PathToUrl, TurnsBackslashesIntoSlashes) {
    const std::vector<TextCase> cases = {
        {"a\\b\\c.ppt", "a/b/c.ppt"},
        {"a/b", "a/b"},
        {"\\\\", "//"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathToUrl(c.input), c.expected) << c.input;
    EXPECT_EQ(UrlToPath("a\\b/c"), "a\\b/c");  // the way back keeps the text
}

TEST(TextBetween, TakesTheTextBetweenTheFirstTwoDelimiters) {
    struct Case {
        std::string text, delimiter, expected;
    };
    const std::vector<Case> cases = {
        {"a|b|c", "|", "b"},
        {"a|b|c|d", "|", "b"},
        {"a|b", "|", ""},
        {"||", "|", ""},
        {"", "|", ""},
        {"abc", "", ""},
        {"x<<y<<z", "<<", "y"},
        {"aaa", "aa", ""},  // the second search starts after the first
                            // delimiter
        {"aaaa", "aa", ""},
        {"[a]b[a]", "[a]", "b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextBetween(c.text, c.delimiter), c.expected) << c.text << " / " << c.delimiter;
    }
}

TEST(KeyValue, FindsTheValueOfTheWantedKey) {
    struct Case {
        std::string key, line, expected;
    };
    const std::string line = R"(url="kit/a=b.ppt" date="05/01/2007" size="1234")";
    const std::vector<Case> cases = {
        {"url", line, "kit/a=b.ppt"},
        {"date", line, "05/01/2007"},  // the "=" inside the url value starts no pair
        {"SIZE", line, "1234"},
        {"missing", line, ""},
        {"log", R"(full_log="yes")", ""},  // only full_log
        {"full_log", R"(full_log="yes")", "yes"},
        {"a", R"(  a  =  "x y" )", "x y"},
        {"b", R"(a="" b="2")", "2"},
        {"a", R"(a="1" a="2")", "1"},   // the first pair wins
        {"b", R"(a="b=1" c="3")", ""},  // a key only inside another pair's value is not found
        {"b", R"(a="x b=\"y\"")", ""},
        {"a", "no pairs here", ""},
        {"a", R"(a=)", ""},          // no quote on the wanted value
        {"a", R"(a=1 b="2")", "2"},  // the first quoted text after the "=" is taken
        {"b", R"(a=1 b="2")", ""},   // the pair before has its quote taken by b's value: ends
        {"b", R"(a= b="2")", ""},
        {"b", R"(a="1)", ""},  // odd quotes before the key: ends with empty text
        {"", R"(="v")", "v"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyValue(c.key, c.line), c.expected) << c.key << " in " << c.line;
}

TEST(KeyValue, UnbalancedQuoteOnTheWantedValueIsAnInvalidArgument) {
    for (const std::string line : {R"(a="1)", R"(x="1" a="2)", R"(a=")", R"(a = "  )"}) {
        try {
            (void)KeyValue("a", line);
            ADD_FAILURE() << "no error for " << line;
        } catch (const TamselError& e) {
            EXPECT_EQ(e.Number(), err::InvalidArgument) << line;
        }
    }
}

// Every line over a small alphabet up to a length: KeyValue ends, returns a part of the line or
// throws the invalid-argument error, and never reads outside the line (checked under ASan).
TEST(KeyValue, EndsOnEveryShortLine) {
    const std::string alphabet = "k=\" a";
    const std::size_t maxLength = 7;
    std::string line;
    std::size_t lines = 0;
    std::vector<std::size_t> digits;
    for (std::size_t length = 0; length <= maxLength; ++length) {
        digits.assign(length, 0);
        while (true) {
            line.clear();
            for (std::size_t d : digits)
                line += alphabet[d];
            for (const std::string key : {"k", "a", "K", ""}) {
                try {
                    const std::string value = KeyValue(key, line);
                    EXPECT_NE(line.find(value), std::string::npos) << line;
                } catch (const TamselError& e) {
                    EXPECT_EQ(e.Number(), err::InvalidArgument) << line;
                }
            }
            ++lines;
            std::size_t i = 0;
            while (i < length && ++digits[i] == alphabet.size())
                digits[i++] = 0;
            if (i == length)
                break;
        }
    }
    EXPECT_GT(lines, 90000U);
}

TEST(EscapeSpacesAndQuotes, EncodesOnlySpacesAndQuotes) {
    const std::vector<TextCase> cases = {
        {"a b\"c", "a%20b%22c"},    {"", ""},           {"%20", "%20"}, {"  ", "%20%20"},
        {"a/b?c=d&e", "a/b?c=d&e"}, {"\"\"", "%22%22"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeSpacesAndQuotes(c.input), c.expected) << c.input;
}

TEST(ExpandLineBreaks, TurnsBackslashNIntoCrLf) {
    const std::vector<TextCase> cases = {
        {"a\\nb", "a\r\nb"},
        {"\\n\\n", "\r\n\r\n"},
        {"a\\\\nb", "a\\\r\nb"},
        {"a\\", "a\\"},
        {"a\nb", "a\nb"},
        {"\\N", "\\N"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandLineBreaks(c.input), c.expected) << c.input;
}

TEST(PipeField, TakesTheNthFieldOfTheTrimmedText) {
    struct Case {
        std::string text;
        long n;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {" a|b ", 2, "b"}, {" a|b ", 3, ""}, {" a|b ", 1, "a"}, {" a|b ", 0, ""},
        {" a|b ", -1, ""}, {"a||c", 2, ""},  {"a||c", 3, "c"},  {"a|", 2, ""},
        {"a|", 3, ""},     {"", 1, ""},      {"abc", 1, "abc"}, {" a | b ", 2, " b"},
        {"|x", 1, ""},     {"|x", 2, "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PipeField(c.text, c.n), c.expected) << c.text << " " << c.n;
}

TEST(CutAtNul, StopsAtTheFirstNul) {
    EXPECT_EQ(CutAtNul(std::string("ab\0cd\0", 6)), "ab");
    EXPECT_EQ(CutAtNul(std::string("\0x", 2)), "");
    EXPECT_EQ(CutAtNul("abc"), "abc");
}

TEST(CaseHelpers, FoldOnlyAsciiLetters) {
    EXPECT_EQ(ToUpper("abcXYZ09_\xe9"), "ABCXYZ09_\xe9");
    EXPECT_EQ(ToLower("ABCxyz09[\xc9"), "abcxyz09[\xc9");
    EXPECT_TRUE(EqualsNoCase("Catalogue.INI", "catalogue.ini"));
    EXPECT_FALSE(EqualsNoCase("a", "ab"));
    EXPECT_FALSE(EqualsNoCase("[", "{"));
    EXPECT_TRUE(EqualsNoCase("", ""));
}

TEST(FindNoCase, FindsIgnoringCase) {
    EXPECT_EQ(FindNoCase("Hello World", "WORLD"), 6U);
    EXPECT_EQ(FindNoCase("Hello World", "o", 5), 7U);
    EXPECT_EQ(FindNoCase("Hello", "hello!"), std::string_view::npos);
    EXPECT_EQ(FindNoCase("Hello", ""), 0U);
    EXPECT_EQ(FindNoCase("Hello", "", 5), 5U);
    EXPECT_EQ(FindNoCase("Hello", "", 6), std::string_view::npos);
    EXPECT_EQ(FindNoCase("Hello", "o", 99), std::string_view::npos);
    EXPECT_TRUE(ContainsNoCase("C:\\Program Files\\x", "PROGRAM FILES"));
    EXPECT_FALSE(ContainsNoCase("", "a"));
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
    struct Case {
        std::string text, from, to, expected;
    };
    const std::vector<Case> cases = {
        {"aaa", "aa", "b", "ba"},   {"a", "a", "aa", "aa"}, {"abc", "", "x", "abc"},
        {"abcabc", "bc", "", "aa"}, {"", "a", "b", ""},     {"xyz", "q", "r", "xyz"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.expected) << c.text;
}

TEST(NameLess, SortsIgnoringCaseThenCaseSensitively) {
    std::vector<std::string> names = {"b",  "_x", "a",     "B",  "A", "Z",
                                      "ab", "Ab", "a.txt", "a1", "[", "~"};
    std::sort(names.begin(), names.end(),
              [](const std::string& x, const std::string& y) { return NameLess(x, y); });
    // Letters fold to upper case, so "[" and "_" sort after "Z"; ties put upper case first.
    const std::vector<std::string> expected = {"A", "a", "a.txt", "a1", "Ab", "ab",
                                               "B", "b", "Z",     "[",  "_x", "~"};
    EXPECT_EQ(names, expected);
    EXPECT_FALSE(NameLess("a", "a"));
    EXPECT_FALSE(NameLess("a", "A"));
    EXPECT_TRUE(NameLess("z", "\xe9"));  // bytes above 127 sort after ASCII
}

}  // namespace
}  // namespace tamsel
