#include "extract/patient_events.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/byte_order.h"

// The list lives in memory the receiver shares: whatever it writes into the count, the events
// go on at our own count, and the count never runs ahead of its entry.
TEST(PatientEventList, KeepsItsOwnCountWhateverTheReceiverWrites) {
    std::vector<uint8_t> list(kEventListSize, 0xEE);
    PatientEvents events;
    events.set_list(std::span<uint8_t, kEventListSize>(list.data(), list.size()));
    EXPECT_EQ(get_u32le(list.data()), 0u);
    ASSERT_TRUE(events.add(5));
    put_u32le(list.data(), kMaxListedEvents);
    ASSERT_TRUE(events.add(6));
    EXPECT_EQ(get_u32le(list.data()), 2u);
    EXPECT_EQ(get_u32le(&list[4]), 5u);
    EXPECT_EQ(get_u32le(&list[8]), 6u);
}
