// One read of a recording into the output the caller asked for: the raw files of an archive read,
// the 12-lead files, or the memory-mapped sections of a running analysis application. Card
// storage's read operations call extract_ecg; CEcgExtractor lives for that call only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/run_request.h"
#include "card/ccf_disk.h"
#include "extract/decoder.h"
#include "extract/output_file.h"
#include "extract/patient_events.h"
#include "extract/progress_control.h"
#include "extract/sample_output.h"
#include "format/card_files.h"
#include "format/event_table.h"
#include "format/recording_time.h"

class CEcgExtractor {
  public:
    CEcgExtractor(CCFDisk& disk, OutputFormat output_format, ProgressControl* progress,
                  std::string target_folder, std::string procedure_id);
    CEcgExtractor(const CEcgExtractor&) = delete;
    CEcgExtractor& operator=(const CEcgExtractor&) = delete;

    // Runs the read; true when it reached the end of the recording, the duration limit or the
    // terminator event without a failure.
    bool extract_ecg();
    bool terminated() const { return m_terminated; }

    // The memory-mapped output's "Patient Events" list; events then also go there, and a full
    // list limits them.
    void set_event_list(std::span<uint8_t, kEventListSize> list) { m_events.set_list(list); }

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
    bool twelve_lead_sector();
    void advance_progress();
    bool outputs_failed() const;
    bool finish_outputs(bool pad);
    void report_read_error();
    void report_file_error(int line);

    // The recording clock and the start sectors (extractor_start.cpp).
    bool start_sector_step();
    bool read_start_sector();
    bool resume_start_sector();
    void seek_to_skip_target();
    void write_table_events();
    bool add_sector_event();
    // Whether the second or sector that starts `seconds` after the recording start is output:
    // the skip period is over and the start is known.
    bool output_begun(int64_t seconds_from_start) const;
    int64_t running_from_start() const;
    void advance_clock(int whole_seconds, unsigned hundredths, double seconds);

    CCFDisk& m_disk;
    OutputFormat m_output_format;
    ProgressControl* m_progress;
    std::string m_target_folder;
    std::string m_procedure_id;
    int64_t m_limit_time_points = 0;

    bool m_terminated = false;
    bool m_end = false;
    Sector m_first_start_sector{};
    CardFile m_source;
    std::vector<char> m_source_buffer;
    EventTable m_event_table;
    EcgDecoder m_decoder;
    Sector m_sector{};
    int m_progress_counter = 0;
    int64_t m_sector_counter = 0;

    std::unique_ptr<SampleOutput> m_samples;
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

// Runs one read with a CEcgExtractor. procedure_id goes into the 12-lead headers.
bool extract_ecg(CCFDisk& disk, OutputFormat output_format, ProgressControl* progress,
                 const std::string& target_folder, const std::string& procedure_id = {});
