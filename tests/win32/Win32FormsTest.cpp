// The native windows of a form: drawn, kept in step with the controls both ways, and driven by
// the keyboard through the dialog manager.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "RenderCheck.h"
#include "qt/SampleForm.h"
#include "util/windows/WideText.h"
#include "win32/FormWindow.h"

namespace tamsel {
namespace {

std::string TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return Narrow(text);
}

class Win32FormsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.Show();
        window = toolkit.WindowOf(form)->Handle();
    }
    HWND Of(const Control& control) const { return toolkit.WindowOf(control); }
    // Sends keys as the keyboard would, to the window holding the focus, and handles them.
    void Keys(std::initializer_list<WPARAM> keys) {
        for (const WPARAM key : keys) {
            PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
            PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
            bool handled = false;
            loop.Post([&handled] { handled = true; });
            loop.RunUntil([&handled] { return handled; });
        }
    }

    Win32EventLoop loop;
    Win32Toolkit toolkit{loop};
    testing::frmSample form{toolkit};
    HWND window = nullptr;
};

TEST_F(Win32FormsTest, SampleFormIsDrawnInsideItsWindow) {
    testing::RenderAndCheck(toolkit, form);
}

TEST_F(Win32FormsTest, WindowsStartWithTheControlsPropertiesAndFollowTheirChanges) {
    EXPECT_EQ(TextOf(Of(form.txtUser)), "Please complete details");
    ASSERT_EQ(ListView_GetItemCount(Of(form.List)), 3);
    EXPECT_TRUE(ListView_GetCheckState(Of(form.List), 2));
    EXPECT_EQ(SendMessageW(Of(form.comAutoUpdate), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Of(form.Timer1), nullptr);

    form.txtUser.SetText("Ann");
    form.chkShowDownloads.SetEnabled(false);
    form.Label2.SetVisible(false);
    form.Label1.SetCaption("&Name && more:");
    form.SetCaption("Other");
    const int last = form.InfoPane.AddItem("successful");
    form.InfoPane.SetList(last, "successful - 3 files");
    form.InfoPane.SetListIndex(last);
    form.List.SetChecked(0, false);
    form.chkShowDownloads.SetValue(CheckBox::kChecked);

    EXPECT_EQ(TextOf(Of(form.txtUser)), "Ann");
    EXPECT_FALSE(IsWindowEnabled(Of(form.chkShowDownloads)));
    EXPECT_FALSE(IsWindowVisible(Of(form.Label2)));
    EXPECT_EQ(TextOf(Of(form.Label1)), "&Name && more:");
    EXPECT_EQ(TextOf(window), "Other");
    HWND pane = Of(form.InfoPane);
    ASSERT_EQ(ListView_GetItemCount(pane), 3);
    wchar_t line[64] = {};
    ListView_GetItemText(pane, 2, 0, line, 64);
    EXPECT_EQ(Narrow(line), "successful - 3 files");
    EXPECT_EQ(ListView_GetNextItem(pane, -1, LVNI_SELECTED), 2);
    EXPECT_FALSE(ListView_GetCheckState(Of(form.List), 0));
    EXPECT_EQ(SendMessageW(Of(form.chkShowDownloads), BM_GETCHECK, 0, 0), BST_CHECKED);
    form.InfoPane.Clear();
    EXPECT_EQ(ListView_GetItemCount(pane), 0);
}

TEST_F(Win32FormsTest, UserGesturesAndKeysReachTheHandlersOfReachableControls) {
    std::vector<std::string> events;
    form.cmdConnect.OnClick = [&] { events.push_back("connect"); };
    form.txtUser.OnChange = [&] { events.push_back("text " + form.txtUser.Text()); };
    form.chkShowDownloads.OnClick = [&] {
        events.push_back("check " + std::to_string(form.chkShowDownloads.Value()));
    };
    form.List.OnItemCheck = [&](int index) {
        events.push_back("tick " + std::to_string(index) + "=" +
                         std::to_string(form.List.Checked(index)));
    };
    form.List.OnClick = [&] { events.push_back("line " + std::to_string(form.List.ListIndex())); };
    form.comAutoUpdate.OnClick = [&] { events.push_back("schedule " + form.comAutoUpdate.Text()); };
    form.cmdCancel.OnClick = [&] { events.push_back("cancel"); };
    form.txtUser.OnGotFocus = [&] { events.push_back("focus"); };

    SendMessageW(Of(form.cmdConnect), BM_CLICK, 0, 0);
    SetWindowTextW(Of(form.txtUser), L"");
    for (const wchar_t typed : std::wstring(L"Jo")) {
        SendMessageW(Of(form.txtUser), WM_CHAR, typed, 1);
    }
    SendMessageW(Of(form.chkShowDownloads), BM_CLICK, 0, 0);
    SendMessageW(Of(form.chkShowDownloads), BM_CLICK, 0, 0);
    ListView_SetCheckState(Of(form.List), 1, FALSE);
    ListView_SetItemState(Of(form.List), 2, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(Of(form.comAutoUpdate), CB_SETCURSEL, 3, 0);
    SendMessageW(window, WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(Of(form.comAutoUpdate)), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Of(form.comAutoUpdate)));
    // From the check box, Tab goes to the list; Enter presses the default button, Escape the
    // cancel button.
    SetFocus(Of(form.chkShowDownloads));
    Keys({VK_TAB});
    EXPECT_EQ(GetFocus(), Of(form.List));
    Keys({VK_RETURN, VK_ESCAPE});
    // A disabled button cannot be pressed, by the mouse or by Enter.
    form.cmdConnect.SetEnabled(false);
    SendMessageW(Of(form.cmdConnect), BM_CLICK, 0, 0);
    Keys({VK_RETURN});
    form.txtUser.SetFocus();

    EXPECT_EQ(events, (std::vector<std::string>{"connect", "text ", "text J", "text Jo", "check 1",
                                                "check 0", "tick 1=0", "line 2", "schedule Weekly",
                                                "connect", "cancel", "focus"}));
    EXPECT_EQ(form.txtUser.Text(), "Jo");
    EXPECT_FALSE(ListView_GetCheckState(Of(form.List), 1));
    EXPECT_EQ(SendMessageW(Of(form.chkShowDownloads), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// A close by the frame asks the form, which may refuse; a modal form keeps the others waiting.
TEST_F(Win32FormsTest, FrameCloseAsksTheFormAndAModalFormDisablesTheOthers) {
    std::vector<UnloadMode> modes;
    bool refuse = true;
    form.OnQueryUnload = [&](bool& cancel, UnloadMode mode) {
        modes.push_back(mode);
        cancel = refuse;
    };
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(IsWindowVisible(window));

    testing::frmSample dialog{toolkit};
    bool waited = false;
    loop.Post([&] {
        waited = !IsWindowEnabled(window);
        dialog.Unload();
    });
    dialog.Show(ShowMode::Modal);
    EXPECT_TRUE(waited);
    EXPECT_TRUE(IsWindowEnabled(window));

    refuse = false;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(toolkit.WindowOf(form), nullptr);
    EXPECT_EQ(modes,
              (std::vector<UnloadMode>{UnloadMode::FormControlMenu, UnloadMode::FormControlMenu}));
}

}  // namespace
}  // namespace tamsel
