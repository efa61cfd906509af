// The sample codes of the compressed stream, seen from the writing side: for each of the eight
// nibble types, the bits that make the decoder take a given step. The table is built from the
// code forms (prefix fields, then one value field) rather than by inverting the decoder, so that
// an encoder and a decoder cannot share one misreading of the code.
#pragma once

#include <cstdint>

namespace cardsim {

inline constexpr int kNibbleTypes = 8;
inline constexpr int kAdaptiveNibbleType = 3;

// The bits of one step code, first bit in bit 0; width 0 when the type has no code for the step.
struct StepCode {
    uint32_t bits = 0;
    int width = 0;
};

// Level change per step unit: level += factor × step.
int step_factor(int nibble_type);
// Largest step magnitude the type can code.
int step_range(int nibble_type);
// Code of step d for nibble types 0, 1, 2, 4, 5, 6 and 7 (type 3 borrows 0, 1 or 2).
StepCode step_code(int nibble_type, int step);
// The codes of one type for the encoder's inner loop: entry [step] for steps within the range.
const StepCode* step_codes(int nibble_type);
// The type that the adaptive type 3 uses after a step of this magnitude.
inline int adaptive_base_type(int previous_magnitude) {
    if (previous_magnitude < 4) return 1;
    if (previous_magnitude >= 10 && previous_magnitude <= 37) return 0;
    return 2;
}

}  // namespace cardsim
