// Modal shows, message boxes and the event loop on Qt, driven by posted tasks (no waiting).
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <string>

#include "forms/Forms.h"
#include "qt/FormWindow.h"
#include "qt/QtToolkit.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

class QtToolkitTest : public ::testing::Test {
  protected:
    QtEventLoop loop;
    QtToolkit toolkit{loop};
};

// A modal show returns when the user clicks OK, or when the form hides itself.
TEST_F(QtToolkitTest, ModalShowReturnsOnOkOrWhenHidden) {
    frmWarning warning(toolkit);
    loop.Post([&] {
        auto* ok = qobject_cast<QPushButton*>(toolkit.WidgetOf(warning.cmdRemove));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(toolkit.WindowOf(warning)->isModal());
        ok->click();
    });
    warning.Show(ShowMode::Modal);
    EXPECT_FALSE(warning.IsLoaded());

    Form dialog(toolkit, "frmProcess");
    int activations = 0;
    dialog.OnActivate = [&] {
        ++activations;
        dialog.Hide();
    };
    dialog.Show(ShowMode::Modal);
    EXPECT_EQ(activations, 1);
    EXPECT_TRUE(dialog.IsLoaded());
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(QtToolkitTest, MessageBoxesShowTitleAndTextAndReturnTheButtonPressed) {
    const struct {
        int style;
        const char* title;
        QMessageBox::StandardButton press;
        MsgBoxResult expected;
    } cases[] = {
        {msgbox::kCritical, "WARNING!", QMessageBox::Ok, MsgBoxResult::Ok},
        {msgbox::kExclamation | msgbox::kYesNo, "WARNING!", QMessageBox::No, MsgBoxResult::No},
        {msgbox::kInformation | msgbox::kOkCancel, "WARNING!", QMessageBox::Cancel,
         MsgBoxResult::Cancel},
        // Without a title the application's is shown.
        {msgbox::kOkOnly, "", QMessageBox::Ok, MsgBoxResult::Ok},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.style);
        QString seenTitle;
        QString seenText;
        loop.Post([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenTitle = box->windowTitle();
            seenText = box->text();
            box->button(row.press)->click();
        });
        EXPECT_EQ(toolkit.MsgBox("Please make a selection\r\nfirst.", row.style, row.title),
                  row.expected);
        EXPECT_EQ(seenTitle, *row.title ? row.title : "Tamsel Updater");
        EXPECT_EQ(seenText, "Please make a selection\nfirst.");
    }
}

}  // namespace
}  // namespace tamsel
