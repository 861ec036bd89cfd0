#include "special/frmOffice.h"

#include "engine/Version.h"
#include "special/OfficeVersions.h"
#include "special/modOnTop.h"
#include "util/Text.h"

namespace tamsel {
namespace {
constexpr int kTicksBeforeClosing = 4;
}

frmOffice::frmOffice(Toolkit& toolkit, CConfiguration& local, RegistryStore& store)
    : Form(toolkit, "frmOffice"), m_objLocal(local), m_objStore(store) {
    Move(0, 0, 360, 262);
    Label1.Move(12, 12, 336, 34);
    Label2.Move(12, 50, 336, 18);
    Label2.SetCaption("Please select the version you will be using.");
    List1.Move(12, 72, 336, 90);
    lblLegal.Move(12, 170, 336, 44);
    lblLegal.SetFont(7, false);
    cmdOK.Move(260, 222, 88, 28);
    cmdOK.SetCaption("&OK");
    cmdOK.SetDefault(true);
    cmdOK.SetEnabled(false);
    Timer1.SetInterval(200);
    Timer1.SetEnabled(false);

    OnLoad = [this] { Form_Load(); };
    OnActivate = [this] { setTopMost(*this, true); };
    List1.OnClick = [this] { List1_Click(); };
    cmdOK.OnClick = [this] {
        cmdOK.SetVisible(false);
        Timer1.SetEnabled(true);
    };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

std::int16_t frmOffice::enumeratePowerPoint() {
    cRegistry registry(m_objStore);
    const auto installed = InstalledPowerPointKeys(registry);
    if (installed.size() == 1) {
        m_objLocal.putValue("office", installed.front());
    }
    return static_cast<std::int16_t>(installed.size());
}

void frmOffice::Form_Load() {
    SetCaption("Tamsel Updater");
    lblLegal.SetCaption(LegalCaption());
    lblLegal.SetUseMnemonic(false);
    Label1.SetCaption("The Tamsel has detected that you have multiple versions of PowerPoint.");
    List1.Clear();
    cRegistry registry(m_objStore);
    for (const auto& key : InstalledPowerPointKeys(registry)) {
        List1.AddItem(OfficeChoiceText(key));
    }
    const std::string office = m_objLocal.getValue("office");
    if (office.empty()) {
        return;
    }
    const std::string chosen = OfficeChoiceText(office);
    for (int i = 0; i < List1.ListCount(); ++i) {
        if (List1.List(i) == chosen) {
            List1.SetListIndex(i);
            break;
        }
    }
}

void frmOffice::List1_Click() {
    if (List1.ListIndex() < 0) {
        return;
    }
    const std::string& item = List1.List(List1.ListIndex());
    m_objLocal.putValue("office", TrimSpaces(item.substr(0, item.find(' '))));
    cmdOK.SetEnabled(true);
}

void frmOffice::Timer1_Timer() {
    if (++m_intTicks < kTicksBeforeClosing) {
        return;
    }
    Timer1.SetEnabled(false);
    m_blnComplete = true;
    Unload();
}

}  // namespace tamsel
