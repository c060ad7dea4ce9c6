#pragma once

#include "core/coreListeners.h"

#include <QDialog>
#include <QElapsedTimer>
#include <vector>

class QLabel;
class QProgressBar;
class TdmMain;

// The progress window: shown while the jukebox does long work that has no
// other window to show it (loading a large library, scanning a new CD,
// adding a playlist): a title, the step and a bar. Work that is over within
// a quarter of a second shows nothing: the window appears at the first step
// after that.
//
// It never runs an event loop of its own: a step repaints it at once (at
// most every few hundredths of a second), so that the work that drives it
// goes on at full speed and nothing else runs in between. The sound plays on
// its own thread and does not wait for it. GUI thread only.
class TfrmProgress : public QDialog {
public:
    explicit TfrmProgress(QWidget *parent = nullptr);

    // Shows the window for work of count steps (0 or less: of unknown
    // length). Work may nest (a rebuild inside a load): its End shows the
    // outer work again, and the window closes at the End of the outermost.
    void Begin(const QString &title, int count);
    // Step index (0-based) is under way; text says which.
    void Step(int index, const QString &text);
    // Whether Step(index) would show anything now. Steps come far more often
    // than the window repaints: a caller whose step text costs something
    // asks first.
    bool StepDue(int index) const;
    void End();

    bool Busy() const { return !m_work.empty(); }

private:
    struct Work {
        QString title;
        int count;
    };

    void showWork(const Work &work);
    void repaintNow();
    static constexpr qint64 kShowAfterMs = 250;
    static constexpr qint64 kRepaintIntervalMs = 40;

    QLabel *m_title;
    QLabel *m_step;
    QProgressBar *m_bar;
    QElapsedTimer m_sinceBegin;
    QElapsedTimer m_sinceRepaint;
    std::vector<Work> m_work;
};

// While it lives, the core's long work that has no window of its own to
// show it (loading the library at start-up, importing a playlist or a
// cartridge into the stacker) drives the progress window under the title the
// core gives it. Work still open when it ends is closed then.
class TprogressFollower : private TcoreListener {
public:
    TprogressFollower(TfrmProgress &window, TdmMain &core);
    ~TprogressFollower() override;
    TprogressFollower(const TprogressFollower &) = delete;
    TprogressFollower &operator=(const TprogressFollower &) = delete;

    // The kinds of work it shows.
    static bool Shows(TcoreTask task);

private:
    void TaskStarted(TcoreTask task, const QString &title, int count) override;
    void TaskProgress(TcoreTask task, int index) override;
    void TaskFinished(TcoreTask task) override;

    TfrmProgress &m_window;
    TcoreSubscription m_subscription;
    // The step counts of the work begun and not ended.
    std::vector<int> m_counts;
};
