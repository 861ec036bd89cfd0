#pragma once

#include <string>

#include "engine/UpdateRun.h"
#include "forms/Forms.h"

namespace tamsel {

// The name-server confirmation's states. The interactive confirmation (Confirm) shows each
// outcome in red and returns to Idle; the quiet one that Connect runs takes the same steps 100
// higher and always ends in SaveAndClose.
enum class LoginState : int {
    Idle = 0,
    Confirm = 1,
    SendQuery = 4,
    StartPolling = 6,
    Poll = 8,
    ReadAnswer = 10,
    CheckNameServer = 12,  // the answer comes from the name server
    CheckNumber = 14,      // the number is not refused
    StoreIdentity = 16,
    Unanswered = 20,
    QuietConfirm = 100,
    QuietSendQuery = 104,
    QuietStartPolling = 106,
    QuietPoll = 108,
    QuietReadAnswer = 110,
    QuietCheckNameServer = 112,
    QuietCheckNumber = 114,
    QuietStoreIdentity = 116,
    QuietUnanswered = 120,
    SaveAndClose = 200,
};

// The setup dialog: who the user is (name, department and e-mail, or in EIN mode the number the
// name server confirms), the server address, the kit folder, the update schedule and whether
// downloads are shown. It edits the two settings files while the user types. After it closes,
// Complete says the user connected (settings saved) and Built that a catalogue file was written
// from the kit folder instead.
class frmLogin : public Form {
  public:
    frmLogin(Toolkit& toolkit, UpdateRun& run);

    Label& Label2 = Add<Label>("Label2");
    Label& Label3 = Add<Label>("Label3");
    TextBox& txtURL = Add<TextBox>("txtURL");
    Label& Label4 = Add<Label>("Label4");
    TextBox& txtLocal = Add<TextBox>("txtLocal");
    Line& Line1 = Add<Line>("Line1");
    Label& Label5 = Add<Label>("Label5");
    TextBox& txtUser = Add<TextBox>("txtUser");
    Label& Label6 = Add<Label>("Label6");
    TextBox& txtDepartment = Add<TextBox>("txtDepartment");
    Label& Label7 = Add<Label>("Label7");
    TextBox& txtEmail = Add<TextBox>("txtEmail");
    Line& Line2 = Add<Line>("Line2");
    Label& Label1 = Add<Label>("Label1");
    ComboBox& comAutoUpdate = Add<ComboBox>("comAutoUpdate");
    Label& Label8 = Add<Label>("Label8");
    TextBox& txtLastUpdated = Add<TextBox>("txtLastUpdated");
    CheckBox& chkShowDownloads = Add<CheckBox>("chkShowDownloads");
    CommandButton& cmdBuild = Add<CommandButton>("cmdBuild");
    CommandButton& cmdConnect = Add<CommandButton>("cmdConnect");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    Label& lblLegal = Add<Label>("lblLegal");
    Timer& Timer1 = Add<Timer>("Timer1");
    Timer& Timer2 = Add<Timer>("Timer2");

    bool Complete() const { return m_blnComplete; }
    bool Built() const { return m_blnBuilt; }
    // The confirmation machine's state as a number, 0 when idle.
    int State() const { return static_cast<int>(m_intState); }

    static constexpr const char* kConnectCaption = "C&onnect";
    static constexpr const char* kConfirmCaption = "C&onfirm";

  private:
    void Layout();
    void Form_Load();
    void Form_Activate();
    void txtUser_Change();
    void txtDepartment_Change();
    void txtEmail_Change();
    void ClearPromptOnFocus(TextBox& box);
    void Timer1_Timer();
    void cmdConnect_Click();
    void cmdCancel_Click();
    void cmdBuild_Click();
    void Timer2_Timer();
    void SaveAndClose();

    bool StartQuery();
    // 0 while the query runs, 1 when it completed, -1 after the last poll without completion.
    int PollQuery();
    // Confirmation texts go into the first field in red; they are messages, never the number.
    void ShowStatus(const std::string& text);
    // The number to confirm: the first field, or the stored number while it shows a message.
    std::string NumberToConfirm() const;

    UpdateRun& run_;
    CConfiguration& local_;
    CConfiguration& global_;
    CMetrics& metrics_;

    bool m_blnComplete = false;
    bool m_blnBuilt = false;
    bool m_blnFailed = false;
    LoginState m_intState = LoginState::Idle;
    std::string m_strEin;
    int m_intPolls = 0;
    std::string m_strResponse;
    bool m_blnConfirmed = false;
    // The message the dialog wrote into the first field while it still shows there: a message,
    // not a number the user typed.
    std::string m_strStatusShown;
};

}  // namespace tamsel
