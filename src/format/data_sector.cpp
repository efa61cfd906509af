#include "format/data_sector.h"

std::optional<UncompressedLayout> uncompressed_layout(uint8_t type_byte) {
    switch (type_byte) {
        case 0x01:
            return UncompressedLayout{2, 192, 2, false};
        case 0x04:
            return UncompressedLayout{2, 192, 2, true};
        case 0x02:
        case 0x30:
            return UncompressedLayout{3, 128, 4, false};
        case 0x05:
            return UncompressedLayout{3, 128, 4, true};
        default:
            return std::nullopt;
    }
}

bool has_patient_event(std::span<const uint8_t, kSectorSize> sector) {
    return (sector[kPatientEventOffset] & 0x01u) != 0;
}
