#pragma once

#include <cstdint>

#include "config/CConfiguration.h"
#include "forms/Forms.h"
#include "platform/RegistryStore.h"

namespace tamsel {

// The PowerPoint version chooser, shown when several Office versions have PowerPoint and none
// is chosen yet. Choosing a line stores its key name in the "office" setting; OK closes the
// dialog a few ticks later with Complete true.
class frmOffice : public Form {
  public:
    frmOffice(Toolkit& toolkit, CConfiguration& local, RegistryStore& store);

    // How many Office versions have PowerPoint; with exactly one, its key name becomes the
    // "office" setting.
    std::int16_t enumeratePowerPoint();
    bool Complete() const { return m_blnComplete; }

    Label& Label1 = Add<Label>("Label1");
    Label& Label2 = Add<Label>("Label2");
    ListBox& List1 = Add<ListBox>("List1");
    CommandButton& cmdOK = Add<CommandButton>("cmdOK");
    Label& lblLegal = Add<Label>("lblLegal");
    Timer& Timer1 = Add<Timer>("Timer1");

  private:
    void Form_Load();
    void List1_Click();
    void Timer1_Timer();

    CConfiguration& m_objLocal;
    RegistryStore& m_objStore;
    bool m_blnComplete = false;
    int m_intTicks = 0;
};

}  // namespace tamsel
