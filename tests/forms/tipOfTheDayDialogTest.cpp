#include "playlistFormsFixture.h"

#include "core/tipOfTheDay.h"
#include "ui/forms/frmTipOfTheDay.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>

namespace {

// The tip dialog over a tip component of its own (tips() and settings), and
// over the core's (the core's settings and the program's starts).
struct TipOfTheDay : PlaylistForms {
    TTipDialog &tips() { return m_tips; }

    // The core shows the tip dialog itself, over no window.
    void installDialog()
    {
        run->ui.tipDialog = [](TtipDialogState &state) { return RunTipDialog(state, nullptr); };
    }

    // Shows the dialog (the core's when asked, else tips()), doing in it what
    // act does, and returns the tip texts the dialog showed (first on
    // opening).
    QStringList execute(const std::function<void(TTipDialogForm *)> &act, bool core = false)
    {
        QStringList shown;
        installDialog();
        InstallTipDialog(tips(), nullptr);
        WhenModal<TTipDialogForm>([&](TTipDialogForm *dialog) {
            shown << text(dialog);
            act(dialog);
            shown << text(dialog);
            Click(button(dialog, "Button2"));
        });
        if (core)
            this->core->ShowTips();
        else
            EXPECT_TRUE(tips().Execute());
        return shown;
    }

    static QString text(TTipDialogForm *dialog)
    {
        return dialog->findChild<QLabel *>(QStringLiteral("Label3"))->text();
    }
    static QPushButton *button(TTipDialogForm *dialog, const char *name)
    {
        return dialog->findChild<QPushButton *>(QLatin1StringView(name));
    }

    TcoreSettings settings;

private:
    TTipDialog m_tips { settings };
};

void nothing(TTipDialogForm *)
{
}

} // namespace

TEST_F(TipOfTheDay, NextTipAfterTheLastTipShowsTheFirst)
{
    const QStringList all = JukeboxTips();
    ASSERT_EQ(all.size(), 12);
    tips().SetTipNo(11);
    const QStringList shown = execute([](TTipDialogForm *dialog) {
        EXPECT_TRUE(button(dialog, "Button1")->isEnabled());
        Click(button(dialog, "Button1"));
    });
    EXPECT_EQ(shown, (QStringList{all[11], all[0]}));
    EXPECT_EQ(tips().TipNo(), 0);
    EXPECT_EQ(settings.TipNo, 0);

    // Showing does not move on: the next start shows the tip last seen.
    execute(nothing);
    EXPECT_EQ(tips().TipNo(), 0);
}

TEST_F(TipOfTheDay, ANumberBeyondTheListShowsAndKeepsTheFirstTip)
{
    tips().SetTipNo(40);
    EXPECT_EQ(execute(nothing), (QStringList{JukeboxTips()[0], JukeboxTips()[0]}));
    EXPECT_EQ(tips().TipNo(), 0);

    tips().SetTipNo(-3);
    EXPECT_EQ(execute(nothing).front(), JukeboxTips()[0]);
    EXPECT_EQ(tips().TipNo(), 0);
}

TEST_F(TipOfTheDay, WithoutTipsTheDialogSaysSoAndCannotMoveOn)
{
    tips().SetTips({});
    tips().SetTipNo(3);
    const QStringList shown = execute([](TTipDialogForm *dialog) {
        EXPECT_FALSE(button(dialog, "Button1")->isEnabled());
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Tip of the Day"));
        EXPECT_EQ(dialog->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("Did you know..."));
    });
    EXPECT_EQ(shown, (QStringList{"No Tips Available!", "No Tips Available!"}));
    EXPECT_EQ(tips().TipNo(), 0);
    EXPECT_TRUE(tips().Tips().isEmpty()) << "the component's own list is left alone";

    tips().SetTips({QStringLiteral("Only one")});
    execute([](TTipDialogForm *dialog) { EXPECT_FALSE(button(dialog, "Button1")->isEnabled()); });
    tips().SetTips({QStringLiteral("One"), QStringLiteral("Two")});
    tips().SetTipNo(0);
    execute([](TTipDialogForm *dialog) {
        EXPECT_TRUE(button(dialog, "Button1")->isEnabled());
        Click(button(dialog, "Button1"));
    });
    EXPECT_EQ(tips().TipNo(), 1);
}

TEST_F(TipOfTheDay, ClearingDisplayTipsOnStartupKeepsTheDialogAwayAtTheNextStart)
{
    ASSERT_TRUE(core->tdMain().ShowAtStart());
    EXPECT_EQ(run->ui.windows, std::vector<TcoreWindow> { TcoreWindow::TipOfTheDay }) << "shown at the first start";

    // The check box is read however the dialog closes: by Close here, by
    // Escape below.
    execute(
        [](TTipDialogForm *dialog) {
            auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("CheckBox"));
            EXPECT_TRUE(box->isChecked());
            Click(box);
            Click(button(dialog, "Button1"));
            Click(button(dialog, "Button1"));
        },
        true);
    EXPECT_FALSE(core->tdMain().ShowAtStart());
    EXPECT_EQ(core->tdMain().TipNo(), 2);

    core->SaveSettings();
    run->ui.windows.clear();
    start();
    EXPECT_FALSE(core->tdMain().ShowAtStart());
    EXPECT_EQ(core->tdMain().TipNo(), 2);
    EXPECT_TRUE(run->ui.windows.empty()) << "no tip at this start";

    // Asked for, it still comes, with the box cleared; ticking it brings the
    // dialog back at the next start.
    installDialog();
    WhenModal<TTipDialogForm>([](TTipDialogForm *dialog) {
        auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("CheckBox"));
        EXPECT_FALSE(box->isChecked());
        box->setChecked(true);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    core->ShowTips();
    core->SaveSettings();
    start();
    EXPECT_EQ(run->ui.windows, std::vector<TcoreWindow> { TcoreWindow::TipOfTheDay });
}
