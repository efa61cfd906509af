#include "cardsim/lib/block_encoder.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "cardsim/lib/pace_list_writer.h"
#include "cardsim/lib/step_codes.h"

namespace cardsim {
namespace {

constexpr int kLevelBits = 5;  // the first sample's level is sent as two 5-bit halves
constexpr int kMaxLevel = 1023;

int level_of(int value) {
    return std::clamp((value - 1 + 2) / 4, 0, kMaxLevel);
}

uint16_t output_of(int level) {
    return static_cast<uint16_t>(std::clamp(level * 4 + 1, 1, 4095));
}

// Round-to-nearest division that is correct for negative numerators.
int nearest_quotient(int numerator, int denominator) {
    const int twice = 2 * numerator + denominator;
    const int den2 = 2 * denominator;
    return twice >= 0 ? twice / den2 : -((-twice + den2 - 1) / den2);
}

// Cost of a channel in bits, and the error against the measured samples weighed so that one
// bit buys a squared error of one level.
struct ChannelCost {
    int64_t bits = 0;
    int64_t squared_error = 0;
    int64_t total() const { return 16 * bits + squared_error; }
};

// Runs the decoder's level arithmetic over samples 1..127 for one nibble type, writing the codes
// and rebuilt samples when asked; stops early once the cost passes `bound`. The step factor is a
// template argument so that the division of the inner loop is by a constant.
template <bool kWrite, int kFactor>
ChannelCost run_channel(int nibble_type, const BlockChannel& target, int first_level, int64_t bound,
                        BitWriter* writer, BlockChannel* rebuilt) {
    const int range = step_range(nibble_type);
    const bool adaptive = nibble_type == kAdaptiveNibbleType;
    const std::array<const StepCode*, 3> base_codes{step_codes(0), step_codes(1), step_codes(2)};
    const StepCode* codes = adaptive ? nullptr : step_codes(nibble_type);
    ChannelCost cost;
    int level = first_level;
    int previous_magnitude = 0;
    for (size_t i = 1; i < kBlockSamples; ++i) {
        const int wanted = static_cast<int>(target[i]);
        const int step =
            std::clamp(nearest_quotient(wanted - 1 - 4 * level, 4 * kFactor), -range, range);
        const StepCode code =
            adaptive ? base_codes[static_cast<size_t>(adaptive_base_type(previous_magnitude))][step]
                     : codes[step];
        level += kFactor * step;
        // Types 0, 1 and 2 keep the magnitude for type 3; all of them step by 3.
        previous_magnitude = step < 0 ? -step : step;
        const uint16_t out = output_of(level);
        const int64_t error = wanted - out;
        cost.bits += code.width;
        cost.squared_error += error * error;
        if constexpr (kWrite) {
            writer->put(code.bits, code.width);
            (*rebuilt)[i] = out;
        } else if (cost.total() > bound) {
            return cost;
        }
    }
    return cost;
}

template <bool kWrite>
ChannelCost run_channel(int nibble_type, const BlockChannel& target, int first_level, int64_t bound,
                        BitWriter* writer, BlockChannel* rebuilt) {
    switch (step_factor(nibble_type)) {
        case 3:
            return run_channel<kWrite, 3>(nibble_type, target, first_level, bound, writer, rebuilt);
        case 5:
            return run_channel<kWrite, 5>(nibble_type, target, first_level, bound, writer, rebuilt);
        case 7:
            return run_channel<kWrite, 7>(nibble_type, target, first_level, bound, writer, rebuilt);
        case 11:
            return run_channel<kWrite, 11>(nibble_type, target, first_level, bound, writer,
                                           rebuilt);
        default:
            return run_channel<kWrite, 15>(nibble_type, target, first_level, bound, writer,
                                           rebuilt);
    }
}

}  // namespace

int BlockEncoder::choose_nibble_type(const BlockChannel& target, int first_level, int channel) {
    switch (m_policy.choice) {
        case NibblePolicy::Choice::fixed:
            return m_policy.fixed_type;
        case NibblePolicy::Choice::cycle:
            return static_cast<int>((m_blocks + static_cast<uint64_t>(channel)) % kNibbleTypes);
        case NibblePolicy::Choice::automatic:
            break;
    }
    // Types 0 to 3 share the step factor 3 and the range ±100: the decoder's levels, and so the
    // error, are the same for all four, and only the code lengths differ. One pass finds the
    // steps and the cheapest of them.
    std::array<int64_t, 4> bits{};
    int64_t squared_error = 0;
    int level = first_level;
    int previous_magnitude = 0;
    const std::array<const StepCode*, 3> codes{step_codes(0), step_codes(1), step_codes(2)};
    for (size_t i = 1; i < kBlockSamples; ++i) {
        const int wanted = static_cast<int>(target[i]);
        const int step = std::clamp(nearest_quotient(wanted - 1 - 4 * level, 12), -100, 100);
        for (size_t type = 0; type < 3; ++type)
            bits[type] += codes[type][step].width;
        bits[3] += codes[static_cast<size_t>(adaptive_base_type(previous_magnitude))][step].width;
        previous_magnitude = step < 0 ? -step : step;
        level += 3 * step;
        const int64_t error = wanted - output_of(level);
        squared_error += error * error;
    }
    int best = 0;
    for (int type = 1; type < 4; ++type)
        best = bits[static_cast<size_t>(type)] < bits[static_cast<size_t>(best)] ? type : best;
    ChannelCost best_cost{bits[static_cast<size_t>(best)], squared_error};

    // The coarse types 4..7 only pay off on signals that the fine ones code with long steps.
    constexpr int64_t kCoarseWorthTrying = 5 * (kBlockSamples - 1);
    if (best_cost.bits < kCoarseWorthTrying) return best;
    for (int type = 4; type < kNibbleTypes; ++type) {
        const ChannelCost cost =
            run_channel<false>(type, target, first_level, best_cost.total(), nullptr, nullptr);
        if (cost.total() < best_cost.total()) {
            best_cost = cost;
            best = type;
        }
    }
    return best;
}

void BlockEncoder::encode(const BlockInput& input, BitWriter& writer, BlockResult& result) {
    for (int ch = 0; ch < input.channels; ++ch) {
        if (!input.present[static_cast<size_t>(ch)]) put_channel_absent(ch, writer);
    }
    const int kept = put_pace_list(input.pulses, writer);
    result.pulses.assign(input.pulses.begin(), input.pulses.begin() + kept);

    for (int ch = 0; ch < input.channels; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        BlockChannel& rebuilt = result.samples[c];
        if (!input.present[c]) {
            rebuilt.fill(0);
            result.nibble_types[c] = -1;
            continue;
        }
        const BlockChannel& target = input.targets[c];
        const int first_level = level_of(target[0]);
        writer.put(static_cast<uint32_t>(first_level >> kLevelBits), kLevelBits);
        writer.put(static_cast<uint32_t>(first_level & ((1 << kLevelBits) - 1)), kLevelBits);
        rebuilt[0] = output_of(first_level);
        const int type = choose_nibble_type(target, first_level, ch);
        writer.put(static_cast<uint32_t>(type), 3);
        result.nibble_types[c] = type;
        run_channel<true>(type, target, first_level, 0, &writer, &rebuilt);
    }
    ++m_blocks;
}

}  // namespace cardsim
