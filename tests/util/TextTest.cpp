#include "util/Text.h"

#include <gtest/gtest.h>

#include <string>

#include "util/Error.h"

namespace tamsel {
namespace {

// The one-argument text rules, each with the rows that tell a right rule from a near miss.
TEST(TextRules, OneArgumentTable) {
    const struct {
        const char* rule;
        std::string (*apply)(std::string_view);
        std::string input, expected;
    } cases[] = {
        {"TrimSpaces", TrimSpaces, " \ta\t ", "\ta\t"},
        {"ParentFolder", ParentFolder, "/a/b.ini", "/a"},
        {"ParentFolder", ParentFolder, "b.ini", ""},
        {"AddTrailingBackslash", AddTrailingBackslash, "/a", "/a/"},
        {"AddTrailingBackslash", AddTrailingBackslash, "/a/", "/a/"},
        {"FileBaseName", FileBaseName, "/a/b.tar.gz", "b.tar"},
        {"FileBaseName", FileBaseName, "b.ppt", ""},  // no separator before the dot
        {"FileBaseName", FileBaseName, "/dir.old/readme", "dir"},
        {"FileBaseName", FileBaseName, "a\\b/c.d", "c"},
        {"EscapeSpacesAndQuotes", EscapeSpacesAndQuotes, "a b\"c/?=&%20", "a%20b%22c/?=&%20"},
        {"ExpandLineBreaks", ExpandLineBreaks, "a\\nb\\N", "a\r\nb\\N"},
        {"ToLower", ToLower, "ABCxyz09[\xc9", "abcxyz09[\xc9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.apply(c.input), c.expected) << c.rule << "(" << c.input << ")";
}

TEST(KeyValue, FindsTheValueOfTheWantedKey) {
    const std::string line = R"(url="kit/a=b.ppt" date="05/01/2007" size="1234")";
    const struct {
        std::string key, line, expected;
    } cases[] = {
        {"url", line, "kit/a=b.ppt"},
        {"date", line, "05/01/2007"},  // the "=" inside the url value starts no pair
        {"SIZE", line, "1234"},
        {"log", R"(full_log="yes")", ""},  // only full_log
        {"a", R"(a="1" a="2")", "1"},      // the first pair wins
        {"b", R"(a="b=1" c="3")", ""},     // a key only inside another pair's value is not found
        {"b", R"(a=1 b="2")", ""},         // the pair before has its quote taken by b's value: ends
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyValue(c.key, c.line), c.expected) << c.key << " in " << c.line;
}

TEST(KeyValue, UnbalancedQuoteOnTheWantedValueIsAnInvalidArgument) {
    for (const std::string line : {R"(x="1" a="2)", R"(a = "  )"}) {
        try {
            (void)KeyValue("a", line);
            ADD_FAILURE() << "no error for " << line;
        } catch (const TamselError& e) {
            EXPECT_EQ(e.Number(), err::InvalidArgument) << line;
        }
    }
}

TEST(PipeField, TakesTheNthFieldOfTheTrimmedText) {
    const struct {
        std::string text;
        long n;
        std::string expected;
    } cases[] = {
        {" a|b ", 2, "b"},
        {" a|b ", 3, ""},
        {"a||c", 3, "c"},
        {" a | b ", 2, " b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PipeField(c.text, c.n), c.expected) << c.text << " " << c.n;
}

}  // namespace
}  // namespace tamsel
