#include "extract/patient_events.h"

#include "support/byte_order.h"

void PatientEvents::set_list(std::span<uint8_t, kEventListSize> list) {
    m_list = list.data();
    put_u32le(m_list, 0);
}

bool PatientEvents::full() const {
    return m_list != nullptr && get_u32le(m_list) >= kMaxListedEvents;
}

bool PatientEvents::add(int32_t seconds) {
    // The list is shared memory: its count is read once and bounded before it indexes anything.
    const uint32_t count = m_list != nullptr ? get_u32le(m_list) : 0;
    if (m_list != nullptr && count >= kMaxListedEvents) return false;
    if (m_file != nullptr) m_file->put_line("%d\n", seconds);
    if (m_list != nullptr) {
        // The count is stored after the time, so a reader never sees an unwritten entry.
        put_u32le(m_list + 4 + 4 * static_cast<size_t>(count), static_cast<uint32_t>(seconds));
        put_u32le(m_list, count + 1);
    }
    return true;
}
