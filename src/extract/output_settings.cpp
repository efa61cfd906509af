#include "extract/output_settings.h"

void OutputSettings::set_resolution_bits(int32_t bits) {
    resolution_bits = bits;
    resolution_shift = 12 - bits;
    resolution_rounding = bits == 12 ? 0 : 1 << (11 - bits);
    resolution_mask = ~((1u << resolution_shift) - 1u);
}
