#include "support/named_event.h"

#include <gtest/gtest.h>

TEST(NamedEvent, StartsUnsignalledAndSeesASignalFromAnotherHandle) {
    const std::string name = "kado unit test event";
    auto event = NamedEvent::create_or_open(name);
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(event->is_signalled());
    EXPECT_TRUE(signal_named_event(name));
    EXPECT_TRUE(event->is_signalled());
    // A second opener shares the state instead of resetting it.
    auto again = NamedEvent::create_or_open(name);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->is_signalled());
}

TEST(NamedEvent, SignallingAMissingEventFails) {
    EXPECT_FALSE(signal_named_event("kado unit test no such event"));
}

TEST(NamedEvent, TheCreatorRemovesTheEventWhenItCloses) {
    const std::string name = "kado unit test closing";
    {
        auto event = NamedEvent::create_or_open(name);
        ASSERT_NE(event, nullptr);
        event->signal();
    }
    auto fresh = NamedEvent::create_or_open(name);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->is_signalled());
}
