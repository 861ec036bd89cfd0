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

// The window the window manager has made active, as the root window announces it.
xcb_window_t ActiveWindow() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const char* name = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t active = XCB_WINDOW_NONE;
    if (reply != nullptr && xcb_get_property_value_length(reply) == 4) {
        std::memcpy(&active, xcb_get_property_value(reply), 4);
    }
    std::free(reply);
    std::free(atom);
    xcb_disconnect(connection);
    return active;
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

// A second start asks the window manager to bring the window of the copy that holds the lock to
// the front, over another program's window that the user went on with.
TEST_F(X11DialogsTest, ASecondStartBringsTheRunningCopyToTheFront) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
    test::TempDir dir;
    SingleInstanceLock running(dir / "updater.lock");
    SingleInstanceLock second(dir / "updater.lock");
    ASSERT_TRUE(second.PreviousInstance());
    ASSERT_EQ(second.HolderPid(), ::getpid());

    frmWarning mine(toolkit);
    mine.Show();
    // Another program's window (its process: the one that started this test), active over ours.
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
    const xcb_window_t window = xcb_generate_id(other);
    xcb_create_window(other, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 600, 400, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const auto parent = static_cast<std::uint32_t>(::getppid());
    const char* pidName = "_NET_WM_PID";
    xcb_intern_atom_reply_t* pidAtom = xcb_intern_atom_reply(
        other, xcb_intern_atom(other, 0, std::strlen(pidName), pidName), nullptr);
    xcb_change_property(other, XCB_PROP_MODE_REPLACE, window, pidAtom->atom, XCB_ATOM_CARDINAL, 32,
                        1, &parent);
    std::free(pidAtom);
    xcb_map_window(other, window);
    xcb_flush(other);

    xcb_window_t mineId = XCB_WINDOW_NONE;
    bool asked = false;
    When([&] { return shown("frmWarning") != nullptr; },
         [&] {
             mineId = static_cast<xcb_window_t>(shown("frmWarning")->winId());
             Xdotool("windowactivate --sync " + std::to_string(window));
             ASSERT_EQ(ActiveWindow(), window);
             asked = RequestWindowActivation(second.HolderPid());
             When([&] { return ActiveWindow() == mineId; }, [&] { mine.Unload(); });
         });
    QTimer::singleShot(30000, [&mine] { mine.Unload(); });  // a bound, should a step fail
    loop.RunUntil([&] { return !mine.IsLoaded(); });
    EXPECT_TRUE(asked);
    EXPECT_EQ(ActiveWindow(), mineId);
    xcb_disconnect(other);
}

}  // namespace
}  // namespace tamsel
