// What the read benchmarks share: the median of several runs (the machine is shared, and one slow
// or one lucky run should not decide a figure) and their input, a simulator card.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cardsim/lib/card_writer.h"

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A 24-hour three-channel compressed recording, so that the decoder meets a realistic signal;
// false (and says why) when it cannot be written.
inline bool write_day_card(const std::string& folder, cardsim::RecordingResult& result) {
    cardsim::RecordingSpec description;
    description.format = 35;
    description.segments = {cardsim::Segment{24 * 3600, 0}};
    std::string error;
    if (cardsim::write_card(description, folder, "", result, error)) return true;
    std::printf("the card cannot be written: %s\n", error.c_str());
    return false;
}
