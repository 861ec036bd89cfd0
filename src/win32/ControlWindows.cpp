#include "win32/ControlWindows.h"

#include <commctrl.h>

#include "forms/Forms.h"
#include "win32/WindowText.h"

namespace tamsel {

namespace {

// A drop-down list's window reaches down over its open list.
constexpr int kDropDownHeight = 200;

const wchar_t* ClassOf(const Control& control) {
    switch (control.Kind()) {
        case ControlKind::Label:
            return L"STATIC";
        case ControlKind::TextBox:
            return L"EDIT";
        case ControlKind::CommandButton:
        case ControlKind::CheckBox:
            return L"BUTTON";
        case ControlKind::ListBox:
            return WC_LISTVIEWW;
        case ControlKind::ComboBox:
            return L"COMBOBOX";
        case ControlKind::ProgressBar:
            return PROGRESS_CLASSW;
        case ControlKind::Line:
        case ControlKind::Timer:
            break;
    }
    return nullptr;
}

DWORD LabelStyle(const Label& label) {
    DWORD style = SS_NOTIFY;
    switch (label.TextAlignment()) {
        case Alignment::Right:
            style |= SS_RIGHT;
            break;
        case Alignment::Center:
            style |= SS_CENTER;
            break;
        case Alignment::Left:
            style |= SS_LEFT;
            break;
    }
    return label.UseMnemonic() ? style : style | SS_NOPREFIX;
}

DWORD StyleOf(const Control& control) {
    switch (control.Kind()) {
        case ControlKind::Label:
            return LabelStyle(static_cast<const Label&>(control));
        case ControlKind::TextBox:
            return static_cast<const TextBox&>(control).MultiLine()
                       ? WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
                       : WS_TABSTOP | ES_AUTOHSCROLL;
        case ControlKind::CommandButton:
            return WS_TABSTOP |
                   (static_cast<const CommandButton&>(control).Default() ? BS_DEFPUSHBUTTON
                                                                         : BS_PUSHBUTTON);
        case ControlKind::CheckBox:
            return WS_TABSTOP | BS_NOTIFY | BS_AUTO3STATE;
        case ControlKind::ListBox:
            return WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
        case ControlKind::ComboBox:
            return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        default:
            return 0;
    }
}

void SetText(HWND window, const std::string& text) {
    SetWindowTextW(window, ShownText(text).c_str());
}

std::wstring ListText(const ListBox& list, int index) {
    return ShownText(list.List(index));
}

void InsertListItem(const ListBox& list, HWND window, int index) {
    std::wstring text = ListText(list, index);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text.data();
    SendMessageW(window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (list.TickBoxes()) {
        ListView_SetCheckState(window, index, list.Checked(index));
    }
}

void SelectListItem(HWND window, int index) {
    ListView_SetItemState(window, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index >= 0) {
        ListView_SetItemState(window, index, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(window, index, FALSE);
    }
}

void FillList(const ListBox& list, HWND window) {
    const DWORD extended = LVS_EX_FULLROWSELECT | (list.TickBoxes() ? LVS_EX_CHECKBOXES : 0);
    ListView_SetExtendedListViewStyleEx(window, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES, extended);
    ListView_DeleteAllItems(window);
    for (int i = 0; i < list.ListCount(); ++i) {
        InsertListItem(list, window, i);
    }
    SelectListItem(window, list.ListIndex());
}

void ApplyList(ListBox& list, HWND window, ControlProperty property, int index) {
    switch (property) {
        case ControlProperty::ItemAdded:
            InsertListItem(list, window, index);
            break;
        case ControlProperty::ItemText: {
            std::wstring text = ListText(list, index);
            ListView_SetItemText(window, index, 0, text.data());
            break;
        }
        case ControlProperty::ItemChecked:
            ListView_SetCheckState(window, index, list.Checked(index));
            break;
        case ControlProperty::ItemsCleared:
        case ControlProperty::Style:
            FillList(list, window);
            break;
        case ControlProperty::ListIndex:
            SelectListItem(window, list.ListIndex());
            break;
        default:
            break;
    }
}

void ApplyCombo(ComboBox& combo, HWND window, ControlProperty property, int index) {
    switch (property) {
        case ControlProperty::ItemAdded:
            SendMessageW(window, CB_INSERTSTRING, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(ShownText(combo.List(index)).c_str()));
            break;
        case ControlProperty::ListIndex:
            SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(combo.ListIndex()), 0);
            break;
        default:
            break;
    }
}

void ApplyEdit(const TextBox& box, HWND window) {
    const std::wstring wanted = ShownText(box.Text());
    const int length = GetWindowTextLengthW(window);
    std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, shown.data(), length + 1);
    shown.resize(static_cast<std::size_t>(length));
    if (shown != wanted) {
        SetWindowTextW(window, wanted.c_str());
    }
}

void ApplyKindProperty(Control& control, HWND window, ControlProperty property, int index) {
    switch (control.Kind()) {
        case ControlKind::Label: {
            auto& label = static_cast<Label&>(control);
            if (property == ControlProperty::Style) {
                const LONG_PTR kept = GetWindowLongPtrW(window, GWL_STYLE) &
                                      ~static_cast<LONG_PTR>(SS_TYPEMASK | SS_NOPREFIX);
                SetWindowLongPtrW(window, GWL_STYLE,
                                  kept | static_cast<LONG_PTR>(LabelStyle(label)));
            }
            SetText(window, label.Caption());
            break;
        }
        case ControlKind::TextBox:
            ApplyEdit(static_cast<TextBox&>(control), window);
            break;
        case ControlKind::CommandButton: {
            auto& button = static_cast<CommandButton&>(control);
            SetText(window, button.Caption());
            SendMessageW(window, BM_SETSTYLE, button.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                         TRUE);
            break;
        }
        case ControlKind::CheckBox: {
            auto& box = static_cast<CheckBox&>(control);
            SetText(window, box.Caption());
            const WPARAM state = box.Value() == CheckBox::kChecked  ? BST_CHECKED
                                 : box.Value() == CheckBox::kGrayed ? BST_INDETERMINATE
                                                                    : BST_UNCHECKED;
            SendMessageW(window, BM_SETCHECK, state, 0);
            break;
        }
        case ControlKind::ListBox:
            ApplyList(static_cast<ListBox&>(control), window, property, index);
            break;
        case ControlKind::ComboBox:
            ApplyCombo(static_cast<ComboBox&>(control), window, property, index);
            break;
        case ControlKind::ProgressBar: {
            auto& bar = static_cast<ProgressBar&>(control);
            SendMessageW(window, PBM_SETRANGE32, 0, bar.Max());
            SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(bar.Value()), 0);
            break;
        }
        case ControlKind::Line:
        case ControlKind::Timer:
            break;
    }
}

void ApplyGeometry(const Control& control, HWND window, ControlHost& host) {
    const Rect& box = control.Geometry();
    int height = host.Scale(box.height);
    if (control.Kind() == ControlKind::ComboBox) {
        height += host.Scale(kDropDownHeight);
    }
    SetWindowPos(window, nullptr, host.Scale(box.left), host.Scale(box.top), host.Scale(box.width),
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.Kind() == ControlKind::ListBox) {
        RECT client{};
        GetClientRect(window, &client);
        // The one column fills the list beside its scroll bar, so it never scrolls sideways.
        ListView_SetColumnWidth(window, 0,
                                client.right - client.left - GetSystemMetrics(SM_CXVSCROLL));
    }
}

}  // namespace

COLORREF ToColorRef(Colour colour) {
    if (IsSystemColour(colour)) {
        return GetSysColor(SystemColourIndex(colour));
    }
    return RGB(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

HWND CreateControlWindow(Control& control, HWND parent, int id, ControlHost& host) {
    const wchar_t* windowClass = ClassOf(control);
    if (windowClass == nullptr) {
        return nullptr;
    }
    const DWORD exStyle =
        control.Kind() == ControlKind::TextBox || control.Kind() == ControlKind::ListBox
            ? WS_EX_CLIENTEDGE
            : 0;
    // Siblings that overlap (a wide label beside a button) never paint over one another: the one
    // made first, earlier in tab order, keeps the shared part.
    HWND window =
        CreateWindowExW(exStyle, windowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | StyleOf(control), 0,
                        0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    if (control.Kind() == ControlKind::ListBox) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        SendMessageW(window, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        FillList(static_cast<ListBox&>(control), window);
    } else if (control.Kind() == ControlKind::ComboBox) {
        const auto& combo = static_cast<ComboBox&>(control);
        for (int i = 0; i < combo.ListCount(); ++i) {
            SendMessageW(window, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(ShownText(combo.List(i)).c_str()));
        }
    }
    for (const auto property :
         {ControlProperty::Geometry, ControlProperty::Font, ControlProperty::ForeColor,
          ControlProperty::Enabled, ControlProperty::ToolTipText, ControlProperty::Caption,
          ControlProperty::Text, ControlProperty::Value, ControlProperty::ListIndex,
          ControlProperty::Visible}) {
        ApplyControlProperty(control, window, property, -1, host);
    }
    return window;
}

void ApplyControlProperty(Control& control, HWND window, ControlProperty property, int index,
                          ControlHost& host) {
    switch (property) {
        case ControlProperty::Geometry:
            ApplyGeometry(control, window, host);
            break;
        case ControlProperty::Font:
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(host.FontOf(control)), TRUE);
            if (control.Kind() == ControlKind::ComboBox) {
                ApplyGeometry(control, window, host);
            }
            break;
        case ControlProperty::ForeColor:
            if (control.Kind() == ControlKind::ListBox) {
                ListView_SetTextColor(window, ToColorRef(control.ForeColor()));
            }
            InvalidateRect(window, nullptr, TRUE);
            break;
        case ControlProperty::Enabled:
            EnableWindow(window, control.Enabled() ? TRUE : FALSE);
            break;
        case ControlProperty::Visible:
            ShowWindow(window, control.Visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case ControlProperty::ToolTipText:
            host.SetToolTip(window, ShownText(control.ToolTipText()));
            break;
        default:
            ApplyKindProperty(control, window, property, index);
            break;
    }
}

}  // namespace tamsel
