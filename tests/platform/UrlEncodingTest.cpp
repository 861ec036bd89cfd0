#include "platform/UrlEncoding.h"

#include <gtest/gtest.h>

namespace tamsel {
namespace {

TEST(UrlEncodingTest, EncodesOnlyWhatCannotStandRaw) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/Tam-Sel Main Catalogue.ini", "http://h/Tam-Sel%20Main%20Catalogue.ini"},
        {"http://h/a%20b%2fc", "http://h/a%20b%2fc"},
        {"http://h/100%", "http://h/100%25"},
        {"http://h/x?a=1&b=c+d", "http://h/x?a=1&b=c+d"},
        {"http://h:8080/p;q,r!$'()*@~", "http://h:8080/p;q,r!$'()*@~"},
        {"http://h/caf\xE9", "http://h/caf%E9"},
        {"http://h/\"<>\\^`{|}", "http://h/%22%3C%3E%5C%5E%60%7B%7C%7D"},
    };
    for (const auto& [raw, encoded] : cases) {
        EXPECT_EQ(EncodeRequestUrl(raw), encoded) << raw;
    }
}

}  // namespace
}  // namespace tamsel
