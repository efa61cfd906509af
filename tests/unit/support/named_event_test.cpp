#include "support/named_event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/shared_objects.h"

// The creator going first must not split the event: the holder left and every later opener share
// one event, signalled or not, and once nobody holds it, it starts again unsignalled.
TEST(NamedEvent, LivesWhileAnyoneHoldsIt) {
    PrivateSharedObjects objects;
    const std::string name = "kado unit test lifetime";
    auto creator = NamedEvent::create_or_open(name);
    auto holder = NamedEvent::create_or_open(name);
    ASSERT_TRUE(creator && holder);
    EXPECT_FALSE(holder->is_signalled());
    creator.reset();
    EXPECT_TRUE(signal_named_event(name));
    EXPECT_TRUE(holder->is_signalled());
    auto opener = NamedEvent::create_or_open(name);
    ASSERT_NE(opener, nullptr);
    EXPECT_TRUE(opener->is_signalled());
    holder.reset();
    opener.reset();
    EXPECT_FALSE(signal_named_event(name));
    auto fresh = NamedEvent::create_or_open(name);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->is_signalled());
}

// Openers that come and go at once: none may take the event for one nobody holds and reset it
// while another holds it signalled.
TEST(NamedEvent, ConcurrentOpenersNeverResetAnEventSomebodyHolds) {
    PrivateSharedObjects objects;
    const std::string name = "kado unit test crowd";
    std::atomic<int> lost_signals{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                auto event = NamedEvent::create_or_open(name);
                if (event) {
                    event->signal();
                    signal_named_event(name);
                }
                if (!event || !event->is_signalled()) ++lost_signals;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(lost_signals, 0);
}

#if !defined(_WIN32)
// A read killed while its event was signalled leaves the object behind; nobody holds it.
TEST(NamedEvent, AStaleSignalledEventIsNoEventAndIsMadeAfresh) {
    PrivateSharedObjects objects;
    const std::string name = "KADO TERMINATOR";
    write_bytes(objects.file(name), {1});
    EXPECT_FALSE(signal_named_event(name));
    EXPECT_FALSE(std::filesystem::exists(objects.file(name)));
    write_bytes(objects.file(name), {1});
    auto event = NamedEvent::create_or_open(name);
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(event->is_signalled());
    EXPECT_TRUE(signal_named_event(name));
    EXPECT_TRUE(event->is_signalled());
    event.reset();
    EXPECT_FALSE(std::filesystem::exists(objects.file(name)));
}
#endif
