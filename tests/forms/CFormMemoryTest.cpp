#include <gtest/gtest.h>

#include <utility>

#include "forms/CFormMemory.h"
#include "forms/Form.h"
#include "forms/HeadlessToolkit.h"

namespace tamsel {
namespace {

class CFormMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetStartUpPosition(StartUpPosition::Manual);
        form.Move(100, 50, 400, 300);
        form.Show();
    }
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop, 1024, 768};
    Form form{toolkit, "frmMain"};
    CFormMemory memory;
};

TEST_F(CFormMemoryTest, SnapShotKeepsTheFirstPositionUnlessItsTopWasZero) {
    for (const auto& [left, top] : {std::pair{30, 0}, std::pair{70, 80}, std::pair{300, 200}}) {
        form.Move(left, top, 400, 300);
        memory.SnapShot(form);
    }
    EXPECT_EQ(memory.RememberedLeft(), 70);
    EXPECT_EQ(memory.RememberedTop(), 80);
}

TEST_F(CFormMemoryTest, ForceCenterCentresOnlyAVisibleNormalWindowEvenIfWiderThanTheScreen) {
    form.SetWindowState(WindowState::Minimized);
    CFormMemory::forceCenter(form);
    form.SetWindowState(WindowState::Normal);
    form.Hide();
    CFormMemory::forceCenter(form);
    EXPECT_EQ(form.Left(), 100) << "minimised and hidden windows stay";
    form.Show();
    CFormMemory::forceCenter(form);
    EXPECT_EQ(form.Geometry(), (Rect{312, 234, 400, 300}));
    form.Move(0, 0, 1224, 300);
    CFormMemory::forceCenter(form);
    EXPECT_EQ(form.Geometry(), (Rect{-100, 234, 1224, 300}));
}

}  // namespace
}  // namespace tamsel
