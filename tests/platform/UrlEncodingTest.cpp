#include "platform/UrlEncoding.h"

#include <gtest/gtest.h>

namespace tamsel {
namespace {

struct EncodingCase {
    const char* raw;
    const char* encoded;
};

class UrlEncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(UrlEncodingTest, EncodesOnlyWhatCannotStandRaw) {
    EXPECT_EQ(EncodeRequestUrl(GetParam().raw), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlEncodingTest,
    testing::Values(EncodingCase{"http://h/Tam-Sel Main Catalogue.ini",
                                 "http://h/Tam-Sel%20Main%20Catalogue.ini"},
                    EncodingCase{"http://h/a%20b%2fc", "http://h/a%20b%2fc"},
                    EncodingCase{"http://h/100%", "http://h/100%25"},
                    EncodingCase{"http://h/5%z1", "http://h/5%25z1"},
                    EncodingCase{"http://h/x?a=1&b=c+d", "http://h/x?a=1&b=c+d"},
                    EncodingCase{"http://h/C# Guide.pot", "http://h/C%23%20Guide.pot"},
                    EncodingCase{"http://h:8080/p;q,r!$'()*@~", "http://h:8080/p;q,r!$'()*@~"},
                    EncodingCase{"http://h/caf\xE9", "http://h/caf%E9"},
                    EncodingCase{"http://h/a\tb\r\n", "http://h/a%09b%0D%0A"},
                    EncodingCase{"http://h/\"<>\\^`{|}", "http://h/%22%3C%3E%5C%5E%60%7B%7C%7D"},
                    EncodingCase{"", ""}));

}  // namespace
}  // namespace tamsel
