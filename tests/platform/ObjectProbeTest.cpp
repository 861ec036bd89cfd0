#include "platform/ObjectProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tamsel {
namespace {

TEST(ObjectProbeTest, OnlyTheProbedClassesAreAvailableInAnyLetterCaseFilesWithATemporaryFolder) {
    for (const char* name : {"MICROSOFT.xmlhttp", "msxml2.ServerXMLHTTP",
                             "scripting.FileSystemObject", "adodb.stream"}) {
        EXPECT_TRUE(CanCreateObject(name)) << name;
    }
    for (const char* name : {"", "Excel.Application", "Microsoft.XMLHTTP ", "ADODB"}) {
        EXPECT_FALSE(CanCreateObject(name)) << name;
    }
    // The file classes need a reachable temporary folder.
    const char* old = std::getenv("TMPDIR");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("TMPDIR", "/nonexistent/tamsel-probe", 1);
    const bool files = CanCreateObject("Scripting.filesystemobject");
    const bool stream = CanCreateObject("ADODB.Stream");
    const bool http = CanCreateObject("Microsoft.XMLHTTP");
    saved ? ::setenv("TMPDIR", saved->c_str(), 1) : ::unsetenv("TMPDIR");
    EXPECT_FALSE(files);
    EXPECT_FALSE(stream);
    EXPECT_TRUE(http);
}

}  // namespace
}  // namespace tamsel
