#pragma once

namespace tamsel {

// The states of the main update sequence. Their numbers are the ones the debug trace prints
// ("Main::State [n]"), so they never change; the gaps are numbers no state has.
enum class MainState : int {
    Start = 0,
    LoadSettings = 1,  // reads the settings files, fills in missing defaults
    Setup = 2,         // the setup dialog, unless a background run is registered
    SetupDone = 3,
    TestHttpComponent = 4,    // "Testing 'Microsoft.XMLHTTP'"
    TestFileComponent = 5,    // "Testing 'Scripting.filesystemobject'"
    TestStreamComponent = 6,  // "Testing 'ADODB.Stream'"
    ComponentsTested = 8,
    AnnounceMasterCatalogue = 9,
    FetchMasterCatalogue = 10,
    CheckForSpecialFiles = 11,  // special files listed: CheckSpecialFiles to SpecialFailureSeen
    AnnounceLocalCatalogue = 12,
    BuildLocalCatalogue = 13,
    PrepareMenus = 16,
    AskMenus = 17,  // the menu dialogs, one per tick
    StartChecking = 18,
    NextChoice = 20,  // the next chosen menu entry, or on to the analysis
    FetchChoiceCatalogue = 24,
    ChoiceCatalogueFetched = 25,
    AppendChoiceCatalogue = 26,
    ChoiceDone = 28,
    ChoicesDone = 30,
    AnalyseFiles = 32,
    PruneCatalogue = 34,   // "Building new content..."
    CheckForUpdates = 35,  // nothing to update ends the run here
    HideForReview = 36,
    Review = 37,             // the review dialog
    SilentReview = 38,       // a background run: the background notice
    StartProcessing = 39,    // opens the processing dialog
    WaitForProcessing = 40,  // polls the processing dialog
    ProcessingDone = 41,
    FinishRun = 42,
    // The special files, brought up to date before the kit folder is walked.
    CheckSpecialFiles = 50,
    CheckPowerPoint = 52,
    WarnPowerPointOpen = 54,
    WaitForPowerPointClosed = 55,  // waits for "&Continue"
    PromptPowerPointOpen = 56,     // the PowerPoint message box
    ProcessSpecialFiles = 70,
    ShowSpecialFailure = 80,
    WaitAfterSpecialFailure = 82,  // waits for "&Continue"
    SpecialFailureSeen = 84,
    // The ends of a run.
    Failed = 99,            // logs the failure; waits for the button unless in the background
    Finished = 100,         // logs the run and waits for "&Finish"
    FinishedQuietly = 200,  // a background run with nothing done closes
    FailedQuietly = 300,    // a failed background run closes
};

// The states StepSpecial runs.
constexpr bool IsSpecialState(MainState state) {
    return state >= MainState::CheckSpecialFiles && state <= MainState::SpecialFailureSeen;
}

}  // namespace tamsel
