#include "skinFixtures.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/controls/vorlenSkinForm.h"

#include <QCloseEvent>
#include <gtest/gtest.h>

namespace {

// The smallest window: it shows nothing the core announces and only records
// the close handling it adds.
class TtestForm : public TvorlenSkinForm {
public:
    void LoadSkinStyle(const QString &) override { }
    void SaveSkinStyle(const QString &) override { }
    void SaveSkinControls(const QString &) override { }
    void LoadSkinControls(const QString &) override { }

    QStringList *log = nullptr;
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        *log << QStringLiteral("FormClose");
        if (refuseClose) {
            event->ignore();
            return;
        }
        TvorlenSkinForm::closeEvent(event);
    }
};

const QColor kGrey(128, 128, 128);

} // namespace

TEST(VorlenPlayerForm, StartupAndClosedEvents)
{
    QStringList log;
    TtestForm form;
    form.log = &log;
    form.OnStartup = [&log] { log << QStringLiteral("OnStartup"); };
    form.OnClosed = [&log] { log << QStringLiteral("OnClosed"); };
    form.DoStartup();
    form.show();
    form.refuseClose = true;
    form.close();
    form.refuseClose = false;
    form.close();
    EXPECT_EQ(log,
        QStringList({ QStringLiteral("OnStartup"), QStringLiteral("FormClose"), QStringLiteral("FormClose"),
            QStringLiteral("OnClosed") }));
}

// A grey button colour is tinted again by a second tint: level 200 with
// grey 100 gives 188, twice 226. The scroll bar's buttons must be tinted
// once, by the bar.
TEST(VorlenSkinForm, ApplySkinColorsTintsEveryControlOnce)
{
    TtestForm form;
    const QColor level(200, 200, 200);
    const QColor buttonColor(100, 100, 100);
    const QColor panelColor(0, 50, 100);
    const QRect face(0, 0, 10, 10);

    auto *panel = new TvorlenPanel(&form);
    panel->SetBitmapTopLeft(SolidImage(4, 4, kGrey));
    auto *button = new TvorlenButton(panel);
    button->SetSkinBitmap(ButtonStrip(10, 10, { level, level }, face));
    auto *bar = new TvorlenScrollBar(&form);
    bar->SetUpButtonSkin(ButtonStrip(10, 10, { level, level }, face));
    auto *splitter = new TtransparentSplitter(panel);
    splitter->SetColor(kGrey);
    auto *multi = new TvorlenMultiButton(&form);
    QImage strip = SolidImage(40, 10, kGrey);
    strip.setPixelColor(30, 0, Qt::blue);
    multi->SetSkinBitmap(strip);

    form.ApplySkinColors(buttonColor, panelColor, false);

    EXPECT_EQ(panel->BitmapTopLeft().pixelColor(0, 0), panelColor);
    EXPECT_EQ(button->SkinBitmap().pixelColor(0, 0), QColor(188, 188, 188));
    EXPECT_EQ(bar->UpButtonSkin().pixelColor(0, 0), QColor(188, 188, 188));
    EXPECT_EQ(splitter->Color(), panelColor);
    EXPECT_EQ(multi->SkinBitmap().pixelColor(0, 0), buttonColor);
    EXPECT_EQ(multi->SkinBitmap().pixelColor(1, 0), panelColor);
}
