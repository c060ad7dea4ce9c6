#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

// Answers the modal dialogs a test opens, as a user would, in the order the
// test expects them: each step waits for the next modal window of its type
// and acts on it. Actions run from the event loop, not from inside the poll,
// so an action that opens another modal window (a button whose handler shows
// a message box) does not hold the driver up.
//
// A modal window that no step expects, or that stays open with no step
// acting on it, fails the test after a few seconds and is closed, so that a
// test never hangs; steps left over fail the test when the driver ends.
class TmodalDialogDriver {
public:
    TmodalDialogDriver()
    {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start();
    }
    ~TmodalDialogDriver() { EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " expected dialog(s) never opened"; }
    TmodalDialogDriver(const TmodalDialogDriver &) = delete;
    TmodalDialogDriver &operator=(const TmodalDialogDriver &) = delete;

    template <typename T> void Expect(std::function<void(T *)> act)
    {
        m_steps.push_back({ [](QWidget *w) { return dynamic_cast<T *>(w) != nullptr; },
            [act](QWidget *w) { act(dynamic_cast<T *>(w)); } });
    }

    // A message box: its text is noted and its default button pressed.
    void ExpectMessage(QStringList &texts)
    {
        Expect<QMessageBox>([&texts](QMessageBox *box) {
            texts << box->text();
            box->defaultButton()->click();
        });
    }

private:
    struct Step {
        std::function<bool(QWidget *)> matches;
        std::function<void(QWidget *)> act;
    };

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            m_stranger = nullptr;
            return;
        }
        if (!m_steps.empty() && m_steps.front().matches(modal) && modal != m_acting) {
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            m_acting = modal;
            QPointer<QWidget> target(modal);
            QTimer::singleShot(0, &m_poll, [this, step, target] {
                m_acting = nullptr;
                if (target)
                    step.act(target);
            });
            return;
        }
        if (modal == m_acting)
            return;
        if (modal != m_stranger) {
            m_stranger = modal;
            m_strangerSince.start();
        } else if (m_strangerSince.elapsed() > 3000) {
            ADD_FAILURE() << "unexpected modal window " << modal->metaObject()->className() << " \""
                          << modal->windowTitle().toStdString() << "\"";
            modal->close();
        }
    }

    QTimer m_poll;
    std::deque<Step> m_steps;
    QPointer<QWidget> m_acting;
    QPointer<QWidget> m_stranger;
    QElapsedTimer m_strangerSince;
};

// Presses the button of that object name in a window.
inline void PressButton(QWidget *window, const char *name)
{
    auto *button = window->findChild<QAbstractButton *>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}
