#include "platform/ObjectProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tamsel {
namespace {

// Points the system's temporary folder elsewhere for one test.
class ScopedTmpDir {
  public:
    explicit ScopedTmpDir(const char* value) {
        if (const char* old = std::getenv("TMPDIR")) {
            old_ = old;
        }
        ::setenv("TMPDIR", value, 1);
    }
    ~ScopedTmpDir() {
        if (old_) {
            ::setenv("TMPDIR", old_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }

  private:
    std::optional<std::string> old_;
};

TEST(ObjectProbeTest, ProbedClassesAreAvailableInAnyLetterCase) {
    for (const char* name :
         {"Microsoft.XMLHTTP", "msxml2.ServerXMLHTTP", "Scripting.filesystemobject", "ADODB.Stream",
          "MICROSOFT.xmlhttp", "scripting.FileSystemObject", "adodb.stream"}) {
        EXPECT_TRUE(CanCreateObject(name)) << name;
    }
}

TEST(ObjectProbeTest, OtherClassesAreNot) {
    for (const char* name : {"", "Excel.Application", "Microsoft.XMLHTTP ", "ADODB", "msxml2"}) {
        EXPECT_FALSE(CanCreateObject(name)) << name;
    }
}

TEST(ObjectProbeTest, FileClassesNeedAReachableTemporaryFolder) {
    ScopedTmpDir missing("/nonexistent/tamsel-probe");
    EXPECT_FALSE(CanCreateObject("Scripting.filesystemobject"));
    EXPECT_FALSE(CanCreateObject("ADODB.Stream"));
    EXPECT_TRUE(CanCreateObject("Microsoft.XMLHTTP"));
}

}  // namespace
}  // namespace tamsel
