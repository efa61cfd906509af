#include "cardsim/lib/sector_sink.h"

#include "support/byte_order.h"

namespace cardsim {

void put_sector_header(SectorBytes& sector, uint8_t type, uint16_t recording_num) {
    sector[kTypeOffset] = type;
    put_u16le(&sector[kRecordingNumOffset], recording_num);
}

}  // namespace cardsim
