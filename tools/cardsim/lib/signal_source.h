// Where the simulated recorder's samples come from: a synthetic ECG or a file of raw samples.
// Values come in the unit of the recording: 12-bit (0..4095, 410 per millivolt around 2048) for
// the 1- to 3-channel formats, signed 16-bit (1638 per millivolt) for the 12-lead formats.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace cardsim {

enum class SampleScale { twelve_bit, signed16 };

class SignalSource {
  public:
    virtual ~SignalSource() = default;
    // The next time point at 128 per second: one value per lead, and whether the recorder
    // detected a pacemaker pulse at it.
    virtual void next(std::span<int32_t> values, bool& pulse) = 0;
};

// Raw little-endian signed 16-bit samples at 128 per second, one file per lead, read from the
// start again when a file runs out. 12-bit recordings take the top 12 bits of the offset value.
class SampleFileSource : public SignalSource {
  public:
    // Empty when a file cannot be read or holds no sample.
    static std::unique_ptr<SampleFileSource> open(const std::vector<std::string>& paths,
                                                  SampleScale scale);
    void next(std::span<int32_t> values, bool& pulse) override;

  private:
    SampleFileSource(std::vector<std::vector<int16_t>> leads, SampleScale scale)
        : m_leads(std::move(leads)), m_scale(scale) {}

    std::vector<std::vector<int16_t>> m_leads;
    SampleScale m_scale;
    size_t m_index = 0;
};

}  // namespace cardsim
