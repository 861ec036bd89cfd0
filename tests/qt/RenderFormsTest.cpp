// Renders every form offscreen and writes a PNG of each for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <memory>
#include <string>

#include "app/frmMain.h"
#include "engine/frmProcess.h"
#include "qt/FormWindow.h"
#include "qt/QtToolkit.h"
#include "special/SpecialProcessing.h"
#include "special/frmOffice.h"
#include "ui/frmLogin.h"
#include "ui/frmMenu.h"
#include "ui/frmSilentUpdate.h"
#include "ui/frmUpdate.h"
#include "ui/frmWarning.h"

namespace tamsel {
namespace {

class RenderFormsTest : public ::testing::Test {
  protected:
    // Shows the form, grabs its window, writes the PNG and checks the picture has content and
    // every control lies inside the window (or wholly outside it, as a focus sink is placed).
    void Render(Form& form) {
        for (const Control* control : form.Controls()) {
            const Rect& box = control->Geometry();
            const bool outside = box.left + box.width <= 0 || box.top + box.height <= 0;
            EXPECT_TRUE(outside ||
                        (box.left >= 0 && box.top >= 0 && box.left + box.width <= form.Width() &&
                         box.top + box.height <= form.Height()))
                << form.Name() << "." << control->Name();
        }
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
    UpdateRun run{toolkit, "/opt/Kit/Updater"};
};

// The forms of a run, filled as a user would see them. The warning, and part way through an update:
// status lines, packages, changes, progress, the notice asking for PowerPoint to be closed, the
// setup dialog and the Office version chooser.
TEST_F(RenderFormsTest, EveryFormOfARun) {
    Render(*std::make_unique<frmWarning>(toolkit));

    frmMain main(run, "", false);
    main.Load();
    main.Timer1.SetEnabled(false);
    run.g_objMetrics.Shout("Downloading files completed.");
    main.cmdCancel.SetVisible(true);
    Render(main);
    // Lines that arrive later are read whole without scrolling, also with text twice the size: a
    // long one wraps onto as many rows as it needs.
    QApplication::processEvents();
    run.g_objMetrics.Scream(
        "WARNING! to safely update the 'Special' software files it is important");
    run.g_objMetrics.Shout(
        "  cause: cannot write '/home/someone/Tamsel/Files/Templates/Quarterly "
        "results.pot': Permission denied");
    auto* pane = qobject_cast<QListWidget*>(toolkit.WidgetOf(main.InfoPane));
    for (const qreal scale : {1.0, 2.0}) {
        QFont font = pane->font();
        font.setPointSizeF(font.pointSizeF() * scale);
        pane->setFont(font);
        pane->doItemsLayout();
        for (int i = 0; i < pane->count(); ++i) {
            const QRect shown = pane->visualItemRect(pane->item(i));
            const QRect needed = pane->fontMetrics().boundingRect(
                QRect(0, 0, shown.width(), 1 << 20), Qt::TextWordWrap, pane->item(i)->text());
            EXPECT_LE(shown.right(), pane->viewport()->width()) << scale << " " << i;
            EXPECT_GE(shown.height(), needed.height()) << scale << " " << i;
        }
    }

    auto menu = std::make_shared<CMenu>();
    for (const char* name : {"Sales templates", "Finance templates"}) {
        auto choice = std::make_shared<CChoice>();
        choice->Tuple(name, "/x");
        menu->add(choice);
    }
    frmMenu packages(toolkit, run.localConfiguration);
    packages.setMenu(menu);
    Render(packages);

    auto file = std::make_shared<CFile>();
    file->URL("/Templates/Sales Pitch.pot");
    file->myType(CFile::TypeNew);
    file->Size("81920");
    run.g_objMetrics.CompleteCatalogue()->Files().add(file);
    frmUpdate review(toolkit, run.g_objMetrics);
    Render(review);

    frmProcess progress(toolkit, run.g_objMetrics, run.localConfiguration, run.globalConfiguration,
                        {});
    progress.Load();
    progress.Timer1.SetEnabled(false);
    progress.lblStatus.SetCaption(ProgressText(3, 12, 81920, 409600, 2));
    Render(progress);

    SpecialProcessing special(run, "tamsel-updater");
    frmSilentUpdate notice(toolkit, run.g_objMetrics, run.localConfiguration, special);
    notice.Load();
    notice.Timer1.SetEnabled(false);
    run.g_objMetrics.Scream("which requires closing PowerPoint.");
    notice.cmdUpdate.SetCaption("&Continue");
    Render(notice);

    run.localConfiguration.putValue("username", "Demo User");
    Render(*std::make_unique<frmLogin>(toolkit, run));

    for (const char* version : {"11.0", "9.0"}) {
        run.registry->createKey(
            RegistryRoot::LocalMachine,
            std::string("Software\\Microsoft\\Office\\") + version + "\\PowerPoint");
    }
    frmOffice office(toolkit, run.localConfiguration, *run.registry);
    Render(office);
}

}  // namespace
}  // namespace tamsel
