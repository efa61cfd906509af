#include "cardsim/lib/ecg_synth.h"

#include <algorithm>
#include <cmath>

namespace cardsim {
namespace {

constexpr double kSampleRate = 128;
constexpr double kTwelveBitPerMv = 410;
constexpr double kSigned16PerMv = 1638;
constexpr double kSqrt6 = 2.449489742783178;
constexpr double kPi = 3.141592653589793;
constexpr double kWanderHz = 0.23;
constexpr double kSpikeMv = 2.5;
constexpr int kArtifactSeconds = 10;

// A smooth bump of half-width 1: (1 − u²)³.
double bump(double u) {
    if (u <= -1 || u >= 1) return 0;
    const double v = 1 - u * u;
    return v * v * v;
}

enum Wave { kP, kQ, kR, kS, kT, kWaves };

struct WaveShape {
    double centre;  // seconds from the R peak
    double width;   // half-width in seconds
    double mv;
};

using Morphology = std::array<WaveShape, kWaves>;

constexpr Morphology kNormal{{{-0.20, 0.05, 0.15},
                              {-0.03, 0.015, -0.12},
                              {0, 0.022, 1.1},
                              {0.03, 0.015, -0.25},
                              {0.30, 0.11, 0.30}}};
constexpr Morphology kWide{{{-0.20, 0.05, 0},
                            {-0.05, 0.03, -0.1},
                            {0, 0.06, 1.4},
                            {0.07, 0.05, -0.5},
                            {0.36, 0.13, -0.35}}};

// Lead gains for the P wave, the QRS complex and the T wave.
struct LeadGain {
    double p, qrs, t;
};
constexpr std::array<LeadGain, 3> kHolterLeads{{{1, 1, 1}, {0.6, -0.5, -0.3}, {0.7, 1.3, 1.2}}};
constexpr std::array<LeadGain, 8> kTwelveLeads{{{0.6, 0.7, 0.6},
                                                {1, 1, 1},
                                                {0.5, -0.6, -0.2},
                                                {0.6, -0.3, 0.6},
                                                {0.7, 0.5, 1.0},
                                                {0.7, 1.4, 1.2},
                                                {0.7, 1.3, 1.1},
                                                {0.6, 1.0, 0.9}}};
// Baseline wander of each lead mixes the phasor's two components.
constexpr std::array<double, 8> kWanderMix{1, 0.3, -0.7, 0.5, -0.2, 0.9, -0.4, 0.6};

double gain_of(const LeadGain& gain, int wave) {
    if (wave == kP) return gain.p;
    if (wave == kT) return gain.t;
    return gain.qrs;
}

int64_t sample_of(double seconds) {
    return static_cast<int64_t>(std::floor(seconds * kSampleRate + 0.5));
}

}  // namespace

EcgSynth::EcgSynth(const SynthSettings& settings, int leads, SampleScale scale)
    : m_settings(settings),
      m_leads(std::clamp(leads, 1, kMaxLeads)),
      m_scale(scale),
      m_state(settings.seed) {
    // The first beats lie before and just after the start so every wave is complete.
    m_beats[3].r_time = -2 * 60 / std::max(settings.heart_rate, 20.0);
    m_beats[3].kind = settings.pacing_rate > 0 ? BeatKind::paced : BeatKind::normal;
    for (int i = 0; i < 3; ++i)
        append_beat();
    while (m_beats[2].r_time <= 0)
        append_beat();
}

uint64_t EcgSynth::random() {
    // splitmix64
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double EcgSynth::uniform() {
    return static_cast<double>(random() >> 11) * (1.0 / 9007199254740992.0);
}

// Zero mean, unit variance: a triangular sum of two uniforms, the two halves of one draw.
double EcgSynth::noise() {
    const uint64_t r = random();
    constexpr double kUnit = 1.0 / 4294967296.0;
    return (static_cast<double>(r >> 32) * kUnit + static_cast<double>(r & 0xFFFFFFFFu) * kUnit -
            1) *
           kSqrt6;
}

double EcgSynth::beat_interval() {
    if (m_settings.pacing_rate > 0) return 60 / m_settings.pacing_rate;
    const double mean = 60 / std::max(m_settings.heart_rate, 20.0);
    const double breathing = 0.5 * m_settings.variability * m_phase_sin;
    return std::max(0.3, mean * (1 + breathing + m_settings.variability * noise()));
}

void EcgSynth::append_beat() {
    const Beat last = m_beats[3];
    std::rotate(m_beats.begin(), m_beats.begin() + 1, m_beats.end());
    double interval = beat_interval();
    Beat beat{last.r_time + interval, BeatKind::normal};
    if (m_settings.pacing_rate > 0) {
        beat.kind = BeatKind::paced;
    } else if (m_compensatory_pause) {
        beat.r_time = last.r_time + 1.4 * interval;
        m_compensatory_pause = false;
    } else if (m_settings.ectopic > 0 && uniform() < m_settings.ectopic) {
        beat.r_time = last.r_time + std::max(0.25, 0.6 * interval);
        beat.kind = BeatKind::ectopic;
        m_compensatory_pause = true;
    }
    m_beats[3] = beat;
}

bool EcgSynth::spike_at(const Beat& beat) const {
    if (beat.kind != BeatKind::paced) return false;
    if (sample_of(beat.r_time - 0.04) == m_sample) return true;
    return m_settings.dual_chamber && sample_of(beat.r_time - 0.20) == m_sample;
}

void EcgSynth::next(std::span<int32_t> values, bool& pulse) {
    const double t = static_cast<double>(m_sample) / kSampleRate;
    while (t >= m_beats[2].r_time)
        append_beat();

    std::array<double, kMaxLeads> mv{};
    pulse = false;
    for (const Beat& beat : m_beats) {
        if (spike_at(beat)) pulse = true;
        // No wave reaches further than this from its R peak.
        if (t - beat.r_time > 0.5 || beat.r_time - t > 0.26) continue;
        const bool wide = beat.kind != BeatKind::normal;
        const Morphology& shape = wide ? kWide : kNormal;
        const bool atrial = beat.kind == BeatKind::normal ||
                            (beat.kind == BeatKind::paced && m_settings.dual_chamber);
        for (int wave = 0; wave < kWaves; ++wave) {
            if (wave == kP && !atrial) continue;
            const WaveShape& w = shape[static_cast<size_t>(wave)];
            const double level = w.mv * bump((t - beat.r_time - w.centre) * (1 / w.width));
            if (level == 0) continue;
            for (int lead = 0; lead < m_leads; ++lead) {
                const LeadGain& gain = m_leads > 3 ? kTwelveLeads[static_cast<size_t>(lead)]
                                                   : kHolterLeads[static_cast<size_t>(lead)];
                mv[static_cast<size_t>(lead)] += level * gain_of(gain, wave);
            }
        }
    }

    if (m_sample % 128 == 0) {
        // Artifact episodes of 10 s start at random seconds.
        if (m_artifact_seconds > 0) {
            --m_artifact_seconds;
        } else if (uniform() < m_settings.artifacts / kArtifactSeconds) {
            m_artifact_seconds = kArtifactSeconds;
            m_artifact_uv = 100 + 1900 * uniform();
        }
    }
    const double noise_mv =
        (m_settings.noise_uv + (m_artifact_seconds > 0 ? m_artifact_uv : 0)) / 1000;
    for (int lead = 0; lead < m_leads; ++lead) {
        const size_t l = static_cast<size_t>(lead);
        const double mix = kWanderMix[l];
        double total = mv[l] * m_settings.amplitude +
                       m_settings.wander_mv * (mix * m_phase_sin + (1 - mix * mix) * m_phase_cos) +
                       noise_mv * noise();
        if (pulse) total += (lead % 2 == 0 ? kSpikeMv : -kSpikeMv);
        if (l < values.size()) {
            if (m_scale == SampleScale::twelve_bit) {
                values[l] = static_cast<int32_t>(
                    std::clamp(std::floor(2048 + kTwelveBitPerMv * total + 0.5), 0.0, 4095.0));
            } else {
                values[l] = static_cast<int32_t>(
                    std::clamp(std::floor(kSigned16PerMv * total + 0.5), -32767.0, 32767.0));
            }
        }
    }

    // Advance the phasor by one sample; its length is pulled back to 1 once a second.
    static constexpr double kAngle = 2 * kPi * kWanderHz / kSampleRate;
    static constexpr double kStepCos =
        1 - kAngle * kAngle / 2 + kAngle * kAngle * kAngle * kAngle / 24;
    static constexpr double kStepSin = kAngle - kAngle * kAngle * kAngle / 6;
    const double c = m_phase_cos * kStepCos - m_phase_sin * kStepSin;
    m_phase_sin = m_phase_sin * kStepCos + m_phase_cos * kStepSin;
    m_phase_cos = c;
    if (++m_sample % 128 == 0) {
        const double norm = (3 - (m_phase_cos * m_phase_cos + m_phase_sin * m_phase_sin)) / 2;
        m_phase_cos *= norm;
        m_phase_sin *= norm;
    }
}

}  // namespace cardsim
