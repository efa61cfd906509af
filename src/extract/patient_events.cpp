#include "extract/patient_events.h"

#include "support/byte_order.h"
#include "support/shared_word.h"

void PatientEvents::set_list(std::span<uint8_t, kEventListSize> list) {
    m_list = list.data();
    m_count = 0;
    store_u32le_release(m_list, 0);
}

bool PatientEvents::full() const {
    return m_list != nullptr && m_count >= kMaxListedEvents;
}

bool PatientEvents::add(int32_t seconds) {
    if (full()) return false;
    if (m_file != nullptr) m_file->put_line("%d\n", seconds);
    if (m_list != nullptr) {
        // The whole count is stored after the time, so a reader never sees an unwritten entry.
        put_u32le(m_list + 4 + 4 * static_cast<size_t>(m_count), static_cast<uint32_t>(seconds));
        store_u32le_release(m_list, ++m_count);
    }
    return true;
}
