// Numbers of the recording that several outputs share: the sampling rate, the calibration signal
// that precedes a recording, and the shortest output an analysis application accepts.
#pragma once

#include <cstdint>

inline constexpr int kSamplesPerSecond = 128;
inline constexpr int64_t kTimePointsPerHour = int64_t{kSamplesPerSecond} * 3600;

// The calibration signal: a square wave of 32 samples at each of two 12-bit levels.
inline constexpr uint16_t kCalibrationLow = 1843;
inline constexpr uint16_t kCalibrationHigh = 2253;
inline constexpr int kCalibrationHalfCycle = 32;

// 20 minutes: outputs that end shorter are padded to this many time points.
inline constexpr int64_t kShortestOutputTimePoints = 20 * 60 * kSamplesPerSecond;

// Time points in one sector of each kind of uncompressed data: 1.5 s of two channels, 1 s of
// three, 0.234375 s of twelve leads.
inline constexpr int64_t kTwoChannelSectorTimePoints = 192;
inline constexpr int64_t kThreeChannelSectorTimePoints = kSamplesPerSecond;
inline constexpr int64_t kTwelveLeadTimePoints = 30;

// A recorder never pauses longer than a week; a later resume time is a damaged start sector.
inline constexpr int64_t kMaxPauseSeconds = 604800;
