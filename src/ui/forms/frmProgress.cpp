#include "ui/forms/frmProgress.h"

#include "core/dmMain.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QVBoxLayout>

TfrmProgress::TfrmProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_title(new QLabel(this))
    , m_step(new QLabel(this))
    , m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmProgress"));
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_step->setObjectName(QStringLiteral("lblStep"));
    // Room for the step before the first one is known: the window keeps its size.
    m_step->setMinimumHeight(m_step->fontMetrics().height());
    m_bar->setObjectName(QStringLiteral("pbProgress"));
    m_bar->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->addWidget(m_title);
    layout->addWidget(m_step);
    layout->addWidget(m_bar);
    setMinimumWidth(fontMetrics().averageCharWidth() * 52);
}

void TfrmProgress::Begin(const QString &title, int count)
{
    if (m_work.empty())
        m_sinceBegin.start();
    m_work.push_back({ title, qMax(count, 0) });
    showWork(m_work.back());
    m_sinceRepaint.invalidate();
}

void TfrmProgress::showWork(const Work &work)
{
    setWindowTitle(work.title);
    m_title->setText(work.title);
    m_step->clear();
    m_bar->setRange(0, work.count);
    m_bar->setValue(0);
}

bool TfrmProgress::StepDue(int index) const
{
    if (m_work.empty())
        return false;
    if (!isVisible())
        return m_sinceBegin.elapsed() >= kShowAfterMs;
    const int count = m_work.back().count;
    return (count > 0 && index + 1 >= count) || !m_sinceRepaint.isValid()
        || m_sinceRepaint.elapsed() >= kRepaintIntervalMs;
}

void TfrmProgress::Step(int index, const QString &text)
{
    if (!StepDue(index))
        return;
    m_step->setText(text);
    const int count = m_work.back().count;
    if (count > 0)
        m_bar->setValue(qBound(0, index + 1, count));
    if (!isVisible()) {
        adjustSize();
        show();
        raise();
    }
    repaintNow();
}

void TfrmProgress::End()
{
    if (m_work.empty())
        return;
    m_work.pop_back();
    if (m_work.empty()) {
        hide();
        return;
    }
    showWork(m_work.back());
    repaintNow();
}

void TfrmProgress::repaintNow()
{
    // A repaint, not an event loop: the window is painted now, and nothing
    // the user does reaches the jukebox in the middle of the work.
    repaint();
    m_sinceRepaint.start();
}

TprogressFollower::TprogressFollower(TfrmProgress &window, TdmMain &core)
    : m_window(window)
    , m_subscription(core.Subscribe(*this))
{
}

TprogressFollower::~TprogressFollower()
{
    for (; !m_counts.empty(); m_counts.pop_back())
        m_window.End();
}

bool TprogressFollower::Shows(TcoreTask task)
{
    return task == TcoreTask::LibraryLoad || task == TcoreTask::StackerPlaylist || task == TcoreTask::StackerCartridge;
}

void TprogressFollower::TaskStarted(TcoreTask task, const QString &title, int count)
{
    if (!Shows(task))
        return;
    m_counts.push_back(count);
    m_window.Begin(title, count);
}

void TprogressFollower::TaskProgress(TcoreTask task, int index)
{
    if (!Shows(task) || m_counts.empty() || !m_window.StepDue(index))
        return;
    const QLocale locale;
    m_window.Step(index, QStringLiteral("%1 of %2").arg(locale.toString(index + 1), locale.toString(m_counts.back())));
}

void TprogressFollower::TaskFinished(TcoreTask task)
{
    if (!Shows(task) || m_counts.empty())
        return;
    m_counts.pop_back();
    m_window.End();
}
