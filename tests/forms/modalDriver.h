#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// Acts on the next modal window of type T once it is the active modal
// window, from the event loop that the modal window runs: a test starts it
// before the call that opens the window. A window that does not come within
// ten seconds fails the test, and whatever modal window is open then is
// closed so the test does not hang.
template <typename T> void WhenModal(std::function<void(T *)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, action, deadline] {
        if (auto *window = dynamic_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(window);
        } else if (deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "the expected modal window did not open";
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
        }
    });
    poll->start();
}

// While it lives, a modal window that opens is a failure: it is reported and
// closed, so that a test expecting none does not hang in its loop.
class TnoModalExpected {
public:
    TnoModalExpected()
    {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [] {
            if (QWidget *window = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "unexpected modal window: " << window->windowTitle().toStdString();
                window->close();
            }
        });
        m_poll.start();
    }

private:
    QTimer m_poll;
};

// Closes a modal window that is still open after timeoutMs, failing the
// test: a window that never closes by itself would hang it.
class TmodalWatchdog {
public:
    TmodalWatchdog(QWidget *window, int timeoutMs)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [window] {
            ADD_FAILURE() << "the window did not close by itself";
            // Past the window's own refusal to close.
            if (auto *dialog = qobject_cast<QDialog *>(window))
                dialog->QDialog::done(QDialog::Rejected);
            else
                window->hide();
        });
        m_timer.start(timeoutMs);
    }

private:
    QTimer m_timer;
};
