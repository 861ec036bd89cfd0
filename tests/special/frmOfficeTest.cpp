#include "special/frmOffice.h"

#include <gtest/gtest.h>

#include "forms/User.h"
#include "special/OfficeFixture.h"

namespace tamsel {
namespace {

class frmOfficeTest : public ::testing::Test, protected test::OfficeFixture {
  protected:
    frmOfficeTest() {
        InstallPowerPoint("11.0");
        InstallPowerPoint("9.0");
        InstallPowerPoint("Common");  // not a version: it does not begin with a digit
    }
    frmOffice chooser{toolkit, run.localConfiguration, *run.registry};
};

TEST_F(frmOfficeTest, ListsTheVersionsAndSelectsTheChosenOne) {
    run.localConfiguration.putValue("office", "9.0");
    EXPECT_EQ(chooser.enumeratePowerPoint(), 2);
    chooser.Load();
    ASSERT_EQ(chooser.List1.ListCount(), 2);
    EXPECT_EQ(chooser.List1.List(0), "11.0 (Office 2003)");
    EXPECT_EQ(chooser.List1.List(1), "9.0 (Office 2000)");
    EXPECT_EQ(chooser.List1.ListIndex(), 1);
    EXPECT_TRUE(chooser.cmdOK.Enabled());
}

}  // namespace
}  // namespace tamsel
