// A synthetic ambulatory ECG, deterministic from its seed: P, QRS and T waves on up to eight
// leads, a heart rate with respiratory and random variability, baseline wander, noise with
// episodes of motion artifacts, optional
// premature ventricular beats and a paced rhythm whose pacemaker spikes the recorder detects.
// Only the four basic operations enter the sample arithmetic, so one seed gives the same samples
// on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "cardsim/lib/signal_source.h"

namespace cardsim {

struct SynthSettings {
    uint64_t seed = 1;
    double heart_rate = 70;     // beats per minute
    double variability = 0.04;  // standard deviation of the beat interval, as a fraction
    double wander_mv = 0.15;    // baseline wander amplitude
    double noise_uv = 12;       // noise standard deviation
    double ectopic = 0;         // fraction of beats that are premature ventricular beats
    double pacing_rate = 0;     // paced rhythm at this rate; 0 for the heart's own rhythm
    bool dual_chamber = false;  // paced beats get an atrial spike too
    double amplitude = 1;       // scale of the whole ECG
    double artifacts = 0.02;    // share of the time with motion artifacts of 0.1 to 2 mV
};

class EcgSynth : public SignalSource {
  public:
    static constexpr int kMaxLeads = 8;

    // One to three leads are the Holter channels; eight leads are I, II, V1..V6.
    EcgSynth(const SynthSettings& settings, int leads, SampleScale scale);
    void next(std::span<int32_t> values, bool& pulse) override;

    enum class BeatKind { normal, ectopic, paced };
    struct Beat {
        double r_time = 0;  // seconds since the recording start
        BeatKind kind = BeatKind::normal;
    };

  private:
    uint64_t random();
    double uniform();
    double noise();
    double beat_interval();
    void append_beat();
    bool spike_at(const Beat& beat) const;

    SynthSettings m_settings;
    int m_leads;
    SampleScale m_scale;
    uint64_t m_state;
    int64_t m_sample = 0;
    // Four beats around the current time: two before it, two after it.
    std::array<Beat, 4> m_beats{};
    bool m_compensatory_pause = false;
    int m_artifact_seconds = 0;
    double m_artifact_uv = 0;
    // Baseline wander and respiration share one slowly rotating phasor.
    double m_phase_cos = 1;
    double m_phase_sin = 0;
};

}  // namespace cardsim
