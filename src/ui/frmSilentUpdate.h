#pragma once

#include <cstdint>

#include "config/CConfiguration.h"
#include "engine/CMetrics.h"
#include "engine/SpecialWork.h"
#include "forms/Forms.h"

namespace tamsel {

// The notice's timer steps. The state is also the user's answer: Cancelled, MoreInformation, or
// WaitForAnswer when the user clicked Update.
enum class SilentUpdateState : std::int16_t {
    Start = 0,
    Cancelled = 0,
    CheckSpecialFiles = 2,
    MoreInformation = 2,
    CheckPowerPoint = 4,
    CheckPowerPointNeeded = 6,  // warns when a special file needs PowerPoint closed
    ShowContinue = 10,
    PromptPowerPointOpen = 12,     // the PowerPoint message box
    WaitForPowerPointClosed = 13,  // waits for "&Continue"
    ProcessSpecialFiles = 20,
    ShowUpdateCount = 40,
    WaitForAnswer = 42,  // waits for Update, Cancel or "More information"
};

// The background run's notice that new or updated files are available. Before it offers the
// update it brings the special files up to date, asking the user to close PowerPoint first when a
// special file needs it. Its status pane is the run's while it is open. Read Complete and More
// after it closes.
class frmSilentUpdate : public Form {
  public:
    frmSilentUpdate(Toolkit& toolkit, CMetrics& metrics, const CConfiguration& local,
                    SpecialWork& special);
    // The status pane is never left pointing at a notice that is gone.
    ~frmSilentUpdate() override;

    Label& lblHeader = Add<Label>("lblHeader");
    ListBox& InfoPane = Add<ListBox>("InfoPane");
    Label& lblFooter = Add<Label>("lblFooter");
    CommandButton& cmdUpdate = Add<CommandButton>("cmdUpdate");
    CommandButton& cmdCancek = Add<CommandButton>("cmdCancek");
    Label& Label1 = Add<Label>("Label1");
    TextBox& txtFocus = Add<TextBox>("txtFocus");
    Label& lblLegal = Add<Label>("lblLegal");
    Timer& Timer1 = Add<Timer>("Timer1");

    // Not cancelled.
    bool Complete() const { return m_intState != SilentUpdateState::Cancelled; }
    // The user asked for the list of files.
    bool More() const { return m_intState == SilentUpdateState::MoreInformation; }
    // The timer's step, which is also the answer, as a number.
    std::int16_t State() const { return static_cast<std::int16_t>(m_intState); }

  private:
    void Layout();
    void Form_Load();
    void Form_Activate();
    void Timer1_Timer();
    void cmdUpdate_Click();
    void Answer(SilentUpdateState answer);
    void ShowUpdateCount();

    CMetrics& metrics_;
    const CConfiguration& local_;
    SpecialWork& special_;
    std::string specialFolder_;
    SilentUpdateState m_intState = SilentUpdateState::Start;
    std::int16_t m_intWarnings = 0;
};

}  // namespace tamsel
