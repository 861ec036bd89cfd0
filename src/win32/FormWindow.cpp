#include "win32/FormWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/Forms.h"
#include "win32/Dpi.h"
#include "win32/Win32Toolkit.h"
#include "win32/WindowText.h"

namespace tamsel {

namespace {

constexpr wchar_t kFormClass[] = L"TamselForm";
constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
// Control ids start above the ids the dialog manager sends for Enter and Escape.
constexpr int kFirstControlId = 100;
constexpr int kIconResource = 1;

// Sets a flag for the lifetime of the guard.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = m_old; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& m_flag;
    bool m_old;
};

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

void FormWindow::RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(kIconResource));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

FormWindow::FormWindow(Form& form, Win32Toolkit& toolkit) : m_form(&form), m_toolkit(toolkit) {
    RegisterWindowClass();
    m_window = CreateWindowExW(kFormExStyle, kFormClass, ShownText(form.Caption()).c_str(),
                               kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), this);
    m_dpi = DpiOf(m_window);
    m_toolTips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    BuildControls();
    ApplyGeometry();
    form.SetObserver(this);
}

FormWindow::~FormWindow() {
    Detach();
    DestroyWindow(m_window);
    DropFonts();
}

void FormWindow::Detach() {
    if (m_form != nullptr && m_form->Observer() == this) {
        m_form->SetObserver(nullptr);
    }
    m_form = nullptr;
}

HWND FormWindow::WindowOf(const Control& control) const {
    const auto found = m_windows.find(&control);
    return found == m_windows.end() ? nullptr : found->second;
}

Control* FormWindow::ControlOf(HWND window) const {
    if (m_form == nullptr || window == nullptr || GetParent(window) != m_window) {
        return nullptr;
    }
    const auto found = m_ids.find(GetDlgCtrlID(window));
    return found == m_ids.end() ? nullptr : found->second;
}

// Windows are made in the order of the control list, which is the tab order.
void FormWindow::BuildControls() {
    const FlagGuard guard(m_applying);
    int id = kFirstControlId;
    for (Control* control : m_form->Controls()) {
        m_ids[id] = control;
        if (HWND window = CreateControlWindow(*control, m_window, id, *this)) {
            m_windows[control] = window;
        }
        ++id;
    }
}

void FormWindow::ControlChanged(Control& control, ControlProperty property, int index) {
    const FlagGuard guard(m_applying);
    if (control.Kind() == ControlKind::Line) {
        InvalidateRect(m_window, nullptr, TRUE);
    } else if (HWND window = WindowOf(control)) {
        ApplyControlProperty(control, window, property, index, *this);
    }
}

void FormWindow::FormChanged(FormProperty property) {
    if (m_form == nullptr) {
        return;
    }
    switch (property) {
        case FormProperty::Caption:
            SetWindowTextW(m_window, ShownText(m_form->Caption()).c_str());
            break;
        case FormProperty::Geometry:
            ApplyGeometry();
            break;
        case FormProperty::TopMost:
            ApplyTopMost();
            break;
        case FormProperty::WindowState:
            ApplyWindowState();
            break;
        case FormProperty::Visible:  // the toolkit shows and hides
        case FormProperty::Loaded:
            break;
    }
}

void FormWindow::PrepareShow() {
    ApplyGeometry();
    ApplyTopMost();
}

void FormWindow::ApplyGeometry() {
    if (m_form == nullptr) {
        return;
    }
    const FlagGuard guard(m_applying);
    RECT frame{0, 0, Scale(m_form->Width()), Scale(m_form->Height())};
    FrameForClient(frame, kFormStyle, kFormExStyle, m_dpi);
    SetWindowPos(m_window, nullptr, Scale(m_form->Left()), Scale(m_form->Top()),
                 frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyTopMost() {
    const FlagGuard guard(m_applying);
    const bool topMost = m_form != nullptr && m_form->TopMost();
    SetWindowPos(m_window, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::ApplyWindowState() {
    const FlagGuard guard(m_applying);
    if (!IsWindowVisible(m_window)) {
        return;
    }
    if (m_form->State() == WindowState::Minimized) {
        ShowWindow(m_window, SW_MINIMIZE);
    } else if (IsIconic(m_window)) {
        ShowWindow(m_window, SW_RESTORE);
    }
}

HFONT FormWindow::FontOf(const Control& control) {
    const std::pair<int, bool> key{control.FontSize(), control.FontBold()};
    const auto found = m_fonts.find(key);
    if (found != m_fonts.end()) {
        return found->second;
    }
    LOGFONTW font = MessageFont(m_dpi);
    if (control.FontSize() > 0) {
        font.lfHeight = -MulDiv(control.FontSize(), m_dpi, 72);
    }
    font.lfWeight = control.FontBold() ? FW_BOLD : FW_NORMAL;
    HFONT made = CreateFontIndirectW(&font);
    m_fonts[key] = made;
    return made;
}

void FormWindow::DropFonts() {
    for (const auto& [key, font] : m_fonts) {
        DeleteObject(font);
    }
    m_fonts.clear();
}

void FormWindow::SetToolTip(HWND window, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    SendMessageW(m_toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!text.empty()) {
        std::wstring shown = text;
        tool.lpszText = shown.data();
        SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

CommandButton* FormWindow::ButtonWith(bool (CommandButton::*flag)() const) const {
    if (m_form == nullptr) {
        return nullptr;
    }
    for (Control* control : m_form->Controls()) {
        auto* button = dynamic_cast<CommandButton*>(control);
        if (button != nullptr && (button->*flag)() && button->Reachable()) {
            return button;
        }
    }
    return nullptr;
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<FormWindow*>(create->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    if (self == nullptr || self->m_form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case DM_GETDEFID: {
            // Enter presses the default button through the dialog manager.
            CommandButton* button = ButtonWith(&CommandButton::Default);
            HWND window = button != nullptr ? WindowOf(*button) : nullptr;
            return window != nullptr ? MAKELRESULT(GetDlgCtrlID(window), DC_HASDEFID) : 0;
        }
        case DM_SETDEFID:
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                   false);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                   true);
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CLOSE:
            m_form->RequestUnload(UnloadMode::FormControlMenu);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                m_lastFocus = GetFocus();
            } else if (!m_applying) {
                m_toolkit.NoteActivated(*m_form);
            }
            break;
        case WM_SETFOCUS: {
            // The keyboard goes back where it was, else to the first control in tab order.
            HWND target = m_lastFocus;
            if (target == nullptr || GetParent(target) != m_window || !IsWindowEnabled(target) ||
                !IsWindowVisible(target)) {
                target = GetNextDlgTabItem(m_window, nullptr, FALSE);
            }
            if (target != nullptr) {
                SetFocus(target);
            }
            return 0;
        }
        case WM_MOVE:
            if (!m_applying && IsWindowVisible(m_window) && !IsIconic(m_window)) {
                RECT frame{};
                GetWindowRect(m_window, &frame);
                m_form->Move(Unscale(frame.left), Unscale(frame.top), m_form->Width(),
                             m_form->Height());
            }
            break;
        case WM_SIZE:
            if (!m_applying && wParam == SIZE_MINIMIZED) {
                m_form->SetWindowState(WindowState::Minimized);
            } else if (!m_applying && wParam == SIZE_RESTORED &&
                       m_form->State() == WindowState::Minimized) {
                m_form->SetWindowState(WindowState::Normal);
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void FormWindow::OnCommand(int id, int code, HWND from) {
    if (id == IDCANCEL) {
        if (CommandButton* button = ButtonWith(&CommandButton::Cancel)) {
            button->PerformClick();
        }
        return;
    }
    Control* control = ControlOf(from);
    if (control == nullptr || m_applying) {
        return;
    }
    switch (control->Kind()) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED && control->Reachable()) {
                static_cast<CommandButton*>(control)->PerformClick();
            }
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) {
                auto* box = static_cast<CheckBox*>(control);
                box->SetValue(box->Checked() ? CheckBox::kUnchecked : CheckBox::kChecked);
                // The box's own cycle through the greyed state is not ours: show the value.
                if (HWND window = WindowOf(*box)) {
                    const FlagGuard guard(m_applying);
                    ApplyControlProperty(*box, window, ControlProperty::Value, -1, *this);
                }
            }
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED && control->Enabled()) {
                static_cast<Label*>(control)->PerformClick();
            }
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE) {
                static_cast<TextBox*>(control)->SetText(TypedText(WindowText(from)));
            }
            break;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                static_cast<ComboBox*>(control)->SetListIndex(
                    static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0)));
            }
            break;
        default:
            break;
    }
}

LRESULT FormWindow::OnNotify(const NMHDR& header) {
    Control* control = ControlOf(header.hwndFrom);
    if (control == nullptr || m_applying || control->Kind() != ControlKind::ListBox ||
        header.code != LVN_ITEMCHANGED) {
        return 0;
    }
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    auto* list = static_cast<ListBox*>(control);
    if (change.iItem < 0 || change.iItem >= list->ListCount() ||
        (change.uChanged & LVIF_STATE) == 0) {
        return 0;
    }
    const UINT changed = change.uNewState ^ change.uOldState;
    if ((changed & LVIS_STATEIMAGEMASK) != 0 && list->TickBoxes() &&
        (change.uNewState & LVIS_STATEIMAGEMASK) != 0) {
        const bool checked = (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        if (list->Checked(change.iItem) != checked) {
            list->SetChecked(change.iItem, checked);
        }
    }
    // A line losing the selection is followed by the one gaining it; only that one counts.
    if ((changed & LVIS_SELECTED) != 0 && (change.uNewState & LVIS_SELECTED) != 0) {
        list->SetListIndex(change.iItem);
    }
    return 0;
}

LRESULT FormWindow::OnControlColour(HDC dc, HWND from, bool edit) {
    const Control* control = ControlOf(from);
    SetTextColor(dc, ToColorRef(control != nullptr ? control->ForeColor() : kColourWindowText));
    const int background = edit ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(background));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

void FormWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    for (const Control* control : m_form->Controls()) {
        if (control->Kind() != ControlKind::Line || !control->Visible()) {
            continue;
        }
        const auto* line = static_cast<const Line*>(control);
        const COLORREF colour = ToColorRef(line->ForeColor());
        HPEN pen = CreatePen(PS_SOLID, std::max(1, Scale(1)), colour);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, Scale(line->X1()), Scale(line->Y1()), nullptr);
        LineTo(dc, Scale(line->X2()), Scale(line->Y2()));
        SetPixel(dc, Scale(line->X2()), Scale(line->Y2()), colour);  // LineTo stops short of it
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    EndPaint(m_window, &paint);
}

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    m_dpi = dpi;
    const FlagGuard guard(m_applying);
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    std::map<std::pair<int, bool>, HFONT> old;
    old.swap(m_fonts);
    for (const auto& [id, control] : m_ids) {
        if (HWND window = WindowOf(*control)) {
            ApplyControlProperty(*control, window, ControlProperty::Font, -1, *this);
            ApplyControlProperty(*control, window, ControlProperty::Geometry, -1, *this);
        }
    }
    for (const auto& [key, font] : old) {
        DeleteObject(font);
    }
    InvalidateRect(m_window, nullptr, TRUE);
}

}  // namespace tamsel
