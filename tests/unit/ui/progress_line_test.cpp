// The Linux program's progress line: what a terminal shows while a card is conditioned or read.
#if !defined(_WIN32)

#include "ui/console/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ProgressLine, RedrawsInPlaceOnEachNewPercentageAndEndsItsLineOnce) {
    std::ostringstream out;
    {
        ProgressLine line(out, "Wait");
        // A card's sector count: beyond 16 bits, as conditioning reports it.
        line.set_range(0, 100000);
        line.set_position(70000);
        line.set_position(70001);  // still 70%: nothing drawn
        line.set_position(250000);
        line.close();
    }
    EXPECT_EQ(out.str(),
              "\rWait [------------------------------] 0%"
              "\rWait [#####################---------] 70%"
              "\rWait [##############################] 100%\n");
}

#endif
