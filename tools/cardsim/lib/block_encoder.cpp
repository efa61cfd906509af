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
// and rebuilt samples when asked; stops early once the cost passes `bound`.
template <bool kWrite>
ChannelCost run_channel(int nibble_type, const BlockChannel& target, int first_level, int64_t bound,
                        BitWriter* writer, BlockChannel* rebuilt) {
    ChannelCost cost;
    int level = first_level;
    int previous_magnitude = 0;
    for (int i = 1; i < kBlockSamples; ++i) {
        const int type = nibble_type == kAdaptiveNibbleType ? adaptive_base_type(previous_magnitude)
                                                            : nibble_type;
        const int factor = step_factor(type);
        const int range = step_range(type);
        const int wanted = static_cast<int>(target[static_cast<size_t>(i)]);
        const int step =
            std::clamp(nearest_quotient(wanted - 1 - 4 * level, 4 * factor), -range, range);
        const StepCode code = step_code(type, step);
        level += factor * step;
        if (type <= 2) previous_magnitude = step < 0 ? -step : step;
        const uint16_t out = output_of(level);
        const int64_t error = wanted - out;
        cost.bits += code.width;
        cost.squared_error += error * error;
        if constexpr (kWrite) {
            writer->put(code.bits, code.width);
            (*rebuilt)[static_cast<size_t>(i)] = out;
        } else if (cost.total() > bound) {
            return cost;
        }
    }
    return cost;
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
    // The types most often best come first so that the bound cuts the others short.
    static constexpr std::array<int, kNibbleTypes> kOrder{1, 3, 0, 2, 4, 5, 6, 7};
    int best = kOrder[0];
    int64_t best_cost = std::numeric_limits<int64_t>::max();
    for (int type : kOrder) {
        const ChannelCost cost =
            run_channel<false>(type, target, first_level, best_cost, nullptr, nullptr);
        if (cost.total() < best_cost) {
            best_cost = cost.total();
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
