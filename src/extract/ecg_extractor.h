// One read of a recording into the sample output the caller chose: the raw files of an archive
// read, the 12-lead files, or the memory-mapped sections of a running analysis application. The
// Read dialog's read operation calls extract_ecg; CEcgExtractor lives for that call only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "card/ccf_disk.h"
#include "extract/decoder.h"
#include "extract/output_file.h"
#include "extract/patient_events.h"
#include "extract/progress_control.h"
#include "extract/salvage_report.h"
#include "extract/sample_output.h"
#include "extract/span_decoding.h"
#include "format/card_files.h"
#include "format/event_table.h"
#include "format/recording_time.h"
#include "support/run_mode.h"

// What a read serves besides its samples: the output format it was asked for, the folder of the
// recorder's other bytes (other.dat) and of patevent.dat, the instance whose terminator event
// stops it, and the progress bar it moves (none in a quiet read).
struct ExtractionRequest {
    OutputFormat output_format = kFormatNone;
    std::string target_folder;
    std::string instance;
    ProgressControl* progress = nullptr;
};

// The named event that ends the reads of this instance ("" is the program's default instance).
std::string terminator_event_name(const std::string& instance);

class CEcgExtractor {
  public:
    CEcgExtractor(CCFDisk& disk, SampleOutput& samples, ExtractionRequest request);
    CEcgExtractor(const CEcgExtractor&) = delete;
    CEcgExtractor& operator=(const CEcgExtractor&) = delete;

    // Runs the read; true when it reached the end of the recording, the duration limit or the
    // terminator event without a failure.
    bool extract_ecg();
    bool terminated() const { return m_terminated; }

  private:
    // Steps of the read (ecg_extractor.cpp).
    bool read_recording();
    bool open_outputs();
    bool open_sample_output();
    bool check_recording_numbers();
    bool sector_loop();
    bool read_sector();
    bool process_sector();
    bool data_sector();
    bool compressed_sector();
    void deliver_block(const DecodedBlock& block);
    bool twelve_lead_sector();
    void advance_progress();
    bool outputs_failed() const;
    bool finish_outputs(bool pad);
    void report_read_error();
    void report_file_error(int line);

    // Decoding ahead on worker threads between seek points (extractor_spans.cpp).
    void start_span_decoding();
    void stop_span_decoding();
    void compare_with_span();
    bool replay_sector();
    bool settle_decoder();

    // The recording clock and the start sectors (extractor_start.cpp).
    bool start_sector_step();
    bool read_start_sector();
    bool resume_start_sector();
    void seek_to_skip_target();
    void write_table_events();
    bool add_sector_event();
    // patevent.dat, the mapped list and the sample output; false when the list is full.
    bool add_patient_event(int32_t seconds);
    void advance_clock_by_sector(int64_t time_points);

    // Salvage: damaged sectors become gaps and the read goes on (extractor_salvage.cpp).
    bool salvaging() const { return m_disk.m_read_settings.salvage && m_recording_format; }
    bool salvage_damaged_sector();
    void recover_from_damage(DamageReason reason);
    void salvage_truncated_end();
    uint64_t current_sector_index() const;
    int64_t lost_seconds_of_stream(uint64_t damaged, uint64_t resume_index, const Sector& resume);
    std::optional<int64_t> blocks_until(const EventRecord& anchor, int anchor_bit,
                                        uint64_t resume_index, const Sector& resume);
    const EventRecord* seek_point_at_or_after(uint64_t sector, int bit) const;
    int64_t estimated_stream_seconds(uint64_t sectors) const;
    void write_gap(int64_t time_points);
    bool finish_salvage(bool ok);
    // Whether the second or sector that starts `seconds` after the recording start is output:
    // the skip period is over and the start is known.
    bool output_begun(int64_t seconds_from_start) const;
    int64_t running_from_start() const;
    void advance_clock(int whole_seconds, unsigned hundredths, double seconds);

    CCFDisk& m_disk;
    SampleOutput& m_samples;
    ExtractionRequest m_request;
    // Only an opened output is finished by the read.
    bool m_samples_open = false;

    bool m_terminated = false;
    bool m_end = false;
    Sector m_first_start_sector{};
    bool m_first_start_found = false;
    uint64_t m_first_start_index = 0;
    // A recorded second (not a gap, not the preamble) reached the output.
    bool m_delivered_recording = false;
    // Declared before the stream it buffers, so that the stream is closed first.
    std::vector<char> m_source_buffer;
    CardFile m_source;
    EventTable m_event_table;
    EcgDecoder m_decoder;
    Sector m_sector{};
    // Where m_sector lies in ecg.dat, and the sector the next read gets.
    uint64_t m_sector_index = 0;
    uint64_t m_next_sector_index = 0;
    // The workers decoding ahead, and the span whose blocks stand in for the decoder's until
    // they are replayed; none in a sequential read.
    std::unique_ptr<SpanDecoding> m_spans;
    std::unique_ptr<DecodedSpan> m_replay;
    int m_replayed_spans = 0;
    int m_progress_counter = 0;
    int64_t m_sector_counter = 0;
    // Compressed sectors and blocks decoded: the rate that prices a damaged stretch without a
    // seek point after it.
    int64_t m_stream_sectors = 0;
    int64_t m_stream_blocks = 0;
    // Set by a salvage read when decoding failed in the current sector or has to start afresh at
    // the next compressed sector's block start.
    bool m_undecodable = false;
    bool m_restart_stream = false;
    SalvageReport m_salvage_report;

    OutputFile m_other;
    OutputFile m_patevent;
    PatientEvents m_events;

    // The recording state that the start sectors set and the data sectors advance.
    std::optional<uint8_t> m_recording_format;
    int m_channels = 0;
    RecordingTime m_running_time{};
    int64_t m_start_seconds = 0;
    double m_seconds_counter = 0;
    int64_t m_preamble_seconds = 0;
    // Samples left in the pacing window of uncompressed sectors; runs across sectors.
    int m_pacing_window = 0;
};

// Runs one read with a CEcgExtractor.
bool extract_ecg(CCFDisk& disk, SampleOutput& samples, const ExtractionRequest& request);
