#include <gtest/gtest.h>

#include "forms/HeadlessToolkit.h"
#include "ui/NameServer.h"

namespace tamsel {
namespace {

struct FieldCase {
    const char* answer;
    const char* key;
    const char* value;
};

class NameServerFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(NameServerFieldTest, ReadsTheValueAfterTheFirstOccurrenceOfTheKey) {
    const FieldCase& row = GetParam();
    EXPECT_EQ(NameServerField(row.answer, row.key), row.value);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NameServerFieldTest,
    ::testing::Values(FieldCase{"ok,name=John,surname=Smith", "name", "John"},
                      FieldCase{"ok,name= John,surname=Smith", "name", "John"},
                      FieldCase{"ok,name=John,surname=Smith", "surname", "Smith"},
                      // The key is found anywhere, so "name" is first met inside "surname".
                      FieldCase{"ok,surname=Smith,name=John", "name", "Smith"},
                      FieldCase{"OK,NAME=Ann,EMAIL=ann@example.com", "email", "ann@example.com"},
                      FieldCase{"ok,Name=Ann", "NAME", "Ann"},
                      // Only a comma ends a value: separate lines run on to the end of the answer.
                      FieldCase{"ok\r\nname=Ann\r\nemail=a@b.c", "name", "Ann\r\nemail=a@b.c"},
                      FieldCase{"ok,name=", "name", ""}, FieldCase{"ok,name=   ", "name", ""},
                      FieldCase{"ok,name=,surname=Smith", "name", ""},
                      FieldCase{"ok,email=a@b.c", "name", ""}, FieldCase{"ok,name", "name", ""},
                      FieldCase{"", "name", ""},
                      // The "=" is looked for after the key's first character, wherever it is.
                      FieldCase{"name,x=1", "name", "1"}));

class NameServerAnswerTest : public ::testing::Test {
  protected:
    CCatalogue remote;
};

TEST_F(NameServerAnswerTest, QueryAddressReplacesEveryPlaceholderWithTheNumberUnescaped) {
    remote.EinConfirmation("http://names/ein?number=%ein%&again=%ein%");
    EXPECT_EQ(NameServerQueryUrl(remote, " 12 34"), "http://names/ein?number= 12 34&again= 12 34");
    remote.EinConfirmation("http://names/ein?number=%EIN%");
    EXPECT_EQ(NameServerQueryUrl(remote, "1"), "http://names/ein?number=%EIN%");
}

TEST_F(NameServerAnswerTest, MarkersAreCaseSensitiveSubstrings) {
    remote.EinConfirmationResponse("TAMSEL-EIN-OK");
    remote.EinConfirmationResponseFail("UNKNOWN-NUMBER");
    EXPECT_TRUE(IsNameServerAnswer(remote, "x TAMSEL-EIN-OK,name=Jane"));
    EXPECT_FALSE(IsNameServerAnswer(remote, "tamsel-ein-ok,name=Jane"));
    EXPECT_TRUE(IsIncorrectNumberAnswer(remote, "TAMSEL-EIN-OK,UNKNOWN-NUMBER"));
    EXPECT_FALSE(IsIncorrectNumberAnswer(remote, "TAMSEL-EIN-OK,unknown-number"));
}

TEST_F(NameServerAnswerTest, MissingMarkersAreFoundInEveryAnswer) {
    EXPECT_TRUE(IsNameServerAnswer(remote, "anything"));
    // Without an incorrect-number text every answer reads as an incorrect number.
    EXPECT_TRUE(IsIncorrectNumberAnswer(remote, "TAMSEL-EIN-OK,name=Jane"));
}

TEST(NameServerPersonTest, KeepsTheAnswerWithALineEnd) {
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit(loop);
    CConfiguration local;
    CConfiguration global;
    CMetrics metrics("/tmp", toolkit, local, global);
    KeepNameServerAnswer(metrics, "TAMSEL-EIN-OK,name=Jane");
    EXPECT_EQ(metrics.EinResponse(), "TAMSEL-EIN-OK,name=Jane\r\n");
}

}  // namespace
}  // namespace tamsel
