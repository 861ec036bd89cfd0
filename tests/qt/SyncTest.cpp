// The renderer keeps widgets and controls in step both ways.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "SampleForm.h"
#include "qt/FormWindow.h"
#include "qt/QtToolkit.h"

namespace tamsel {
namespace {

class SyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.Show();
        window = toolkit.WindowOf(form);
        ASSERT_NE(window, nullptr);
    }
    template <class W>
    W* WidgetOf(const Control& control) {
        return dynamic_cast<W*>(toolkit.WidgetOf(control));
    }

    QtEventLoop loop;
    QtToolkit toolkit{loop};
    testing::frmSample form{toolkit};
    FormWindow* window = nullptr;
};

TEST_F(SyncTest, WidgetsStartWithTheControlsPropertiesAndFollowTheirChanges) {
    auto* user = WidgetOf<QLineEdit>(form.txtUser);
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->text(), "Please complete details");
    auto* list = WidgetOf<QListWidget>(form.List);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(WidgetOf<QComboBox>(form.comAutoUpdate)->currentText(), "Daily");
    EXPECT_TRUE(WidgetOf<QPushButton>(form.cmdConnect)->isDefault());
    EXPECT_EQ(window->size(), QSize(420, 330));
    EXPECT_EQ(toolkit.WidgetOf(form.Timer1), nullptr);

    form.txtUser.SetText("Ann");
    form.chkShowDownloads.SetEnabled(false);
    form.Label2.SetVisible(false);
    form.Label1.SetCaption("&Name && more:");
    form.SetCaption("Other");
    const int last = form.InfoPane.AddItem("successful");
    form.InfoPane.SetList(last, "successful - 3 files");
    form.InfoPane.SetListIndex(last);
    form.List.SetChecked(0, false);

    EXPECT_EQ(user->text(), "Ann");
    EXPECT_FALSE(WidgetOf<QCheckBox>(form.chkShowDownloads)->isEnabled());
    EXPECT_TRUE(WidgetOf<QLabel>(form.Label2)->isHidden());
    EXPECT_EQ(WidgetOf<QLabel>(form.Label1)->text(), "Name & more:");
    EXPECT_EQ(window->windowTitle(), "Other");
    auto* pane = WidgetOf<QListWidget>(form.InfoPane);
    ASSERT_EQ(pane->count(), 3);
    EXPECT_EQ(pane->item(2)->text(), "successful - 3 files");
    EXPECT_EQ(pane->currentRow(), 2);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    form.InfoPane.Clear();
    EXPECT_EQ(pane->count(), 0);

    // Selecting the last line scrolls it into view.
    for (int i = 0; i < 40; ++i) {
        form.InfoPane.SetListIndex(form.InfoPane.AddItem("line " + std::to_string(i)));
    }
    const QRect shown = pane->visualItemRect(pane->item(pane->count() - 1));
    EXPECT_TRUE(pane->viewport()->rect().contains(shown.center()));
    EXPECT_FALSE(pane->viewport()->rect().contains(pane->visualItemRect(pane->item(0)).center()));
}

TEST_F(SyncTest, UserGesturesIncludingEscapeReachTheHandlersOfEnabledControls) {
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
    form.comAutoUpdate.OnClick = [&] { events.push_back("schedule " + form.comAutoUpdate.Text()); };
    form.cmdCancel.OnClick = [&] { events.push_back("cancel"); };

    QTest::mouseClick(WidgetOf<QPushButton>(form.cmdConnect), Qt::LeftButton);
    auto* user = WidgetOf<QLineEdit>(form.txtUser);
    user->clear();
    QTest::keyClicks(user, "Jo");
    QTest::mouseClick(WidgetOf<QCheckBox>(form.chkShowDownloads), Qt::LeftButton);
    WidgetOf<QListWidget>(form.List)->item(1)->setCheckState(Qt::Unchecked);
    auto* combo = WidgetOf<QComboBox>(form.comAutoUpdate);
    emit combo->activated(3);
    QTest::keyClick(window, Qt::Key_Escape);
    // A disabled button ignores clicks.
    form.cmdConnect.SetEnabled(false);
    QTest::mouseClick(WidgetOf<QPushButton>(form.cmdConnect), Qt::LeftButton);

    EXPECT_EQ(events, (std::vector<std::string>{"connect", "text J", "text Jo", "check 1",
                                                "tick 1=0", "schedule Weekly", "cancel"}));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.txtUser.Text(), "Jo");
    EXPECT_FALSE(form.List.Checked(1));
    EXPECT_EQ(form.comAutoUpdate.ListIndex(), 3);
}

// The window stays on top when the form asks; a close by its frame asks the form, which may
// refuse.
TEST_F(SyncTest, WindowFollowsTheFormAndFrameCloseAsksIt) {
    form.SetTopMost(true);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());

    std::vector<UnloadMode> modes;
    bool refuse = true;
    form.OnQueryUnload = [&](bool& cancel, UnloadMode mode) {
        modes.push_back(mode);
        cancel = refuse;
    };
    window->close();
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(window->isVisible());
    refuse = false;
    window->close();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(toolkit.WindowOf(form), nullptr);
    EXPECT_EQ(modes,
              (std::vector<UnloadMode>{UnloadMode::FormControlMenu, UnloadMode::FormControlMenu}));
}

// Focus events reach the handlers; taking the focus chooses no line of a list, a click on one does.
TEST_F(SyncTest, FocusEventsReachTheHandlersAndAListChoosesALineOnlyWhenTheUserDoes) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    std::vector<std::string> events;
    form.txtUser.OnGotFocus = [&] { events.push_back("got"); };
    form.txtUser.OnLostFocus = [&] { events.push_back("lost"); };
    form.cmdCancel.SetFocus();
    events.clear();  // the text box may have held the focus when the window opened
    form.txtUser.SetFocus();
    form.cmdConnect.SetFocus();
    EXPECT_EQ(events, (std::vector<std::string>{"got", "lost"}));

    auto* list = WidgetOf<QListWidget>(form.List);
    form.List.SetFocus();
    EXPECT_EQ(form.List.ListIndex(), -1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(form.List.ListIndex(), 1);
}

}  // namespace
}  // namespace tamsel
