#include <gtest/gtest.h>

#include <tuple>

#include "forms/Forms.h"
#include "forms/User.h"
#include "platform/FileRegistryStore.h"
#include "special/COffice.h"
#include "special/OfficeFixture.h"
#include "special/modPowerPoint.h"

namespace tamsel {
namespace {

class Office : public ::testing::Test, protected test::OfficeFixture {};

// The registry lists "11.0" before "9.0"; the last one found decides highestVersion.
TEST_F(Office, ScanCountsVersionsWithPowerPointInListingOrder) {
    InstallPowerPoint("11.0");
    InstallPowerPoint("9.0");
    InstallPowerPoint("12.0");         // not a version the updater knows
    InstallPowerPoint("10.0", false);  // not used by the current user
    run.registry->createKey(RegistryRoot::CurrentUser, "Software\\Microsoft\\Office\\8.0");
    AttachOffice(run);
    const COffice& office = *run.g_objMetrics.Office();
    EXPECT_EQ(office.Installed(), 2);
    EXPECT_EQ(std::tuple(office.has97(), office.has2000(), office.hasXP(), office.has2003()),
              std::tuple(false, true, false, true));
    EXPECT_EQ(office.highestVersion(), "2000");
    EXPECT_EQ(OfficeVersionNumber(office), "11.0");
}

TEST_F(Office, OneVersionIsChosenWithoutAsking) {
    InstallPowerPoint("10.0");
    EXPECT_TRUE(pptAddPlugIn(run, "/kit/Add-ins/Tamsel.ppa"));
    EXPECT_TRUE(toolkit.ShowLog().empty());
    EXPECT_EQ(run.localConfiguration.getValue("office"), "10.0");
    EXPECT_EQ(run.g_objMetrics.PowerPoint(), "10.0");
    EXPECT_TRUE(HasAddIn("10.0", "Tamsel"));
}

// Several versions and no choice yet: the chooser is shown even in a silent run; a chosen
// version is not asked again.
TEST_F(Office, SeveralVersionsAskEvenInASilentRunButOnlyOnce) {
    InstallPowerPoint("9.0");
    InstallPowerPoint("11.0");
    run.g_objMetrics.Silent(true);
    toolkit.WhenShown("frmOffice", [](Form& form) {
        user::Select(form.Get<ListBox>("List1"), 1);
        user::Click(form.Get<CommandButton>("cmdOK"));
    });
    EXPECT_TRUE(pptAddPlugIn(run, "/kit/Tamsel.ppa"));
    EXPECT_EQ(toolkit.ShowLog(), std::vector<std::string>{"frmOffice"});
    EXPECT_EQ(run.g_objMetrics.PowerPoint(), "9.0");
    EXPECT_TRUE(HasAddIn("9.0", "Tamsel"));

    run.g_objMetrics.PowerPoint("");
    run.localConfiguration.putValue("office", "11.0");
    EXPECT_FALSE(pptHavePlugIn(run, "Tamsel"));
    EXPECT_EQ(toolkit.ShowLog(), std::vector<std::string>{"frmOffice"});
    EXPECT_EQ(run.g_objMetrics.PowerPoint(), "11.0");
}

// A registry file that cannot be read is never written: the failure reaches the user.
TEST_F(Office, AFailedRegistrationIsShownAndAnswersFalse) {
    appFolder.write("registry/HKEY_CURRENT_USER.reg", "not an exported registry");
    run.registry = std::make_shared<FileRegistryStore>(appFolder / "registry");
    run.g_objMetrics.PowerPoint("11.0");
    EXPECT_FALSE(pptAddPlugIn(run, "/kit/Tamsel.ppa"));
    ASSERT_EQ(toolkit.MessageBoxes().size(), 1u);
    EXPECT_EQ(toolkit.MessageBoxes()[0].prompt.rfind("Error adding addin Failed to create", 0), 0u);
}

TEST_F(Office, RemovingANameByPathExtensionOrAloneAddressesOneAddIn) {
    InstallPowerPoint("11.0");
    for (const std::string name : {"Tamsel.PPA", "kit/Tamsel", "Tamsel", "/kit/Tamsel.ppa"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(pptAddPlugIn(run, "/kit/Tamsel.ppa"));
        EXPECT_TRUE(pptHavePlugIn(run, name));
        EXPECT_TRUE(pptDeletePlugIn(run, name));
        EXPECT_FALSE(HasAddIn("11.0", "Tamsel"));
        EXPECT_FALSE(pptDeletePlugIn(run, name));
    }
    // Nothing that comes to an empty name reaches the AddIns key itself.
    ASSERT_TRUE(pptAddPlugIn(run, "/kit/Tamsel.ppa"));
    EXPECT_FALSE(pptDeletePlugIn(run, "kit/.ppa"));
    EXPECT_FALSE(pptAddPlugIn(run, "/kit/"));
    EXPECT_TRUE(HasAddIn("11.0", "Tamsel"));
}

}  // namespace
}  // namespace tamsel
