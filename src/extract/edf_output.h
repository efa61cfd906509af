// The EDF+ output of an edf read: recording.edf in the output folder, one signal per recorded
// channel (the eight stored leads of a 12-lead recording) in 1-second data records, and an
// annotation signal with the calibration preamble, the patient events and every paced beat. Pauses
// between segments leave their whole seconds out (EDF+D); the header is reserved when the recording
// begins and filled in when the read ends.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "extract/output_file.h"
#include "extract/sample_output.h"
#include "format/recording_constants.h"
#include "format/twelve_lead_sector.h"

// Room for a record's time stamp and about seven annotations; more wait for the next record.
inline constexpr int kEdfAnnotationSamples = 96;
inline constexpr size_t kEdfAnnotationBytes = 2 * kEdfAnnotationSamples;

// Whose recording it is and which recorder made it, for the header.
struct EdfIdentity {
    std::string patient_name;
    std::string patient_id;
    std::string recorder_serial;
};

class EdfOutput final : public SampleOutput {
  public:
    // limit_time_points: the duration limit in time points, as for the raw files.
    EdfOutput(const OutputSettings& settings, int64_t limit_time_points, std::string folder,
              EdfIdentity identity)
        : m_settings(settings),
          m_second_words(raw_second_words(settings)),
          m_limit(limit_time_points),
          m_folder(std::move(folder)),
          m_identity(std::move(identity)) {}

    bool open() override;
    void begin_recording(const RecordingLayout& layout) override;
    void write_calibration(int seconds) override;
    // 12-lead recordings are not limited by the duration, as in the 12-lead files.
    bool below_limit() const override { return m_twelve_lead || m_time_points < m_limit; }
    void write_time_point(std::span<const uint16_t> values, uint16_t marks,
                          SampleScale scale) override;
    void write_second(const DecodedBlock& block) override;
    void write_gap_second() override;
    void patient_event(int32_t seconds) override;
    bool takes_recording(int /*channels*/) const override { return true; }
    void unpack_pn12_sector(std::span<const uint8_t, kSectorSize> sector) override;
    int64_t time_points() const override { return m_time_points; }
    bool finish(bool pad) override;
    bool failed() const override { return m_file.failed(); }

  private:
    struct Annotation {
        int64_t onset;  // time points on the output's time axis
        const char* text;
        int duration_seconds;  // 0: none
    };

    void reserve_header(int channels);
    // One time point, a word per signal; a completed record is written.
    void put_time_point(std::span<const uint16_t> words, bool paced);
    // A record's annotation signal holds about eight paces; a damaged card that marks far more
    // would queue them without end, so paces beyond kMostPendingPaces waiting are left out.
    void queue_pace(int64_t time_point);
    // `count` time points without data: whole records of them are left out.
    void put_no_data(int64_t count);
    void write_record();
    // Annotations due by the end of the current record, as many as its annotation signal holds.
    using AnnotationArea = std::array<uint8_t, kEdfAnnotationBytes>;
    void put_annotations(std::vector<Annotation>& queue, size_t& next, int64_t record_end,
                         AnnotationArea& area, size_t& used);

    OutputSettings m_settings;
    // A decoded sample's word, looked up: a day holds eleven million of them per channel.
    RawWordTable m_second_words;
    int64_t m_limit;
    std::string m_folder;
    EdfIdentity m_identity;
    OutputFile m_file;
    int64_t m_start_seconds = 0;
    int m_signals = 0;
    bool m_twelve_lead = false;
    // 12-bit recordings mark no data with 0, 12-lead recordings with the smallest word.
    uint16_t m_no_data = 0;
    bool m_header_reserved = false;
    bool m_discontinuous = false;

    std::array<std::array<uint16_t, kSamplesPerSecond>, kStoredLeads> m_record{};
    int m_fill = 0;               // time points in the current record
    int64_t m_record_second = 0;  // the current record's onset
    int64_t m_records = 0;
    int64_t m_time_points = 0;
    // Paces arrive in time order; events too, except that the table's come before their seconds.
    std::vector<Annotation> m_paces;
    std::vector<Annotation> m_events;
    size_t m_next_pace = 0;
    bool m_paces_dropped = false;
    size_t m_next_event = 0;
};
