#include <algorithm>
#include <utility>

#include "app/frmMain.h"
#include "config/Schedule.h"
#include "engine/Version.h"
#include "reporting/LogSender.h"
#include "special/COffice.h"
#include "ui/frmLogin.h"
#include "ui/frmMenu.h"
#include "ui/frmSilentUpdate.h"
#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Format.h"
#include "util/Text.h"

namespace tamsel {

namespace {

std::string UpdatedSummary(long files, double size) {
    if (files == 0) {
        return "No files have been updated";
    }
    const std::string total = " with a total size of " + FormatSize(size);
    if (files == 1) {
        return "1 file has been updated" + total;
    }
    return std::to_string(files) + " files has been updated" + total;
}

}  // namespace

std::string frmMain::ParentOfKit() const {
    return ParentFolder(run_.localConfiguration.getLocal());
}

void frmMain::ShowCentredOnTop() {
    SetWindowState(WindowState::Normal);
    Show();
    SetTopMost(true);
    CFormMemory::forceCenter(*this);
}

// An error raised by an operation during a tick ends the run through the failure state, with its
// message in the status pane.
void frmMain::Step() {
    try {
        if (IsSpecialState(state_)) {
            StepSpecial();
            return;
        }
        // The PowerPoint warning's "Continue" means nothing once the sequence has left it.
        if (cmdCancel.Caption() == "&Continue") {
            cmdCancel.SetCaption("&Cancel");
        }
        switch (state_) {
            case MainState::Start:
                state_ = MainState::LoadSettings;
                break;
            case MainState::LoadSettings: {
                if (!metrics_.readConfigFile()) {
                    // Without a program folder there is nowhere to keep the files: the defaults
                    // stay in memory.
                    run_.globalConfiguration.Default2("");
                    run_.localConfiguration.Default1("");
                }
                const std::string label = run_.globalConfiguration.getValue("label1");
                if (ToUpper(label.substr(0, 3)) == "EIN") {
                    run_.einMode = true;
                }
                if (run_.localConfiguration.getValue("autoupdate").empty()) {
                    run_.localConfiguration.putValue("autoupdate", "daily");
                }
                if (run_.localConfiguration.getValue("office").empty()) {
                    const COffice* office = metrics_.Office();
                    run_.localConfiguration.putValue("office",
                                                     office ? OfficeVersionNumber(*office) : "");
                }
                state_ = MainState::Setup;
                break;
            }
            case MainState::Setup:
                ShowSetup();
                break;
            case MainState::SetupDone:
                state_ = PrepareKitFolder() ? MainState::TestHttpComponent : MainState::Failed;
                break;
            case MainState::TestHttpComponent:
                metrics_.Shout("Testing 'Microsoft.XMLHTTP'");
                if (run_.canCreateObject("Microsoft.XMLHTTP")) {
                    metrics_.Shout("passed");
                    state_ = MainState::TestFileComponent;
                } else {
                    metrics_.Shout(run_.canCreateObject("msxml2.ServerXMLHTTP")
                                       ? "out-of-date, requires 'msxml4.dll'"
                                       : "failed");
                    state_ = MainState::Failed;
                }
                break;
            case MainState::TestFileComponent:
            case MainState::TestStreamComponent: {
                const bool files = state_ == MainState::TestFileComponent;
                const char* component = files ? "Scripting.filesystemobject" : "ADODB.Stream";
                metrics_.Shout(std::string("Testing '") + component + "'");
                const bool passed = run_.canCreateObject(component);
                metrics_.Shout(passed ? "passed" : "failed");
                state_ = !passed ? MainState::Failed
                         : files ? MainState::TestStreamComponent
                                 : MainState::ComponentsTested;
                break;
            }
            case MainState::ComponentsTested:
                state_ = MainState::AnnounceMasterCatalogue;
                break;
            case MainState::AnnounceMasterCatalogue:
                metrics_.Shout("Retrieving master catalogue from server...");
                state_ = MainState::FetchMasterCatalogue;
                break;
            case MainState::FetchMasterCatalogue: {
                const bool fetched = metrics_.getRemoteCatalogue();
                metrics_.Shout(fetched ? "successful" : "failed");
                if (!fetched) {
                    metrics_.ShoutCause(metrics_.FailureCause());
                }
                metrics_.Shout(" ");
                state_ = fetched ? MainState::CheckForSpecialFiles : MainState::Failed;
                break;
            }
            case MainState::CheckForSpecialFiles:
                state_ = metrics_.RemoteCatalogue()->Special().Size() > 0
                             ? MainState::CheckSpecialFiles
                             : MainState::AnnounceLocalCatalogue;
                break;
            case MainState::AnnounceLocalCatalogue:
                metrics_.Shout("Building local catalogue from file system...");
                state_ = MainState::BuildLocalCatalogue;
                break;
            case MainState::BuildLocalCatalogue: {
                const bool built = metrics_.getLocalCatalogue();
                metrics_.Shout(built ? "successful" : "failed");
                if (!built) {
                    metrics_.ShoutCause(metrics_.FailureCause());
                }
                metrics_.Shout(" ");
                state_ = built ? MainState::PrepareMenus : MainState::Failed;
                break;
            }
            case MainState::PrepareMenus: {
                CMenus& menus = metrics_.RemoteCatalogue()->Menus();
                if (metrics_.Silent()) {
                    menus.promoteHistorical(run_.localConfiguration);
                    flattenedMenu_ = menus.flattenMenus();
                    state_ = MainState::StartChecking;
                } else {
                    menus.moveFirst();
                    state_ = MainState::AskMenus;
                }
                break;
            }
            case MainState::AskMenus:
                ShowMenus();
                break;
            case MainState::StartChecking:
                if (!metrics_.Silent()) {
                    Show();
                }
                metrics_.ClearPane();
                lblLegend.SetCaption("Checking for available updates:");
                menuIndex_ = 1;
                state_ = MainState::NextChoice;
                break;
            case MainState::NextChoice: {
                const auto& choices = flattenedMenu_->asCollection();
                if (menuIndex_ > static_cast<int>(choices.size())) {
                    state_ = MainState::ChoicesDone;
                    break;
                }
                currentChoice_ = choices[static_cast<std::size_t>(menuIndex_ - 1)];
                ++menuIndex_;
                state_ = currentChoice_->Active() ? MainState::FetchChoiceCatalogue
                                                  : MainState::NextChoice;
                break;
            }
            case MainState::FetchChoiceCatalogue: {
                metrics_.Shout("Retrieving catalogue for " + currentChoice_->Choice() + "...");
                const std::string url = run_.globalConfiguration.getRemote() +
                                        currentChoice_->Home() + "/" +
                                        run_.globalConfiguration.getSecondaryCatalogue();
                secondaryCatalogue_ = metrics_.getCatalogue(url, currentChoice_->Home());
                metrics_.Shout(secondaryCatalogue_ ? "successful" : "failed");
                if (!secondaryCatalogue_) {
                    metrics_.ShoutCause(metrics_.FailureCause());
                }
                metrics_.Shout(" ");
                state_ =
                    secondaryCatalogue_ ? MainState::ChoiceCatalogueFetched : MainState::Failed;
                break;
            }
            case MainState::ChoiceCatalogueFetched:
                state_ = MainState::AppendChoiceCatalogue;
                break;
            case MainState::AppendChoiceCatalogue:
                metrics_.CompleteCatalogue()->Append(*secondaryCatalogue_);
                state_ = MainState::ChoiceDone;
                break;
            case MainState::ChoiceDone:
                state_ = MainState::NextChoice;
                break;
            case MainState::ChoicesDone:
                state_ = MainState::AnalyseFiles;
                break;
            case MainState::AnalyseFiles:
                metrics_.Shout("Analysing files...");
                metrics_.analyseCatalogue();
                metrics_.Shout("successful");
                metrics_.Shout(" ");
                state_ = MainState::PruneCatalogue;
                break;
            case MainState::PruneCatalogue:
                metrics_.Shout("Building new content...");
                metrics_.Trace("Main::g_objMetrics.pruneCatalogue");
                metrics_.pruneCatalogue();
                metrics_.Shout("successful");
                metrics_.Shout(" ");
                state_ = MainState::CheckForUpdates;
                break;
            case MainState::CheckForUpdates:
                if (metrics_.CompleteCatalogue()->Files().Size() > 0 || metrics_.Silent()) {
                    state_ = MainState::HideForReview;
                } else {
                    Show();
                    SetTopMost(true);
                    metrics_.ClearPane();
                    // Nothing to change: the choices stand as made.
                    SaveChoices();
                    metrics_.Shout("Local files are already up-to-date.");
                    metrics_.Shout(" ");
                    metrics_.Shout("Tidying up local folders...");
                    cmdCancel.SetCaption("&Finish");
                    state_ = MainState::Finished;
                }
                break;
            case MainState::HideForReview:
                Hide();
                state_ = metrics_.Silent() ? MainState::SilentReview : MainState::Review;
                break;
            case MainState::Review:
                ShowReview();
                break;
            case MainState::SilentReview:
                SilentReview();
                break;
            case MainState::StartProcessing:
                metrics_.ClearPane();
                metrics_.Trace("Main::m_objProccess.Show vbMinimized");
                m_objProccess = std::make_unique<frmProcess>(
                    GetToolkit(), metrics_, run_.localConfiguration, run_.globalConfiguration,
                    [this](const std::string& command) { processSpecial2(command); });
                state_ = MainState::WaitForProcessing;
                m_objProccess->Show(ShowMode::Modal);
                break;
            case MainState::WaitForProcessing:
                if (m_objProccess->Complete()) {
                    state_ = MainState::ProcessingDone;
                }
                break;
            case MainState::ProcessingDone:
                // A dialog closed by its frame did not complete the downloads.
                metrics_.Shout(m_objProccess->Canceled() ? "Downloading files canceled."
                                                         : "Downloading files completed.");
                metrics_.Shout(" ");
                metrics_.Shout("Tidying up local folders...");
                PruneEmptyFolders(run_.localConfiguration.getLocal());
                state_ = MainState::FinishRun;
                break;
            case MainState::FinishRun:
                Finish();
                break;
            case MainState::Failed:
                Fail();
                break;
            case MainState::Finished:
                if (run_.specialFailed) {
                    // The kit was updated, its special files or their commands were not.
                    const std::string summary = metrics_.FinalStatus();
                    metrics_.FinalStatus("ERROR Unable to complete special file processing." +
                                         (summary.empty() ? "" : " " + summary));
                    metrics_.Scream(metrics_.FinalStatus());
                }
                metrics_.Shout("- creating log file");
                sendLog(run_.specialFailed);
                sendCompletionNotice();
                metrics_.Shout(" ");
                metrics_.Shout("Please quit and re-launch PowerPoint");
                cmdCancel.SetVisible(true);
                Timer1.SetEnabled(false);
                break;
            case MainState::FinishedQuietly:
                runDeferredCommands();
                ScheduleNextRun(run_.localConfiguration);
                Timer1.SetEnabled(false);
                Unload();
                break;
            case MainState::FailedQuietly:
                Timer1.SetEnabled(false);
                Unload();
                break;
            default:
                break;
        }
    } catch (const TamselError& error) {
        // The error may have left a dialog's status pane attached.
        metrics_.Broadcast(&InfoPane);
        metrics_.Scream(error.Description());
        state_ = MainState::Failed;
    } catch (const std::exception& error) {
        metrics_.Broadcast(&InfoPane);
        metrics_.Scream(error.what());
        state_ = MainState::Failed;
    }
}

void frmMain::ShowSetup() {
    const std::string registration =
        run_.localConfiguration.getValue(run_.einMode ? "ein" : "username");
    if (metrics_.Silent() && !registration.empty()) {
        state_ = MainState::SetupDone;
        return;
    }
    frmLogin setup(GetToolkit(), run_);
    setup.Show(ShowMode::Modal);
    if (setup.Complete()) {
        run_.localConfiguration.commit();
        Show();
        state_ = MainState::SetupDone;
    } else if (setup.Built()) {
        metrics_.Shout("Catalogue build successful");
        Timer1.SetEnabled(false);
        Show();
        cmdCancel.SetVisible(true);
    } else {
        Unload();
    }
}

// A kit folder that is not there yet is made, with the folders above it, before anything is done
// for the kit.
bool frmMain::PrepareKitFolder() {
    const std::string kit = run_.localConfiguration.getLocal();
    if (kit.empty() || FolderExists(kit)) {
        return true;
    }
    try {
        CreateFolderPath(kit + "/");
        metrics_.Trace("Main::created the kit folder " + kit);
        return true;
    } catch (const TamselError& error) {
        metrics_.Shout("Cannot create the kit folder '" + kit + "'");
        metrics_.ShoutCause(error.Description());
        return false;
    }
}

void frmMain::ShowMenus() {
    CMenus& menus = metrics_.RemoteCatalogue()->Menus();
    // A catalogue without menus has nothing to ask.
    if (menus.Size() > 0) {
        Hide();
        frmMenu menu(GetToolkit(), run_.localConfiguration);
        menu.setMenu(menus.getMenu());
        menu.Show(ShowMode::Modal);
        if (!menu.Complete()) {
            Unload();
            return;
        }
        if (menus.anotherMenu()) {
            menus.moveNext();
            return;
        }
    }
    // The choices become the history only once the user has accepted what they change.
    flattenedMenu_ = metrics_.RemoteCatalogue()->Menus().flattenMenus();
    choicesToSave_ = true;
    state_ = MainState::StartChecking;
}

void frmMain::SaveChoices() {
    if (!choicesToSave_) {
        return;
    }
    choicesToSave_ = false;
    CConfiguration& local = run_.localConfiguration;
    // A line kept from the file is written back as it was read.
    std::vector<std::shared_ptr<CSetting>> previous;
    for (const auto& line : local.asCollection()) {
        if (line->Key() == "historical") {
            previous.push_back(line);
        }
    }
    local.RemoveAll("historical");
    for (const auto& choice : flattenedMenu_->asCollection()) {
        if (choice->Active()) {
            const auto kept = std::find_if(
                previous.begin(), previous.end(),
                [&choice](const auto& line) { return line && line->Value() == choice->Choice(); });
            local.add(kept != previous.end()
                          ? std::exchange(*kept, nullptr)
                          : CConfiguration::Setting("historical", choice->Choice()));
            local.Dirty();
        }
    }
    local.commit();
}

void frmMain::ShowReview() {
    metrics_.Trace("Main::m_objUpdate.Show vbModal");
    m_objUpdate = std::make_unique<frmUpdate>(GetToolkit(), metrics_);
    m_objUpdate->Show(ShowMode::Modal);
    if (m_objUpdate->Complete()) {
        SaveChoices();
        metrics_.Trace("Main::g_objMetrics.calculateSize");
        metrics_.calculateSize();
        m_objUpdate.reset();
        state_ = MainState::StartProcessing;
    } else {
        m_objUpdate.reset();
        Unload();
    }
}

// A background run selects every file and asks the user first with the background notice when
// there is something to update or a special file still out of date.
void frmMain::SilentReview() {
    metrics_.CompleteCatalogue()->Files().setTags();
    metrics_.calculateSize();
    const long updates = metrics_.CompleteCatalogue()->Updates();
    SpecialWork& special = *run_.special;
    CFiles& specialList = metrics_.RemoteCatalogue()->Special();
    bool more = false;
    if (!special.checkScripts(ParentOfKit(), specialList) || updates != 0) {
        if (special.checkSpecial(ParentOfKit(), specialList) > 0 || updates > 0) {
            frmSilentUpdate notice(GetToolkit(), metrics_, run_.localConfiguration, special);
            notice.Show(ShowMode::Modal);
            metrics_.Broadcast(&InfoPane);
            if (!notice.Complete()) {
                Unload();
                return;
            }
            more = notice.More();
        }
    }
    state_ = more ? MainState::Review : MainState::StartProcessing;
}

void frmMain::Finish() {
    const bool error = m_objProccess->Error();
    const long files = m_objProccess->Files();
    if (metrics_.Silent() && !error && files == 0 && !run_.specialFailed) {
        m_objProccess.reset();
        state_ = MainState::FinishedQuietly;
        return;
    }
    ShowCentredOnTop();
    if (error) {
        metrics_.FinalStatus("ERROR");
        state_ = MainState::Failed;
    } else {
        const std::string summary = UpdatedSummary(files, m_objProccess->Size());
        canceled_ = m_objProccess->Canceled();
        metrics_.Status(summary);
        metrics_.FinalStatus(canceled_ ? "CANCELED " + summary : summary);
        // The user sees what the run did, under the tidying-up line.
        metrics_.Shout(metrics_.FinalStatus());
        ScheduleNextRun(run_.localConfiguration);
        run_.localConfiguration.putValue("lastupdated", DateToDmy(Now()));
        // The key may be new to an old settings file.
        run_.localConfiguration.Dirty();
        run_.localConfiguration.commit();
        cmdCancel.SetCaption("&Finish");
        state_ = MainState::Finished;
    }
    m_objProccess.reset();
}

void frmMain::Fail() {
    sendLog(true);
    if (metrics_.Silent()) {
        state_ = MainState::FailedQuietly;
        return;
    }
    Show();
    metrics_.Shout("Unable to continue. Please try again in a few minutes.");
    cmdCancel.SetVisible(true);
    Timer1.SetEnabled(false);
}

void frmMain::sendLog(bool critical) {
    tamsel::sendLog(run_, flattenedMenu_.get(), critical, *environment);
}

void frmMain::sendCompletionNotice() {
    try {
        std::string notice =
            TrimSpaces(metrics_.RemoteCatalogue() ? metrics_.RemoteCatalogue()->Log() : "");
        const CConfiguration& local = run_.localConfiguration;
        if (notice.empty() || local.getValue("username").empty() || metrics_.Status().empty()) {
            return;
        }
        auto complete = metrics_.CompleteCatalogue();
        std::string office = local.getValue("office");
        if (office.empty() && metrics_.Office() != nullptr) {
            office = metrics_.Office()->highestVersion();
        }
        notice = ReplaceAll(notice, "%name%", EscapeSpacesAndQuotes(local.getValue("username")));
        notice =
            ReplaceAll(notice, "%department%", EscapeSpacesAndQuotes(local.getValue("department")));
        notice = ReplaceAll(notice, "%version%", VersionText());
        notice = ReplaceAll(notice, "%status%", EscapeSpacesAndQuotes(metrics_.Status()));
        notice = ReplaceAll(notice, "%files%", std::to_string(complete->Files().Size()));
        notice = ReplaceAll(notice, "%size%",
                            FormatMegabytes(static_cast<std::int64_t>(complete->Size())));
        notice = ReplaceAll(notice, "%email%", EscapeSpacesAndQuotes(local.getValue("email")));
        notice = ReplaceAll(notice, "%office%", office);
        notice = TrimSpaces(notice);
        if (!notice.empty()) {
            metrics_.Http().Fetch(notice, false);
        }
    } catch (const std::exception& error) {
        metrics_.Trace(std::string("Main::sendCompletionNotice ") + error.what());
    }
}

}  // namespace tamsel
