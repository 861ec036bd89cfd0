#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/HeadlessEventLoop.h"
#include "forms/Toolkit.h"

namespace tamsel {

// A toolkit without windows, for tests. Shows are recorded; a modal show runs a nested loop on
// the virtual clock until the form hides or unloads. A test scripts the user: what to do when
// a form of a given name is shown (see forms/User.h for the gestures) and how to answer message
// boxes; it then reads back the message boxes, beeps and shows.
//
//   HeadlessEventLoop loop;
//   HeadlessToolkit toolkit(loop);
//   toolkit.WhenShown("frmWarning", [](Form& form) {
//       user::Click(form.Get<CommandButton>("cmdRemove"));
//   });
//   frmWarning warning(toolkit);
//   warning.Show(ShowMode::Modal);   // returns once the script clicked the button
class HeadlessToolkit : public Toolkit {
  public:
    struct MessageBox {
        std::string prompt;
        int style = 0;
        std::string title;
        MsgBoxResult answer = MsgBoxResult::Ok;
    };
    using FormScript = std::function<void(Form&)>;

    explicit HeadlessToolkit(HeadlessEventLoop& loop, int screenWidth = 1024,
                             int screenHeight = 768);
    ~HeadlessToolkit() override;

    EventLoop& Loop() override { return m_loop; }
    HeadlessEventLoop& Headless() { return m_loop; }

    void FormLoaded(Form& form) override;
    void ShowForm(Form& form, ShowMode mode) override;
    void HideForm(Form& form) override;
    void FormUnloaded(Form& form) override;
    std::vector<Form*> LoadedForms() const override { return m_loaded; }

    MsgBoxResult MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void Beep() override { ++m_beeps; }
    int ScreenWidth() const override { return m_screenWidth; }
    int ScreenHeight() const override { return m_screenHeight; }
    void SetFocus(Control& control) override;

    // The next show of a form with that name runs the script (once), inside the show's nested
    // loop for a modal show. Several scripts for one name run on successive shows.
    void WhenShown(const std::string& formName, FormScript script);
    // Answers for the next message boxes, in order; a box without one gets its first button.
    void AnswerMsgBox(MsgBoxResult answer) { m_answers.push_back(answer); }
    // Scripts not yet used, for a test that wants every scripted step to have happened.
    std::size_t PendingScripts() const;

    const std::vector<MessageBox>& MessageBoxes() const { return m_messageBoxes; }
    int Beeps() const { return m_beeps; }
    // Names of the forms in the order they were shown.
    const std::vector<std::string>& ShowLog() const { return m_showLog; }
    // The control holding the focus on that form, or nullptr.
    Control* Focused(const Form& form) const;
    // The visible form shown last, or nullptr.
    Form* ActiveForm() const;

  private:
    bool IsLoaded(const Form* form) const;
    void Deactivate(Form& form);

    HeadlessEventLoop& m_loop;
    int m_screenWidth;
    int m_screenHeight;
    std::vector<Form*> m_loaded;
    std::vector<Form*> m_zOrder;  // visible forms, the active one last
    std::map<const Form*, Control*> m_focus;
    std::map<std::string, std::deque<FormScript>> m_scripts;
    std::deque<MsgBoxResult> m_answers;
    std::vector<MessageBox> m_messageBoxes;
    std::vector<std::string> m_showLog;
    int m_beeps = 0;
};

}  // namespace tamsel
