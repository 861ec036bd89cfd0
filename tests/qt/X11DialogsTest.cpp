// Dialogs on a real X server (run under Xvfb with a window manager), driven by real key presses
// from xdotool: what a person sees and where the keyboard goes, which offscreen cannot show.
#include <gtest/gtest.h>

#include <xcb/xcb.h>
#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include <unistd.h>

#include "platform/SingleInstanceLock.h"
#include "platform/X11WindowActivate.h"
#include "qt/FormWindow.h"
#include "qt/QtToolkit.h"
#include "support/TempDir.h"
#include "ui/frmMenu.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

int Xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " 2>/dev/null").c_str());
}

// How many pixels in the middle of the window (where its text is) differ from the first one, read
// from the screen through a connection of its own as any other program would: Qt's own grab of a
// window answers with its paint buffer, whether or not that reached the screen.
int PixelsUnlikeTheFirst(const QWidget& window) {
    const QRect area = window.geometry().adjusted(window.width() / 4, window.height() / 4,
                                                  -window.width() / 4, -window.height() / 4);
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr);
    int unlike = 0;
    if (image != nullptr) {
        const uint8_t* pixels = xcb_get_image_data(image);
        for (int at = 4; at + 3 <= xcb_get_image_data_length(image); at += 4) {
            unlike += std::memcmp(pixels, pixels + at, 3) != 0 ? 1 : 0;
        }
        std::free(image);
    }
    xcb_disconnect(connection);
    return unlike;
}

class X11DialogsTest : public ::testing::Test {
  protected:
    // Runs what once the condition holds and the window system has settled; fails after a bound.
    void When(std::function<bool()> condition, std::function<void()> what, int triesLeft = 400) {
        QTimer::singleShot(25, [=, this] {
            if (condition()) {
                QTimer::singleShot(1500, what);
            } else if (triesLeft > 0) {
                When(condition, what, triesLeft - 1);
            } else {
                ADD_FAILURE() << "a window never came or went";
                dialog.cmdCancel.PerformClick();
            }
        });
    }

    FormWindow* shown(const char* name) const {
        for (Form* form : toolkit.LoadedForms()) {
            FormWindow* window = toolkit.WindowOf(*form);
            if (form->Name() == name && window != nullptr && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    QtEventLoop loop;
    QtToolkit toolkit{loop};
    CConfiguration local;
    frmMenu dialog{toolkit, local};
};

// Unticking a package installed earlier, with the keyboard: the warning shows its text on the
// screen, and once it closes the keyboard is back on the unticked line.
TEST_F(X11DialogsTest, PackageWarningPaintsAndGivesTheKeyboardBackToTheList) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
    local.add(CConfiguration::Setting("historical", "Finance"));
    auto menu = std::make_shared<CMenu>();
    for (const char* name : {"Sales", "Finance", "Logos"}) {
        auto choice = std::make_shared<CChoice>();
        choice->Choice(name);
        menu->add(choice);
    }
    dialog.setMenu(menu);

    int warningPixels = -1;
    When([this] { return shown("frmMenu") != nullptr; },
         [&] {
             // A window manager that started late may not have given the window the keyboard.
             Xdotool("windowactivate --sync " + std::to_string(shown("frmMenu")->winId()));
             Xdotool(
                 "key shift+Tab Down space");  // from Continue to the list, down to Finance, untick
             When([this] { return shown("frmWarning") != nullptr; },
                  [&] {
                      warningPixels = PixelsUnlikeTheFirst(*shown("frmWarning"));
                      EXPECT_EQ(Xdotool("key Return"), 0);
                      When([this] { return shown("frmWarning") == nullptr; },
                           [&] {
                               auto* list =
                                   qobject_cast<QListWidget*>(toolkit.WidgetOf(dialog.List));
                               EXPECT_EQ(QApplication::focusWidget(), list);
                               EXPECT_EQ(list->currentRow(), 1);
                               dialog.cmdCancel.PerformClick();
                           });
                  });
         });
    // As in a run, the menu is shown from a tick of a timer.
    bool opened = false;
    const auto timer = loop.StartTimer(std::chrono::milliseconds(10), [&] {
        if (!opened) {
            opened = true;
            dialog.Show(ShowMode::Modal);
        }
    });
    loop.RunUntil([&] { return opened && !dialog.IsLoaded(); });
    loop.StopTimer(timer);
    EXPECT_GT(warningPixels, 100) << "the warning shows nothing on the screen";
    EXPECT_FALSE(dialog.List.Checked(1));
}

// A second start asks the window manager to bring the window of the copy that holds the lock
// back from the task bar and to the front.
TEST_F(X11DialogsTest, ASecondStartBringsTheRunningCopyToTheFront) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
    test::TempDir dir;
    SingleInstanceLock running(dir / "updater.lock");
    SingleInstanceLock second(dir / "updater.lock");
    ASSERT_TRUE(second.PreviousInstance());
    frmWarning mine(toolkit);
    mine.Show();
    std::string id;
    When([this] { return shown("frmWarning") != nullptr; },
         [&] {
             id = std::to_string(shown("frmWarning")->winId());
             Xdotool("windowminimize --sync " + id);
             EXPECT_TRUE(RequestWindowActivation(second.HolderPid()));
             When([&] { return Xdotool("getactivewindow | grep -qx " + id) == 0; },
                  [&] { mine.Unload(); });
         });
    QTimer::singleShot(30000, [&mine] { mine.Unload(); });  // a bound, should a step fail
    loop.RunUntil([&] { return !mine.IsLoaded(); });
    EXPECT_EQ(Xdotool("getactivewindow | grep -qx " + id), 0) << "not brought to the front";
}

}  // namespace
}  // namespace tamsel
