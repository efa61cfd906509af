// What a correct reader must recover from a simulated card, written beside it: per channel the
// 16-bit sample words on the recording's own time axis (before any calibration preamble, skip or
// duration limit), the patient events in seconds from the recording start, and the other.dat of
// a read without skip that runs to the end of the recording. The layout is
// documented in the tool's --help; this file is its one writer.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace cardsim {

inline constexpr uint16_t kPaceBit = 0x1000;
inline constexpr uint16_t kPacingWindowBit = 0x8000;
inline constexpr uint16_t kNoDataWord = 0;
inline constexpr uint16_t kTwelveLeadNoData = 0x8000;

// The pacing-window bits of consecutive time points: a pulse sets the pace bit and opens a window
// over itself and the next 22 time points. A new segment closes any open window.
class PacingWindow {
  public:
    uint16_t marks(bool pulse) {
        if (pulse) m_remaining = kWindow;
        uint16_t bits = pulse ? kPaceBit : 0;
        if (m_remaining > 0) {
            bits |= kPacingWindowBit;
            --m_remaining;
        }
        return bits;
    }
    void close() { m_remaining = 0; }

  private:
    static constexpr int kWindow = 23;
    int m_remaining = 0;
};

class IntendedOutput {
  public:
    // channel1.dat.. for 1 to 3 channels; lead1.dat..lead8.dat and pace.dat for 12 leads. Empty
    // when a file cannot be created.
    static std::unique_ptr<IntendedOutput> create(const std::string& folder, int channels);

    // Appends sample words of one channel (0-based).
    void put_words(int channel, std::span<const uint16_t> words);
    // Appends `count` no-data words to every channel: a pause between segments.
    void put_gap(int64_t count);
    // 12-lead only: a detected pulse at this time point.
    void put_pace_index(uint32_t index);
    // other.dat: what a read keeps of this plain (unsealed) sector, appended in recording order.
    // Returns where it went, so that an event sector filled in later can be rewritten there.
    uint64_t put_other(std::span<const uint8_t> sector);
    void rewrite_other(uint64_t offset, std::span<const uint8_t> sector);
    // Patient events, in seconds from the recording start, one per line.
    bool write_events(const std::vector<double>& seconds);
    // Flushes and closes; false when a write failed.
    bool close();

  private:
    IntendedOutput(std::string folder, int channels)
        : m_folder(std::move(folder)), m_channels(channels) {}

    std::string m_folder;
    int m_channels;
    std::vector<std::unique_ptr<std::ofstream>> m_files;
    std::unique_ptr<std::ofstream> m_pace;
    std::unique_ptr<std::ofstream> m_other;
    uint64_t m_other_size = 0;
    std::vector<char> m_bytes;
};

}  // namespace cardsim
