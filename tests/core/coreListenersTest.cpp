#include "core/coreListeners.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A face that notes what it heard under its name, and may act on it.
class TnotingFace : public TcoreListener {
public:
    TnotingFace(QString name, QStringList &heard) : m_name(std::move(name)), m_heard(heard) { }

    void QueueChanged() override
    {
        m_heard << m_name;
        if (onQueueChanged)
            onQueueChanged();
    }
    void PositionJumped(qint64 positionMs) override { m_heard << m_name + QString::number(positionMs); }

    std::function<void()> onQueueChanged;

private:
    QString m_name;
    QStringList &m_heard;
};

} // namespace

TEST(CoreListeners, EveryFaceHearsInTheOrderItCameUntilItsSubscriptionEnds)
{
    QStringList heard;
    TcoreListeners listeners;
    TnotingFace window(QStringLiteral("window"), heard);
    TnotingFace media(QStringLiteral("media"), heard);
    TcoreSubscription windowSubscription = listeners.Subscribe(window);
    auto mediaSubscription = std::make_unique<TcoreSubscription>(listeners.Subscribe(media));

    listeners.Raise(&TcoreListener::QueueChanged);
    listeners.Raise(&TcoreListener::PositionJumped, qint64(5));
    EXPECT_EQ(heard, (QStringList{"window", "media", "window5", "media5"}));

    // A subscription ends with its owner; one moved on still holds.
    mediaSubscription.reset();
    TcoreSubscription moved = std::move(windowSubscription);
    EXPECT_FALSE(windowSubscription);
    EXPECT_TRUE(moved);
    heard.clear();
    listeners.Raise(&TcoreListener::QueueChanged);
    EXPECT_EQ(heard, QStringList{"window"});
    EXPECT_EQ(listeners.Count(), 1);
}

TEST(CoreListeners, FacesComingAndGoingDuringAnAnnouncement)
{
    QStringList heard;
    TcoreListeners listeners;
    TnotingFace first(QStringLiteral("first"), heard);
    TnotingFace second(QStringLiteral("second"), heard);
    TnotingFace late(QStringLiteral("late"), heard);
    const TcoreSubscription firstSubscription = listeners.Subscribe(first);
    TcoreSubscription secondSubscription = listeners.Subscribe(second);
    TcoreSubscription lateSubscription;
    // The first face, told of a change, closes the second (a dialog closed by
    // what the window shows) and opens another.
    first.onQueueChanged = [&] {
        secondSubscription.reset();
        if (!lateSubscription)
            lateSubscription = listeners.Subscribe(late);
    };

    listeners.Raise(&TcoreListener::QueueChanged);
    EXPECT_EQ(heard, QStringList{"first"}) << "the closed face is not called, the new one from the next time on";
    heard.clear();
    listeners.Raise(&TcoreListener::QueueChanged);
    EXPECT_EQ(heard, (QStringList{"first", "late"}));
    EXPECT_EQ(listeners.Count(), 2);
}

TEST(CoreListeners, ASubscriptionMayOutliveTheCore)
{
    QStringList heard;
    TnotingFace window(QStringLiteral("window"), heard);
    TcoreSubscription subscription;
    {
        TcoreListeners listeners;
        subscription = listeners.Subscribe(window);
        EXPECT_TRUE(subscription);
    }
    EXPECT_FALSE(subscription);
    subscription.reset();
    EXPECT_TRUE(heard.isEmpty());
}
