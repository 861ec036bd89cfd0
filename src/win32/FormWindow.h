#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "win32/ControlWindows.h"

namespace tamsel {

class Win32Toolkit;

// The top-level window of one form, built from its control list and kept in sync both ways: the
// form's property changes show at once, and clicks, edits, ticks, selections and moves reach the
// controls' handlers. Closing the frame asks the form to unload (it may refuse); Enter presses
// the default button and Escape the cancel button. Sizes follow the window's DPI: a form pixel is
// a pixel at 96 dots per inch. The toolkit creates it when the form loads and detaches it when
// the form unloads.
class FormWindow : public FormObserver, private ControlHost {
  public:
    FormWindow(Form& form, Win32Toolkit& toolkit);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Handle() const { return m_window; }
    // Forgets the form: no more calls into it; the window stays until this object goes.
    void Detach();
    Form* AttachedForm() const { return m_form; }
    HWND WindowOf(const Control& control) const;
    Control* ControlOf(HWND window) const;

    void ControlChanged(Control& control, ControlProperty property, int index) override;
    void FormChanged(FormProperty property) override;

    // Applies the form's position, size and place above others before a show.
    void PrepareShow();

    static void RegisterWindowClass();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND from);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnControlColour(HDC dc, HWND from, bool edit);
    void OnPaint();
    void OnDpiChanged(int dpi, const RECT& suggested);
    CommandButton* ButtonWith(bool (CommandButton::*flag)() const) const;

    void BuildControls();
    void ApplyGeometry();
    void ApplyTopMost();
    void ApplyWindowState();

    int Scale(int pixels) const override { return MulDiv(pixels, m_dpi, 96); }
    int Unscale(int pixels) const { return MulDiv(pixels, 96, m_dpi); }
    HFONT FontOf(const Control& control) override;
    void SetToolTip(HWND window, const std::wstring& text) override;
    void DropFonts();

    Form* m_form;
    Win32Toolkit& m_toolkit;
    HWND m_window = nullptr;
    HWND m_toolTips = nullptr;
    HWND m_lastFocus = nullptr;  // the control that had the keyboard when the window was left
    int m_dpi = 96;
    std::map<const Control*, HWND> m_windows;
    std::map<int, Control*> m_ids;
    std::map<std::pair<int, bool>, HFONT> m_fonts;
    bool m_applying = false;  // set while the window follows the form, so it does not echo back
};

}  // namespace tamsel
