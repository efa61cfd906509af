// The patient events of a read, in whole seconds on the output's time axis: lines of
// patevent.dat for the file outputs, and the "Patient Events" list (a u32 count and at most 4096
// u32 times) that the memory-mapped output shares with the analysis application.
#pragma once

#include <cstdint>
#include <span>

#include "extract/output_file.h"

inline constexpr uint32_t kMaxListedEvents = 4096;
inline constexpr size_t kEventListSize = 4 + 4 * kMaxListedEvents;

class PatientEvents {
  public:
    // Either may be absent. The list starts with a count of 0.
    void set_file(OutputFile* file) { m_file = file; }
    void set_list(std::span<uint8_t, kEventListSize> list);

    // Only a list can be full.
    bool full() const;
    // Writes the event; false, writing nothing, when the list is full.
    bool add(int32_t seconds);

  private:
    OutputFile* m_file = nullptr;
    uint8_t* m_list = nullptr;
    // Kept here, not read back from memory the receiver could change.
    uint32_t m_count = 0;
};
