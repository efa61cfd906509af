#include "extract/output_settings.h"

#include <cassert>

void OutputSettings::set_resolution_bits(int32_t bits) {
    assert(bits >= 8 && bits <= 12);
    resolution_bits = bits;
    resolution_shift = 12 - bits;
    resolution_rounding = bits == 12 ? 0 : 1 << (11 - bits);
    resolution_mask = ~((1u << resolution_shift) - 1u);
}
