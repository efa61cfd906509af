#include "format/sector_types.h"

#include "support/byte_order.h"

SectorType sector_type_of(uint8_t type_byte) {
    using enum SectorKind;
    using V = ChecksumVariant;
    switch (type_byte) {
        case 0x81:
            return {start, V::a};
        case 0x82:
        case 0x83:
            return {start, V::b};
        case 0x01:
        case 0x02:
            return {packed, V::a};
        case 0x30:
            return {packed, V::b};
        case 0x04:
        case 0x05:
            return {delta, V::b};
        case 0x21:
        case 0x22:
        case 0x23:
            return {compressed, V::none};
        case 0x40:
            return {twelve_lead, V::b};
        case 0x41:
            return {twelve_lead_aux, V::b};
        case 0x20:
        case 0x31:
        case 0x42:
            return {event, V::none};
        default:
            return {end, V::none};
    }
}

uint16_t sector_recording_num(std::span<const uint8_t, kSectorSize> sector) {
    return get_u16le(sector.data() + kSectorRecordingNumOffset);
}

uint16_t sector_decompression_index(std::span<const uint8_t, kSectorSize> sector) {
    return get_u16le(sector.data() + kSectorCrcOffset);
}

int channels_of_format(uint8_t format) {
    switch (recording_format_of(format)) {
        case 33:
            return 1;
        case 1:
        case 4:
        case 34:
            return 2;
        case 2:
        case 5:
        case 35:
        case 48:
            return 3;
        case 64:
        case 65:
            return 12;
        default:
            return 0;
    }
}

bool is_event_table_format(uint8_t format) {
    switch (recording_format_of(format)) {
        case 33:
        case 34:
        case 35:
        case 48:
        case 64:
        case 65:
            return true;
        default:
            return false;
    }
}
