// Every form of a run in native windows, filled as a user would see them; a PNG of each.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RenderCheck.h"
#include "app/frmMain.h"
#include "engine/frmProcess.h"
#include "special/SpecialProcessing.h"
#include "special/frmOffice.h"
#include "ui/frmLogin.h"
#include "ui/frmMenu.h"
#include "ui/frmSilentUpdate.h"
#include "ui/frmUpdate.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

TEST(Win32RenderFormsTest, EveryFormOfARun) {
    Win32EventLoop loop;
    Win32Toolkit toolkit{loop};
    UpdateRun run{toolkit, "C:\\Kit\\Updater"};
    const auto render = [&toolkit](Form& form) { testing::RenderAndCheck(toolkit, form); };

    render(*std::make_unique<frmWarning>(toolkit));

    frmMain main(run, "", false);
    main.Load();
    main.Timer1.SetEnabled(false);
    run.g_objMetrics.Shout("Downloading files completed.");
    main.cmdCancel.SetVisible(true);
    render(main);

    auto menu = std::make_shared<CMenu>();
    for (const char* name : {"Sales templates", "Finance templates"}) {
        auto choice = std::make_shared<CChoice>();
        choice->Tuple(name, "/x");
        menu->add(choice);
    }
    frmMenu packages(toolkit, run.localConfiguration);
    packages.setMenu(menu);
    render(packages);

    auto file = std::make_shared<CFile>();
    file->URL("/Templates/Sales Pitch.pot");
    file->myType(CFile::TypeNew);
    file->Size("81920");
    run.g_objMetrics.CompleteCatalogue()->Files().add(file);
    frmUpdate review(toolkit, run.g_objMetrics);
    render(review);

    frmProcess progress(toolkit, run.g_objMetrics, run.localConfiguration, run.globalConfiguration,
                        {});
    progress.Load();
    progress.Timer1.SetEnabled(false);
    progress.lblStatus.SetCaption(ProgressText(3, 12, 81920, 409600, 2));
    render(progress);

    SpecialProcessing special(run, "tamsel-updater");
    frmSilentUpdate notice(toolkit, run.g_objMetrics, run.localConfiguration, special);
    notice.Load();
    notice.Timer1.SetEnabled(false);
    run.g_objMetrics.Scream("which requires closing PowerPoint.");
    notice.cmdUpdate.SetCaption("&Continue");
    render(notice);

    run.localConfiguration.putValue("username", "Demo User");
    render(*std::make_unique<frmLogin>(toolkit, run));

    for (const char* version : {"11.0", "9.0"}) {
        run.registry->createKey(
            RegistryRoot::LocalMachine,
            std::string("Software\\Microsoft\\Office\\") + version + "\\PowerPoint");
    }
    frmOffice office(toolkit, run.localConfiguration, *run.registry);
    render(office);
}

}  // namespace
}  // namespace tamsel
