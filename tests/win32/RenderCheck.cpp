#include "RenderCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "WindowPicture.h"
#include "forms/Label.h"
#include "win32/Dpi.h"
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
    const Picture picture = TakePicture(window->Handle());
    ASSERT_EQ(picture.width, client.right);
    ASSERT_GT(picture.width, 0);
    const std::uint32_t background = picture.At(1, 1);
    for (const Control* control : form.Controls()) {
        HWND child = toolkit.WindowOf(*control);
        if (child == nullptr) {
            continue;
        }
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&box), 2);
        if (box.right <= 0 || box.bottom <= 0) {
            continue;  // wholly outside, as a focus sink is placed
        }
        // A drop-down list's window reaches down over its open list; its face is what counts.
        if (control->Kind() == ControlKind::ComboBox) {
            box.bottom = box.top + MulDiv(control->Geometry().height, DpiOf(child), 96);
        }
        ASSERT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= client.right &&
                    box.bottom <= client.bottom)
            << form.Name() << "." << control->Name() << " lies outside its window";
        const auto* label = dynamic_cast<const Label*>(control);
        if (!control->Visible() || (label != nullptr && label->Caption().empty())) {
            continue;
        }
        int drawn = 0;
        for (LONG y = box.top; y < box.bottom; ++y) {
            for (LONG x = box.left; x < box.right; ++x) {
                drawn += picture.At(x, y) != background ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 0) << form.Name() << "." << control->Name() << " shows nothing";
    }

    std::filesystem::create_directories(TAMSEL_FORM_PNG_DIR);
    const std::string path = std::string(TAMSEL_FORM_PNG_DIR "/") + form.Name() + ".png";
    EXPECT_TRUE(WritePng(picture, path)) << path;
}

}  // namespace tamsel::testing
