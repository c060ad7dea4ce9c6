#pragma once

#include "library/component.h"

#include <QDialog>
#include <QElapsedTimer>
#include <vector>

class QLabel;
class QProgressBar;
class Tmp3JukeBoxLists;

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

// While it lives, a library component's three progress events drive a
// progress window under the given title; the component's previous handlers
// still run, and come back when the hook ends (a window still open for
// work the hook began is closed then). It ends before the component does.
class TprogressHook {
public:
    TprogressHook(TfrmProgress &window, Tmp3JukeBoxLists &lists, const QString &title);
    ~TprogressHook();
    TprogressHook(const TprogressHook &) = delete;
    TprogressHook &operator=(const TprogressHook &) = delete;

private:
    TfrmProgress &m_window;
    Tmp3JukeBoxLists &m_lists;
    TlistProcessStartEvent m_previousStart;
    TlistProcessEvent m_previousProcess;
    TNotifyEvent m_previousFinished;
    // The step counts of the work this hook began and has not ended.
    std::vector<int> m_counts;
};
