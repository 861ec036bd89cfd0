#include "RenderCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "WindowPicture.h"
#include "win32/FormWindow.h"

namespace tamsel::testing {

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void RenderAndCheck(Win32Toolkit& toolkit, Form& form) {
    form.Show();
    FormWindow* window = toolkit.WindowOf(form);
    ASSERT_NE(window, nullptr);
    RedrawWindow(window->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();

    RECT client{};
    GetClientRect(window->Handle(), &client);
    for (const Control* control : form.Controls()) {
        HWND child = toolkit.WindowOf(*control);
        if (child == nullptr) {
            continue;
        }
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&box), 2);
        const bool outside = box.right <= 0 || box.bottom <= 0;
        // A drop-down list's window reaches down over its open list; its face is what counts.
        const LONG bottom = control->Kind() == ControlKind::ComboBox
                                ? box.top + control->Geometry().height
                                : box.bottom;
        EXPECT_TRUE(outside || (box.left >= 0 && box.top >= 0 && box.right <= client.right &&
                                bottom <= client.bottom))
            << form.Name() << "." << control->Name();
    }

    const Picture picture = TakePicture(window->Handle());
    ASSERT_GT(picture.width, 0);
    EXPECT_EQ(picture.width,
              form.Width() * static_cast<int>(GetDpiForWindow(window->Handle())) / 96);
    const std::uint32_t background = picture.At(1, 1);
    int different = 0;
    for (int y = 0; y < picture.height; y += 2) {
        for (int x = 0; x < picture.width; x += 2) {
            different += picture.At(x, y) != background ? 1 : 0;
        }
    }
    EXPECT_GT(different, 100) << form.Name() << " looks empty";

    std::filesystem::create_directories(TAMSEL_FORM_PNG_DIR);
    const std::string path = std::string(TAMSEL_FORM_PNG_DIR "/") + form.Name() + ".png";
    EXPECT_TRUE(WritePng(picture, path)) << path;
}

}  // namespace tamsel::testing
