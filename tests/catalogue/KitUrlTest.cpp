#include "catalogue/KitUrl.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel {
namespace {

TEST(KitUrl, OnlyUrlsNamingAFileBelowTheKitPass) {
    using enum KitUrlFault;
    const struct {
        std::string url;
        KitUrlFault fault;
    } cases[] = {
        {"/Templates/a.pot", None},
        {"/a..b/..c", None},
        {"/C# Guide.pot", None},
        {"/.hidden", None},
        {"", NoFileName},
        {"/", NoFileName},
        {"/Templates/", NoFileName},
        {"/Templates/.", NoFileName},
        {"/../a", LeavesKit},
        {"/x/../../a", LeavesKit},
        {"/a/../b.pot", LeavesKit},
        {"/x/..", LeavesKit},
        {"\\..\\a", LeavesKit},
        {std::string("/a\0b.txt", 8), ControlCharacter},
        {"/a\r\nb.txt", ControlCharacter},
        {"/a\tb.txt", ControlCharacter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckKitUrl(c.url), c.fault) << c.url;
    }
}

}  // namespace
}  // namespace tamsel
