#include <gtest/gtest.h>

#include "ui/NameServer.h"

namespace tamsel {
namespace {

TEST(NameServerTest, FieldIsReadAfterTheFirstOccurrenceOfTheKey) {
    const struct {
        const char *answer, *key, *value;
    } rows[] = {{"ok,name=John,surname=Smith", "name", "John"},
                {"ok,name= John,surname=Smith", "name", "John"},
                // The key is found anywhere, so "name" is first met inside "surname".
                {"ok,surname=Smith,name=John", "name", "Smith"},
                {"ok,Name=Ann", "NAME", "Ann"},
                // Only a comma ends a value: separate lines run on to the end of the answer.
                {"ok\r\nname=Ann\r\nemail=a@b.c", "name", "Ann\r\nemail=a@b.c"},
                // The "=" is looked for after the key's first character, wherever it is.
                {"name,x=1", "name", "1"}};
    for (const auto& row : rows)
        EXPECT_EQ(NameServerField(row.answer, row.key), row.value)
            << row.answer << " / " << row.key;
    // An empty, blank or missing value, or no "=" at all, reads as nothing.
    for (const char* answer : {"ok,name=   ", "ok,name=,surname=Smith", "ok,name"})
        EXPECT_EQ(NameServerField(answer, "name"), "") << answer;
}

TEST(NameServerTest, QueryAddressReplacesEveryPlaceholderWithTheNumberUnescaped) {
    CCatalogue remote;
    remote.EinConfirmation("http://names/ein?number=%ein%&again=%ein%");
    EXPECT_EQ(NameServerQueryUrl(remote, " 12 34"), "http://names/ein?number= 12 34&again= 12 34");
    remote.EinConfirmation("http://names/ein?number=%EIN%");
    EXPECT_EQ(NameServerQueryUrl(remote, "1"), "http://names/ein?number=%EIN%");
}

TEST(NameServerTest, MarkersAreCaseSensitiveSubstringsAndMissingOnesAreFoundEverywhere) {
    CCatalogue remote;
    EXPECT_TRUE(IsNameServerAnswer(remote, "anything"));
    // Without an incorrect-number text every answer reads as an incorrect number.
    EXPECT_TRUE(IsIncorrectNumberAnswer(remote, "TAMSEL-EIN-OK,name=Jane"));

    remote.EinConfirmationResponse("TAMSEL-EIN-OK");
    remote.EinConfirmationResponseFail("UNKNOWN-NUMBER");
    EXPECT_TRUE(IsNameServerAnswer(remote, "x TAMSEL-EIN-OK,name=Jane"));
    EXPECT_FALSE(IsNameServerAnswer(remote, "tamsel-ein-ok,name=Jane"));
    EXPECT_TRUE(IsIncorrectNumberAnswer(remote, "TAMSEL-EIN-OK,UNKNOWN-NUMBER"));
    EXPECT_FALSE(IsIncorrectNumberAnswer(remote, "TAMSEL-EIN-OK,unknown-number"));
}

}  // namespace
}  // namespace tamsel
