// Renders every form offscreen and writes a PNG of each for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <memory>
#include <string>

#include "SampleForm.h"
#include "qt/FormWindow.h"
#include "qt/QtToolkit.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

class RenderFormsTest : public ::testing::Test {
  protected:
    // Shows the form, grabs its window, writes the PNG and checks the picture has content.
    void Render(Form& form) {
        form.Show();
        FormWindow* window = toolkit.WindowOf(form);
        ASSERT_NE(window, nullptr);
        const QImage image = window->grab().toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), form.Width());
        EXPECT_EQ(image.height(), form.Height());

        // Something other than the background was drawn.
        const QRgb background = image.pixel(1, 1);
        int different = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                different += image.pixel(x, y) != background ? 1 : 0;
            }
        }
        EXPECT_GT(different, 100) << form.Name() << " looks empty";

        ASSERT_TRUE(QDir().mkpath(QStringLiteral(TAMSEL_FORM_PNG_DIR)));
        const QString path = QStringLiteral(TAMSEL_FORM_PNG_DIR "/") +
                             QString::fromStdString(form.Name()) + QStringLiteral(".png");
        EXPECT_TRUE(image.save(path)) << path.toStdString();
    }

    QtEventLoop loop;
    QtToolkit toolkit{loop};
};

TEST_F(RenderFormsTest, Warning) {
    frmWarning warning(toolkit);
    Render(warning);
}

TEST_F(RenderFormsTest, SampleWithEveryControlKind) {
    testing::frmSample sample(toolkit);
    Render(sample);
}

}  // namespace
}  // namespace tamsel
