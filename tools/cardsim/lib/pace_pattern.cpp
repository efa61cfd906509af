#include "cardsim/lib/pace_pattern.h"

namespace cardsim {

std::vector<uint8_t> pace_test_pattern(int64_t second) {
    const int kind = static_cast<int>(second % 12);
    std::vector<uint8_t> pulses;
    auto series = [&pulses](int first, int step, int count) {
        for (int i = 0; i < count; ++i)
            pulses.push_back(static_cast<uint8_t>(first + i * step));
    };
    switch (kind) {
        case 0:
            break;
        case 1:
            pulses = {120};
            break;
        case 8:
            series(0, 10, 8);
            break;
        case 9:
            series(5, 11, 12);
            break;
        case 10:
            series(3, 3, 39);
            break;
        case 11:
            pulses = {2, 5, 11, 20, 33, 47, 66, 90, 120};
            break;
        default:  // 2..7 pulses at uneven gaps
            for (int i = 0; i < kind; ++i)
                pulses.push_back(static_cast<uint8_t>(9 + 17 * i + (i * i) % 5));
            break;
    }
    return pulses;
}

}  // namespace cardsim
