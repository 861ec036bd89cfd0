// Dialogs on a real X server (run under Xvfb), driven by real key presses from xdotool: what a
// person sees and where the keyboard goes, which the offscreen platform cannot show.
#include <gtest/gtest.h>

#include <xcb/xcb.h>
#include <QApplication>
#include <QGuiApplication>
#include <QListWidget>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "config/CConfiguration.h"
#include "qt/FormWindow.h"
#include "qt/QtToolkit.h"
#include "ui/frmMenu.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

// Sends a key to the focused X window as a keyboard would.
void PressKey(const char* key) {
    const std::string command = std::string("xdotool key ") + key;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The share of pixels in the middle of the window (where its text is) that differ from their most
// common colour, read from the screen through a connection of its own as any other program would:
// Qt's own grab of the window answers with its paint buffer, whether or not that reached the
// screen. A title bar drawn by the window manager around a black window does not count.
double ShareNotFlatOnScreen(const QWidget& window) {
    const QRect whole = window.geometry();
    const QRect area = whole.adjusted(whole.width() / 4, whole.height() / 4, -whole.width() / 4,
                                      -whole.height() / 4);
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return -1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
                      static_cast<std::int16_t>(area.x()), static_cast<std::int16_t>(area.y()),
                      static_cast<std::uint16_t>(area.width()),
                      static_cast<std::uint16_t>(area.height()), ~0u),
        nullptr);
    double share = -1;
    if (image != nullptr) {
        const std::uint8_t* data = xcb_get_image_data(image);
        const int length = xcb_get_image_data_length(image);
        std::map<std::uint32_t, int> counts;
        int samples = 0;
        for (int offset = 0; offset + 4 <= length; offset += 4 * 3) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, data + offset, sizeof pixel);
            ++counts[pixel & 0xFFFFFFu];
            ++samples;
        }
        int most = 0;
        for (const auto& [colour, count] : counts) {
            most = std::max(most, count);
        }
        share = samples == 0 ? 0.0 : 1.0 - static_cast<double>(most) / samples;
        std::free(image);
    }
    xcb_disconnect(connection);
    return share;
}

class X11DialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        }
        local.add(CConfiguration::Setting("historical", "Finance"));
        auto menu = std::make_shared<CMenu>();
        menu->Caption("Templates");
        for (const char* name : {"Sales", "Finance", "Logos"}) {
            auto choice = std::make_shared<CChoice>();
            choice->Choice(name);
            menu->add(choice);
        }
        dialog.setMenu(menu);
    }

    // Runs what, on the event loop, once the condition holds (or after a bound, failing).
    void When(const char* awaited, std::function<bool()> condition, std::function<void()> what,
              int triesLeft = 400) {
        QTimer::singleShot(25, [=, this] {
            // A window manager that started late may not have given the window the focus.
            if (FormWindow* menu = windowOf("frmMenu");
                menu != nullptr && !hasFocus("frmMenu") && triesLeft % 20 == 0) {
                const std::string focus =
                    "xdotool windowactivate " + std::to_string(menu->winId()) + " 2>/dev/null";
                std::system(focus.c_str());
            }
            if (condition()) {
                // Let the window system settle (expose, paint, activation) first.
                QTimer::singleShot(1500, what);
            } else if (triesLeft > 0) {
                When(awaited, condition, what, triesLeft - 1);
            } else {
                ADD_FAILURE() << "never came: " << awaited;
                dialog.cmdCancel.PerformClick();
            }
        });
    }

    FormWindow* windowOf(const char* name) const {
        for (Form* form : toolkit.LoadedForms()) {
            if (form->Name() == name) {
                FormWindow* window = toolkit.WindowOf(*form);
                return window != nullptr && window->isVisible() ? window : nullptr;
            }
        }
        return nullptr;
    }

    // The form's window is shown and has the keyboard.
    bool hasFocus(const char* name) const {
        const FormWindow* window = windowOf(name);
        return window != nullptr && QGuiApplication::focusWindow() == window->windowHandle();
    }

    QtEventLoop loop;
    QtToolkit toolkit{loop};
    CConfiguration local;
    frmMenu dialog{toolkit, local};
};

// The package warning opened by unticking a package with the keyboard paints its text and
// button, and the keyboard comes back to the line that was unticked.
TEST_F(X11DialogsTest, TheWarningPaintsAndTheFocusReturnsToTheList) {
    double warningDrawn = -1;
    When(
        "the menu", [this] { return hasFocus("frmMenu"); },
        [&] {
            // From Continue, back to the list, down to Finance, untick it.
            PressKey("shift+Tab");
            PressKey("Down");
            PressKey("space");
            When(
                "the warning", [this] { return windowOf("frmWarning") != nullptr; },
                [&] {
                    warningDrawn = ShareNotFlatOnScreen(*windowOf("frmWarning"));
                    PressKey("Return");
                    When(
                        "the warning to close",
                        [this] { return windowOf("frmWarning") == nullptr; },
                        [&] {
                            auto* list = qobject_cast<QListWidget*>(toolkit.WidgetOf(dialog.List));
                            ASSERT_NE(list, nullptr);
                            EXPECT_EQ(QApplication::focusWidget(), list);
                            EXPECT_EQ(list->currentRow(), 1);
                            dialog.cmdCancel.PerformClick();
                        });
                });
        });
    // As in a run: a main window shown, then a setup dialog, then the main window hidden and the
    // menu shown from a tick of its timer.
    Form main(toolkit, "frmMain");
    main.Move(0, 0, 440, 300);
    main.Show();
    bool shown = false;
    const auto timer = loop.StartTimer(std::chrono::milliseconds(10), [&] {
        if (!shown) {
            shown = true;
            Form setup(toolkit, "frmLogin");
            setup.Move(0, 0, 500, 348);
            loop.Post([&setup] { QTimer::singleShot(500, [&setup] { setup.Unload(); }); });
            setup.Show(ShowMode::Modal);
            main.Show();
            main.Hide();
            dialog.Show(ShowMode::Modal);
        }
    });
    loop.RunUntil([&] { return shown && !dialog.IsLoaded(); });
    loop.StopTimer(timer);
    EXPECT_GT(warningDrawn, 0.02) << "the warning is one flat colour on screen";
    EXPECT_FALSE(dialog.List.Checked(1));
}

}  // namespace
}  // namespace tamsel
