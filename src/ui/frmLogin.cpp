#include "ui/frmLogin.h"

#include <utility>

#include "catalogue/CatalogueBuilder.h"
#include "ui/LegalLabel.h"
#include "ui/NameServer.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

constexpr const char* kCompleteDetails = "Please complete details";
constexpr const char* kScheduleEntries[] = {"Daily",  "2 Days", "3 Days", "4 Days",
                                            "5 Days", "Weekly", "Never"};
// Completion polls of one name server query before it counts as unanswered.
constexpr int kMaxPolls = 3;
// The quiet confirmation's steps are the interactive ones this much higher.
constexpr int kQuietOffset = static_cast<int>(LoginState::QuietConfirm);

// A value shown in a box: its text, in black.
void ShowValue(TextBox& box, const std::string& text) {
    box.SetText(text);
    box.SetForeColor(kColourBlack);
}

void ShowPrompt(TextBox& box, const std::string& text) {
    box.SetForeColor(kColourRed);
    box.SetText(text);
}

}  // namespace

frmLogin::frmLogin(Toolkit& toolkit, UpdateRun& run)
    : Form(toolkit, "frmLogin"),
      run_(run),
      local_(run.localConfiguration),
      global_(run.globalConfiguration),
      metrics_(run.g_objMetrics) {
    Layout();

    OnLoad = [this] { Form_Load(); };
    OnActivate = [this] { Form_Activate(); };
    txtUser.OnChange = [this] { txtUser_Change(); };
    txtDepartment.OnChange = [this] { txtDepartment_Change(); };
    txtEmail.OnChange = [this] { txtEmail_Change(); };
    txtLocal.OnChange = [this] { local_.putValue("local", txtLocal.Text()); };
    txtURL.OnChange = [this] { global_.setValue("remote", txtURL.Text()); };
    for (TextBox* box : {&txtUser, &txtDepartment, &txtEmail, &txtURL}) {
        box->OnGotFocus = [this, box] { ClearPromptOnFocus(*box); };
    }
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    Timer2.OnTimer = [this] { Timer2_Timer(); };
    cmdConnect.OnClick = [this] { cmdConnect_Click(); };
    cmdCancel.OnClick = [this] { cmdCancel_Click(); };
    cmdBuild.OnClick = [this] { cmdBuild_Click(); };
}

void frmLogin::Layout() {
    Move(0, 0, 500, 348);
    constexpr int kLabelLeft = 12;
    constexpr int kLabelWidth = 112;
    constexpr int kBoxLeft = 128;
    constexpr int kBoxWidth = 360;

    Label2.Move(kLabelLeft, 10, 300, 18);
    Label2.SetCaption("Connection Settings:");
    Label2.SetFont(0, true);
    Label3.Move(kLabelLeft, 38, kLabelWidth, 18);
    Label3.SetCaption("Remote URL:");
    txtURL.Move(kBoxLeft, 36, kBoxWidth, 22);
    ShowPrompt(txtURL, "Please enter the url of the tmasel server");
    txtURL.SetEnabled(false);
    Label4.Move(kLabelLeft, 66, kLabelWidth, 18);
    Label4.SetCaption("Local folder:");
    txtLocal.Move(kBoxLeft, 64, kBoxWidth, 22);
    ShowPrompt(txtLocal, "Please enter the full path  or your local tamsel folder");
    txtLocal.SetEnabled(false);
    Line1.SetPoints(kLabelLeft, 98, kBoxLeft + kBoxWidth, 98);

    Label5.Move(kLabelLeft, 112, kLabelWidth, 18);
    Label5.SetCaption("Full name:");
    txtUser.Move(kBoxLeft, 110, kBoxWidth, 22);
    Label6.Move(kLabelLeft, 140, kLabelWidth, 18);
    txtDepartment.Move(kBoxLeft, 138, kBoxWidth, 22);
    Label7.Move(kLabelLeft, 168, kLabelWidth, 18);
    txtEmail.Move(kBoxLeft, 166, kBoxWidth, 22);
    for (TextBox* box : {&txtUser, &txtDepartment, &txtEmail}) {
        ShowPrompt(*box, kCompleteDetails);
    }
    Line2.SetPoints(kLabelLeft, 200, kBoxLeft + kBoxWidth, 200);

    Label1.Move(kLabelLeft, 214, kLabelWidth, 18);
    Label1.SetCaption("Tamsel updates:");
    comAutoUpdate.Move(kBoxLeft, 212, 120, 22);
    for (const char* entry : kScheduleEntries) {
        comAutoUpdate.AddItem(entry);
    }
    Label8.Move(kLabelLeft, 242, kLabelWidth, 18);
    Label8.SetCaption("Last updated:");
    txtLastUpdated.Move(kBoxLeft, 240, 120, 22);
    txtLastUpdated.SetEnabled(false);
    chkShowDownloads.Move(kBoxLeft, 268, 200, 20);
    chkShowDownloads.SetCaption("Show Downloads");

    lblLegal.Move(kLabelLeft, 294, 196, 48);
    lblLegal.SetCaption("Legal");
    lblLegal.SetFont(7, false);
    cmdBuild.Move(216, 308, 88, 28);
    cmdBuild.SetCaption("&Build");
    cmdBuild.SetVisible(false);
    cmdConnect.Move(308, 308, 88, 28);
    cmdConnect.SetCaption(kConnectCaption);
    cmdConnect.SetEnabled(false);
    cmdConnect.SetDefault(true);
    cmdCancel.Move(400, 308, 88, 28);
    cmdCancel.SetCaption("&Cancel");
    cmdCancel.SetCancel(true);

    Timer1.SetInterval(200);
    Timer2.SetInterval(100);
}

void frmLogin::Form_Load() {
    SetCaption("Tamsel Updater");
    ShowLegalNotice(lblLegal);

    if (run_.einMode) {
        const std::string ein = local_.getValue("ein");
        if (!ein.empty()) {
            ShowValue(txtUser, ein);
            ShowValue(txtDepartment, local_.getValue("username"));
            ShowValue(txtEmail, local_.getValue("email"));
            // Showing the number switched the button to Confirm; a stored number needs none.
            cmdConnect.SetCaption(kConnectCaption);
        } else {
            txtDepartment.SetText("");
            txtEmail.SetText("");
        }
        txtDepartment.SetEnabled(false);
        txtEmail.SetEnabled(false);
    }
    if (global_.getRemote().empty()) {
        txtURL.SetEnabled(true);
    }
    if (local_.getLocal().empty()) {
        local_.setValue("local", metrics_.AppPath());
        txtLocal.SetEnabled(true);
    }
    if (!global_.getRemote().empty()) {
        ShowValue(txtURL, global_.getValue("remote"));
    }
    if (!local_.getLocal().empty()) {
        ShowValue(txtLocal, local_.getValue("local"));
    }
    if (!run_.einMode) {
        const std::pair<TextBox*, const char*> identity[] = {
            {&txtUser, "username"}, {&txtDepartment, "department"}, {&txtEmail, "email"}};
        for (const auto& [box, key] : identity) {
            const std::string value = local_.getValue(key);
            if (!value.empty()) {
                ShowValue(*box, value);
            }
        }
    }
    Label3.SetToolTipText(txtURL.Text() + "/" + global_.getPrimaryCatalogue());
    Label4.SetToolTipText(txtLocal.Text());
    if (ToUpper(local_.getValue("build")) == "YES") {
        cmdBuild.SetVisible(true);
    }
    const std::pair<Label*, const char*> captions[] = {
        {&Label5, "label1"}, {&Label6, "label2"}, {&Label7, "label3"}};
    for (const auto& [label, key] : captions) {
        const std::string caption = global_.getValue(key);
        if (!caption.empty()) {
            label->SetCaption(caption);
        }
    }

    const std::string schedule = local_.getValue("autoupdate");
    if (schedule.empty()) {
        comAutoUpdate.SetListIndex(comAutoUpdate.FindItem("Daily"));
    } else if (schedule == "Monthly") {
        comAutoUpdate.SetListIndex(comAutoUpdate.FindItem("Weekly"));
    } else {
        // A drop-down list finds its entries ignoring case: start-up stores "daily".
        for (int i = 0; i < comAutoUpdate.ListCount(); ++i) {
            if (EqualsNoCase(comAutoUpdate.List(i), schedule)) {
                comAutoUpdate.SetListIndex(i);
                break;
            }
        }
    }
    txtLastUpdated.SetText(local_.getValue("lastupdated"));
    local_.commit();
}

void frmLogin::Form_Activate() {
    SetTopMost(true);
    metrics_.FormMemory().SnapShot(*this);
}

void frmLogin::txtUser_Change() {
    if (!m_strStatusShown.empty()) {
        if (txtUser.Text() == m_strStatusShown) {
            return;
        }
        m_strStatusShown.clear();  // the user replaced the message
    }
    if (m_blnFailed) {
        return;
    }
    if (run_.einMode) {
        local_.setValue("ein", txtUser.Text());
        cmdConnect.SetCaption(kConfirmCaption);
    } else {
        local_.setValue("username", txtUser.Text());
    }
    txtUser.SetForeColor(kColourWindowText);
}

void frmLogin::txtDepartment_Change() {
    if (!run_.einMode) {
        txtDepartment.SetForeColor(kColourWindowText);
        local_.putValue("department", txtDepartment.Text());
    }
}

void frmLogin::txtEmail_Change() {
    if (!run_.einMode) {
        txtEmail.SetForeColor(kColourWindowText);
        local_.putValue("email", txtEmail.Text());
    }
}

void frmLogin::ClearPromptOnFocus(TextBox& box) {
    if (box.ForeColor() != kColourRed) {
        return;
    }
    box.SetText("");
    box.SetForeColor(kColourBlack);
}

void frmLogin::Timer1_Timer() {
    bool ready = !global_.getRemote().empty() && !local_.getLocal().empty();
    if (run_.einMode) {
        ready = ready && !local_.getValue("ein").empty();
    } else {
        ready = ready && !local_.getValue("username").empty() &&
                !local_.getValue("department").empty() && !local_.getValue("email").empty();
    }
    cmdConnect.SetEnabled(ready);
}

void frmLogin::cmdConnect_Click() {
    local_.commit();
    global_.commit();
    if (m_intState != LoginState::Idle) {
        return;  // a confirmation is already running
    }
    if (cmdConnect.Caption() == kConfirmCaption) {
        m_intState = LoginState::Confirm;
    } else if (cmdConnect.Caption() == kConnectCaption) {
        m_intState = m_blnConfirmed ? LoginState::SaveAndClose : LoginState::QuietConfirm;
    }
}

void frmLogin::cmdCancel_Click() {
    local_.commit();
    Unload();
}

void frmLogin::cmdBuild_Click() {
    if (!metrics_.getLocalCatalogue()) {
        metrics_.Warning("Unable to continue");
        return;
    }
    const std::string path = ParentFolder(local_.getValue("local")) + "/catalogue.ini";
    const std::string text =
        BuildCatalogueText(*metrics_.LocalCatalogue(), local_.getValue("username"), Now());
    // A folder that cannot take the file leaves the dialog open, as an unreadable kit does.
    if (!WriteFileAtomically(path, text)) {
        metrics_.Warning("Unable to continue");
        return;
    }
    m_blnBuilt = true;
    Unload();
}

void frmLogin::ShowStatus(const std::string& text) {
    m_strStatusShown = text;
    txtUser.SetText(text);
    txtUser.SetForeColor(kColourRed);
}

std::string frmLogin::NumberToConfirm() const {
    return m_strStatusShown.empty() ? txtUser.Text() : local_.getValue("ein");
}

bool frmLogin::StartQuery() {
    m_blnFailed = false;
    if (!metrics_.getRemoteCatalogue()) {
        return false;
    }
    m_strEin = NumberToConfirm();
    return true;
}

int frmLogin::PollQuery() {
    if (m_intPolls >= kMaxPolls) {
        return -1;
    }
    ++m_intPolls;
    return metrics_.Http().Complete() ? 1 : 0;
}

// One machine serves both confirmations. The interactive one shows each outcome in red and
// returns to Idle; the quiet one that Connect runs shows nothing and always ends in saving and
// closing, a confirmed answer refreshing the stored name and e-mail address on the way. Between
// start and end both take the same steps, the quiet ones kQuietOffset higher: the switch below
// names the interactive step.
void frmLogin::Timer2_Timer() {
    const bool quiet = m_intState >= LoginState::QuietConfirm;
    const LoginState done = quiet ? LoginState::SaveAndClose : LoginState::Idle;
    // Moves to the given interactive step, or to its quiet twin.
    const auto goTo = [&](LoginState step) {
        m_intState = quiet ? static_cast<LoginState>(static_cast<int>(step) + kQuietOffset) : step;
    };
    // A failed step: the interactive confirmation says why; the quiet one goes on to close.
    const auto fail = [&](const char* message, bool flagged) {
        if (quiet || flagged) {
            m_blnFailed = true;
        }
        if (!quiet) {
            ShowStatus(message);
        }
        m_intState = done;
    };
    switch (m_intState) {
        case LoginState::Confirm:
        case LoginState::QuietConfirm:
            if (StartQuery()) {
                if (!quiet) {
                    ShowStatus("confirming EIN number...");
                }
                goTo(LoginState::SendQuery);
            } else {
                m_intState = LoginState::QuietUnanswered;
            }
            return;
        case LoginState::SaveAndClose:
            m_intState = LoginState::Idle;
            SaveAndClose();
            return;
        default:
            break;
    }
    const auto step =
        static_cast<LoginState>(static_cast<int>(m_intState) - (quiet ? kQuietOffset : 0));
    switch (step) {
        case LoginState::SendQuery:
            metrics_.Http().Query(NameServerQueryUrl(*metrics_.RemoteCatalogue(), m_strEin), true);
            goTo(LoginState::StartPolling);
            break;
        case LoginState::StartPolling:
            m_intPolls = 0;
            goTo(LoginState::Poll);
            break;
        case LoginState::Poll: {
            const int polled = PollQuery();
            goTo(polled > 0   ? LoginState::ReadAnswer
                 : polled < 0 ? LoginState::Unanswered
                              : LoginState::Poll);
            break;
        }
        case LoginState::ReadAnswer:
            m_strResponse = metrics_.Http().getBody();
            if (m_strResponse.empty()) {
                fail("Unable to connect", true);
            } else {
                KeepNameServerAnswer(metrics_, m_strResponse);
                goTo(LoginState::CheckNameServer);
            }
            break;
        case LoginState::CheckNameServer:
            if (!IsNameServerAnswer(*metrics_.RemoteCatalogue(), m_strResponse)) {
                fail("Unable to connect to name server", true);
            } else {
                goTo(LoginState::CheckNumber);
            }
            break;
        case LoginState::CheckNumber:
            if (IsIncorrectNumberAnswer(*metrics_.RemoteCatalogue(), m_strResponse)) {
                fail("Incorrect Number", true);
            } else {
                goTo(LoginState::StoreIdentity);
            }
            break;
        case LoginState::StoreIdentity: {
            const NameServerPerson person = ReadNameServerPerson(m_strResponse);
            if (person.name.empty()) {
                fail("No name given by server", false);
                break;
            }
            if (!quiet) {
                ShowValue(txtUser, m_strEin);
                ShowValue(txtDepartment, person.FullName());
                ShowValue(txtEmail, person.email);
                cmdConnect.SetCaption(kConnectCaption);
                m_blnConfirmed = true;
            }
            local_.setValue("ein", m_strEin);
            local_.setValue("username", person.FullName());
            local_.setValue("department", "");
            local_.setValue("email", person.email);
            local_.Dirty();
            local_.commit();
            m_intState = done;
            break;
        }
        case LoginState::Unanswered:
            fail("No response from server", false);
            break;
        default:
            m_intState = LoginState::Idle;
            break;
    }
}

void frmLogin::SaveAndClose() {
    // Nothing selected (a stored schedule the list does not know) keeps the stored schedule.
    if (comAutoUpdate.ListIndex() >= 0) {
        local_.putValue("autoupdate", comAutoUpdate.Text());
    }
    local_.putValue("showdownload", chkShowDownloads.Checked() ? "yes" : "no");
    local_.Dirty();
    local_.commit();
    m_blnComplete = true;
    Unload();
}

}  // namespace tamsel
