#pragma once

#include "forms/Forms.h"

namespace tamsel::testing {

// One control of every kind, laid out like a small settings dialog.
class frmSample : public Form {
  public:
    explicit frmSample(Toolkit& toolkit) : Form(toolkit, "frmSample") {
        Move(0, 0, 420, 330);
        SetCaption("Tamsel Updater");
        Label1.SetCaption("Full name:");
        Label1.Move(12, 15, 90, 20);
        txtUser.Move(110, 12, 296, 24);
        txtUser.SetText("Please complete details");
        Label2.SetCaption("Tamsel updates:");
        Label2.Move(12, 47, 104, 20);
        for (const char* entry : {"Daily", "2 Days", "3 Days", "Weekly", "Never"}) {
            comAutoUpdate.AddItem(entry);
        }
        comAutoUpdate.SetListIndex(0);
        comAutoUpdate.Move(120, 44, 130, 24);
        chkShowDownloads.SetCaption("Show Downloads");
        chkShowDownloads.Move(270, 46, 136, 20);
        Line1.SetPoints(12, 78, 406, 78);
        List.SetTickBoxes(true);
        List.Move(12, 88, 394, 110);
        for (const char* line : {"New: 1.5kb  Templates/Letter.pot",
                                 "Update: 2.0mb  Addins/Tools.ppa", "Remove: 12kb  Old/Logo.gif"}) {
            List.SetChecked(List.AddItem(line), true);
        }
        InfoPane.Move(12, 206, 394, 70);
        InfoPane.SetForeColor(kColourRed);
        InfoPane.AddItem("Connecting to server...");
        InfoPane.SetListIndex(InfoPane.AddItem("Unable to continue."));
        lblLegal.SetCaption("Tamsel is a trade mark of its publisher. A & B notice.");
        lblLegal.SetUseMnemonic(false);
        lblLegal.SetFont(7, false);
        lblLegal.Move(12, 288, 200, 30);
        cmdConnect.SetCaption("C&onnect");
        cmdConnect.SetDefault(true);
        cmdConnect.Move(226, 290, 86, 28);
        cmdCancel.SetCaption("&Cancel");
        cmdCancel.SetCancel(true);
        cmdCancel.Move(320, 290, 86, 28);
        Timer1.SetInterval(200);
        Timer1.SetEnabled(false);
    }

    Label& Label1 = Add<Label>("Label1");
    TextBox& txtUser = Add<TextBox>("txtUser");
    Label& Label2 = Add<Label>("Label2");
    ComboBox& comAutoUpdate = Add<ComboBox>("comAutoUpdate");
    CheckBox& chkShowDownloads = Add<CheckBox>("chkShowDownloads");
    Line& Line1 = Add<Line>("Line1");
    ListBox& List = Add<ListBox>("List");
    ListBox& InfoPane = Add<ListBox>("InfoPane");
    Label& lblLegal = Add<Label>("lblLegal");
    CommandButton& cmdConnect = Add<CommandButton>("cmdConnect");
    CommandButton& cmdCancel = Add<CommandButton>("cmdCancel");
    Timer& Timer1 = Add<Timer>("Timer1");
};

}  // namespace tamsel::testing
