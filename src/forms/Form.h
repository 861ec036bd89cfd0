#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Control.h"
#include "forms/FormObserver.h"
#include "forms/Toolkit.h"

namespace tamsel {

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Where a form appears the first time it is shown after loading: where its Left and Top say,
// or centred on the screen.
enum class StartUpPosition { Manual = 0, CenterScreen = 2 };

// Why a form is being unloaded, as QueryUnload reports it.
enum class UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2, TaskManager = 3 };

// A window with named controls and event handlers. A dialog derives from Form and declares its
// controls as references created by Add, in tab order:
//
//   class frmExample : public Form {
//   public:
//       explicit frmExample(Toolkit& toolkit) : Form(toolkit, "frmExample") {
//           cmdOK.OnClick = [this] { Unload(); };
//       }
//       CommandButton& cmdOK = Add<CommandButton>("cmdOK");
//   };
//
// Life cycle: Load (raises OnLoad, starts timers) -> Show/Hide any number of times -> Unload
// (QueryUnload and Unload may cancel). Show loads the form first when needed; a form can be
// loaded again after it was unloaded. Positions and sizes are pixels: Left and Top place the
// window's frame on the screen, Width and Height are its client area's.
class Form {
  public:
    Form(Toolkit& toolkit, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return m_name; }
    Toolkit& GetToolkit() const { return m_toolkit; }

    const std::vector<Control*>& Controls() const { return m_controlList; }
    Control* Find(std::string_view name) const;
    // The control of that name and kind; throws std::invalid_argument when there is none.
    template <class T>
    T& Get(std::string_view name) const {
        auto* control = dynamic_cast<T*>(Find(name));
        if (control == nullptr) {
            throw std::invalid_argument(m_name + " has no control " + std::string(name) +
                                        " of that kind");
        }
        return *control;
    }

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption);
    bool TopMost() const { return m_topMost; }
    void SetTopMost(bool topMost);
    WindowState State() const { return m_windowState; }
    void SetWindowState(WindowState state);
    StartUpPosition StartUp() const { return m_startUp; }
    void SetStartUpPosition(StartUpPosition position) { m_startUp = position; }

    int Left() const { return m_geometry.left; }
    int Top() const { return m_geometry.top; }
    int Width() const { return m_geometry.width; }
    int Height() const { return m_geometry.height; }
    const Rect& Geometry() const { return m_geometry; }
    void SetLeft(int left) { Move(left, Top(), Width(), Height()); }
    void SetTop(int top) { Move(Left(), top, Width(), Height()); }
    void Move(int left, int top, int width, int height);

    bool IsLoaded() const { return m_loaded; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    void Load();
    // A modal show returns when the form is hidden or unloaded.
    void Show(ShowMode mode = ShowMode::Modeless);
    void Hide();
    // Unloads from code; returns false when a handler cancelled.
    bool Unload() { return RequestUnload(UnloadMode::FormCode); }
    // Closing through the window frame is RequestUnload(UnloadMode::FormControlMenu).
    bool RequestUnload(UnloadMode mode);

    std::function<void()> OnLoad;
    std::function<void()> OnActivate;
    std::function<void(bool& cancel, UnloadMode mode)> OnQueryUnload;
    std::function<void(bool& cancel)> OnUnload;

    // For toolkits: the renderer watching this form (nullptr for none), activation, and the
    // position the user moved the window to.
    void SetObserver(FormObserver* observer) { m_observer = observer; }
    FormObserver* Observer() const { return m_observer; }
    void RaiseActivate();
    void NotifyControlChanged(Control& control, ControlProperty property, int index);

  protected:
    template <class T>
    T& Add(std::string name) {
        auto control = std::make_unique<T>(*this, std::move(name));
        T& reference = *control;
        m_controlList.push_back(control.get());
        m_controls.push_back(std::move(control));
        return reference;
    }

  private:
    void NotifyForm(FormProperty property);
    void SetLoaded(bool loaded);

    Toolkit& m_toolkit;
    std::string m_name;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<Control*> m_controlList;
    FormObserver* m_observer = nullptr;

    std::string m_caption;
    bool m_topMost = false;
    WindowState m_windowState = WindowState::Normal;
    Rect m_geometry{0, 0, 320, 240};
    StartUpPosition m_startUp = StartUpPosition::CenterScreen;
    bool m_shownSinceLoad = false;
    bool m_loaded = false;
    bool m_visible = false;
    bool m_unloading = false;
};

}  // namespace tamsel
