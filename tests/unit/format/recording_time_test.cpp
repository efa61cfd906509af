#include "format/recording_time.h"

#include <gtest/gtest.h>

namespace {

RecordingTime at(uint8_t year, uint8_t month, uint8_t day, uint8_t hour = 0, uint8_t minute = 0,
                 uint8_t second = 0, uint8_t hundredths = 0) {
    return {year, month, day, hour, minute, second, hundredths};
}

}  // namespace

TEST(RecordingTime, ValidityFollowsTheCalendarOfTheTwoDigitYear) {
    for (const RecordingTime& t :
         {at(0, 2, 29), at(4, 2, 29), at(13, 2, 28), at(13, 4, 30), at(13, 1, 1, 23, 59, 59, 99)})
        EXPECT_TRUE(time_is_valid(t)) << time_display_text(t);
    for (const RecordingTime& t :
         {at(99, 2, 29), at(13, 2, 29), at(13, 4, 31), at(13, 12, 32), at(13, 0, 1), at(13, 13, 1),
          at(13, 1, 0), at(100, 1, 1), at(13, 1, 1, 24), at(13, 1, 1, 0, 60),
          at(13, 1, 1, 0, 0, 60), at(13, 1, 1, 0, 0, 0, 100)})
        EXPECT_FALSE(time_is_valid(t)) << time_display_text(t);
}

TEST(RecordingTime, ConvertsToSecondsSince2000) {
    // Expected values from Python: (datetime(...) - datetime(2000, 1, 1)).total_seconds().
    EXPECT_EQ(time_to_seconds(at(0, 1, 1)), 0);
    EXPECT_EQ(time_to_seconds(at(99, 12, 31, 23, 59, 59)), -1);
    EXPECT_EQ(time_to_seconds(at(99, 1, 1)), -31536000);
    EXPECT_EQ(time_to_seconds(at(0, 3, 1)), 5184000);
    EXPECT_EQ(time_to_seconds(at(13, 7, 15, 10, 15, 20)), 427198520);
    EXPECT_EQ(time_to_seconds(at(24, 2, 29, 12)), 762523200);
    EXPECT_EQ(time_to_seconds(at(98, 12, 31, 23, 59, 59)), 3124223999);
}

TEST(RecordingTime, HalfSecondsRoundAwayFromZero) {
    EXPECT_EQ(time_to_seconds(at(13, 7, 15, 10, 15, 20, 49)), 427198520);
    EXPECT_EQ(time_to_seconds(at(13, 7, 15, 10, 15, 20, 50)), 427198521);
    EXPECT_EQ(time_to_seconds(at(99, 12, 31, 23, 59, 58, 50)), -2);
    EXPECT_EQ(time_to_seconds(at(99, 12, 31, 23, 59, 59, 49)), -1);
    EXPECT_EQ(time_to_seconds(at(99, 12, 31, 23, 59, 59, 51)), 0);
}

// A second carries through the calendar, hundredths into the second.
TEST(RecordingTime, AddingCarriesThroughTheCalendar) {
    struct Row {
        RecordingTime from, to;
    };
    const Row rows[] = {
        {at(13, 7, 15, 10, 15, 20), at(13, 7, 15, 10, 15, 21)},
        {at(13, 7, 15, 10, 59, 59), at(13, 7, 15, 11, 0, 0)},
        {at(13, 4, 30, 23, 59, 59), at(13, 5, 1)},
        {at(13, 2, 28, 23, 59, 59), at(13, 3, 1)},
        {at(12, 2, 28, 23, 59, 59), at(12, 2, 29)},
        {at(13, 12, 31, 23, 59, 59), at(14, 1, 1)},
        {at(99, 12, 31, 23, 59, 59), at(0, 1, 1)},
    };
    for (const Row& row : rows) {
        RecordingTime t = row.from;
        time_add_second(t);
        EXPECT_EQ(t, row.to) << time_display_text(row.from);
    }
    RecordingTime t = at(13, 12, 31, 23, 59, 59, 60);
    time_add_hundredths(t, 50);
    EXPECT_EQ(t, at(14, 1, 1, 0, 0, 0, 10));
    time_add_hundredths(t, 23);
    EXPECT_EQ(t, at(14, 1, 1, 0, 0, 0, 33));
}
