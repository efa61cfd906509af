#include "extract/ecg_extractor.h"

#include <exception>
#include <utility>

#include "card/side_files.h"
#include "extract/uncompressed_sector.h"
#include "format/card_files.h"
#include "format/recording_constants.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "support/file_seek.h"
#include "support/messages.h"
#include "support/named_event.h"
#include "support/string_ids.h"
#include "support/trace.h"

namespace {

constexpr const char* kModule = "ecg_extractor.cpp";
constexpr const char* kTerminatorName = "KADO TERMINATOR";
constexpr const char* kTerminatorSuffix = ".terminator.signal";

// The progress bar runs over 3600 sectors and moves every 180.
constexpr int kProgressRange = 3600;
constexpr int kProgressStep = 180;
// A large source buffer keeps the sector reads cheap; the reads themselves stay 512 bytes.
constexpr size_t kSourceBufferSize = 256 * 1024;

bool is_raw_format(OutputFormat format) {
    return format == kFormatArchive || format == kFormatEdf;
}
// The outputs whose read ends at the duration limit; they are also the ones padded at the end.
bool duration_ends_read(OutputFormat format) {
    return format == kFormatPath || format == kFormatArchive || format == kFormatMmf ||
           format == kFormatEdf;
}

// A pace pulse opens a pacing window over it and the following time points, carried from sector
// to sector.
void mark_pacing_window(TimePointBlock& block, int& pacing_window) {
    for (size_t t = 0; t < static_cast<size_t>(block.count); ++t) {
        if ((block.marks[t] & kPaceMark) != 0) pacing_window = kPacingWindow;
        if (pacing_window > 0) {
            block.marks[t] |= kPacingWindowMark;
            --pacing_window;
        }
    }
}

}  // namespace

std::string terminator_event_name(const std::string& instance) {
    return instance.empty() ? kTerminatorName : instance + kTerminatorSuffix;
}

CEcgExtractor::CEcgExtractor(CCFDisk& disk, SampleOutput& samples, ExtractionRequest request)
    : m_disk(disk), m_samples(samples), m_request(std::move(request)) {}

bool CEcgExtractor::extract_ecg() {
    bool ok = false;
    try {
        ok = read_recording();
    } catch (const std::exception&) {
        trace("Generic Exception caught in module %s at line %d\n", kModule, __LINE__);
        show_read_message(kStringEcgReadError, MessageButtons::kOk, MessageIcon::kExclamation);
    } catch (...) {
        trace("Generic Exception caught in module %s at line %d\n", kModule, __LINE__);
        show_read_message(kStringEcgReadError, MessageButtons::kOk, MessageIcon::kExclamation);
    }
    return m_disk.m_read_settings.salvage ? finish_salvage(ok) : ok;
}

bool CEcgExtractor::read_recording() {
    const bool pad = duration_ends_read(m_request.output_format);
    if (!open_outputs() || !check_recording_numbers()) {
        finish_outputs(pad);
        return false;
    }
    const uint8_t format = recording_format_of(m_first_start_sector[kStartSectorFormatOffset]);
    if (is_event_table_format(format)) {
        const CardFile table_file = open_card_file_for_reading(m_disk.m_card_path, kEcgFileName);
        if (table_file) m_event_table = load_event_table(table_file.get(), true);
    }
    if (format == 33) m_decoder.preset_square_wave();

    m_recording_format.reset();
    m_sector_counter = 0;
    m_next_sector_index = m_first_start_index;
    // Sectors ahead of the first start sector belong to no recording this read can place.
    if (!seek_file(m_source.get(), m_first_start_index * kSectorSize) || !read_sector()) {
        trace("wrong number of bytes read in first sector\n");
        report_read_error();
        finish_outputs(pad);
        return false;
    }
    bool ok = sector_loop();
    // The workers stop before the outputs are finished.
    stop_span_decoding();
    if (outputs_failed()) {
        report_file_error(__LINE__);
        return false;
    }
    if (ok && !m_terminated && !m_recording_format) {
        trace("no start sector was applied\n");
        ok = false;
    }
    // The outputs are complete on the medium before the card is told the recording was read.
    if (!finish_outputs(pad)) {
        report_file_error(__LINE__);
        return false;
    }
    // A read that delivered no recorded second (a skip past the end) leaves the card unread.
    if (ok && !m_terminated && m_delivered_recording)
        m_disk.mark_as_read_and_report(m_request.output_format != kFormatCnav);
    return ok;
}

bool CEcgExtractor::open_outputs() {
    if (!m_patevent.create(join_path(m_request.target_folder, "patevent.dat"), true)) return false;
    m_events.set_file(&m_patevent);
    // The sample outputs come first, so that a receiver that prepared the mapped sections sees
    // them finished whatever fails after them.
    if (!open_sample_output()) return false;
    const StartSectorSearch search =
        read_first_start_sector(m_disk.m_crc_table, m_disk.m_card_path, m_first_start_sector);
    if (!search.found) {
        trace("no start sector in ecg.dat\n");
        return false;
    }
    m_first_start_found = true;
    m_first_start_index = search.sector_index;
    m_source = open_card_file_for_reading(m_disk.m_card_path, kEcgFileName);
    if (!m_source) return false;
    m_source_buffer.resize(kSourceBufferSize);
    std::setvbuf(m_source.get(), m_source_buffer.data(), _IOFBF, m_source_buffer.size());
    return m_other.create(join_path(m_request.target_folder, "other.dat"));
}

bool CEcgExtractor::open_sample_output() {
    if (!m_samples.open()) return false;
    m_samples_open = true;
    if (const auto list = m_samples.event_list()) m_events.set_list(*list);
    if (is_raw_format(m_request.output_format) && m_request.progress != nullptr)
        m_request.progress->set_range(0, kProgressRange);
    return true;
}

bool CEcgExtractor::check_recording_numbers() {
    if (!m_disk.read_config()) {
        trace("config.dat cannot be read\n");
        return false;
    }
    const uint16_t recording_num = sector_recording_num(m_first_start_sector);
    const ConfigRecord& config = m_disk.m_config_dat;
    if (config.recording_num < recording_num) {
        trace("m_config_dat.recording_num >= start_sector.recording_num failed\n");
        return false;
    }
    // The speech file on the card is older than this recording: it does not belong to it.
    if (recording_num > config.wav_recording_num &&
        !is_read_only(join_path(m_disk.m_card_path, kWavFileName)))
        write_empty_wav(m_disk.m_card_path);
    return true;
}

// A short read ends the recording: a truncated last sector holds nothing to trust.
bool CEcgExtractor::read_sector() {
    if (std::fread(m_sector.data(), 1, m_sector.size(), m_source.get()) != m_sector.size())
        return false;
    m_sector_index = m_next_sector_index++;
    return true;
}

bool CEcgExtractor::sector_loop() {
    const std::unique_ptr<NamedEvent> terminator =
        NamedEvent::create_or_open(terminator_event_name(m_request.instance));
    if (!terminator) trace("terminator event cannot be created\n");
    const uint16_t recording_num = sector_recording_num(m_first_start_sector);
    while (!m_end) {
        if (terminator && terminator->is_signalled()) {
            m_terminated = true;
            m_end = true;
        } else if (salvaging() && salvage_damaged_sector()) {
            continue;
        } else if (sector_recording_num(m_sector) != recording_num) {
            m_end = true;
        } else if (!process_sector() || outputs_failed()) {
            return false;
        } else if (m_undecodable) {
            recover_from_damage(DamageReason::undecodable);
            continue;
        }
        if (!m_end && !read_sector()) {
            if (salvaging()) salvage_truncated_end();
            m_end = true;
        }
    }
    return true;
}

bool CEcgExtractor::process_sector() {
    const SectorType type = sector_type_of(sector_type_byte(m_sector));
    if (!check_sector(m_disk.m_crc_table, m_sector, type.checksum)) {
        trace(type.checksum == ChecksumVariant::a ? "10 bit checksum error in sector %i\n"
                                                  : "checksum error in sector %i\n",
              static_cast<int>(m_sector_counter));
        report_read_error();
        return false;
    }
    ++m_sector_counter;
    if (is_raw_format(m_request.output_format)) advance_progress();
    bool ok = true;
    switch (type.kind) {
        case SectorKind::packed:
        case SectorKind::delta:
            ok = data_sector();
            break;
        case SectorKind::compressed:
            ok = compressed_sector();
            break;
        case SectorKind::twelve_lead:
            ok = twelve_lead_sector();
            break;
        case SectorKind::event:
            m_other.put_bytes(m_sector);
            break;
        case SectorKind::twelve_lead_aux:
            break;
        case SectorKind::start:
            ok = start_sector_step();
            break;
        case SectorKind::end:
            m_end = true;
            break;
    }
    // A mapped channel also ends when its section is full, as if the limit had been reached.
    if (ok && duration_ends_read(m_request.output_format) && !m_samples.below_limit()) m_end = true;
    return ok;
}

bool CEcgExtractor::data_sector() {
    const std::optional<UncompressedLayout> layout =
        uncompressed_layout(sector_type_byte(m_sector));
    const bool begun = output_begun(running_from_start());
    if (begun) {
        // The event-table formats keep their patient events in the table alone.
        if (has_patient_event(m_sector) && !is_event_table_format(*m_recording_format) &&
            !add_sector_event())
            return false;
        if (m_samples.below_limit()) m_delivered_recording = true;
        TimePointBlock block;
        unpack_uncompressed_sector(m_sector, block);
        mark_pacing_window(block, m_pacing_window);
        const int64_t before = m_samples.time_points();
        m_samples.write_time_points(block);
        m_salvage_report.add_delivered(m_samples.time_points() - before);
        m_other.put_bytes(std::span(m_sector).first(kPayloadOffset));
    }
    advance_clock_by_sector(layout->time_points);
    return true;
}

bool CEcgExtractor::compressed_sector() {
    // Without a start sector the stream has no beginning and no place on the time axis.
    if (!m_recording_format) return true;
    if (m_restart_stream) {
        // After a damaged stretch the stream is picked up at this sector's first block start.
        m_restart_stream = false;
        m_decoder.reset_decoder();
        m_decoder.set_decompression_index(sector_decompression_index(m_sector));
    }
    ++m_stream_sectors;
    if (m_replay && m_replay->agreed) {
        if (!m_replay->replayed()) return replay_sector();
        if (!settle_decoder()) return false;
    }
    const std::optional<size_t> span = m_spans ? m_spans->enter(m_sector_index) : std::nullopt;
    for (;;) {
        const DecodeResult result = m_decoder.decode_sector(m_sector);
        if (!result.ok && salvaging()) {
            m_undecodable = true;
            return true;
        }
        if (!result.ok) {
            trace("ecg decompression error in sector %i\n", static_cast<int>(m_sector_counter));
            report_read_error();
            return false;
        }
        if (result.block_done) deliver_block(m_decoder.block());
        if (result.sector_done) break;
    }
    if (span) m_replay = m_spans->take(*span);
    if (m_replay) compare_with_span();
    return true;
}

void CEcgExtractor::deliver_block(const DecodedBlock& block) {
    ++m_stream_blocks;
    const int64_t block_start = running_from_start();
    advance_clock(1, 0, 1.0);
    if (output_begun(block_start) && m_samples.below_limit()) {
        m_delivered_recording = true;
        m_salvage_report.add_delivered(kSamplesPerBlock);
        m_samples.write_second(block);
    }
}

bool CEcgExtractor::twelve_lead_sector() {
    // A 12-lead sector in a recording of fewer channels is as foreign as one in a read whose
    // output cannot take 12 leads.
    if (!m_samples.takes_recording(12) || (m_recording_format && m_channels != 12)) {
        trace("12-lead data sector in a read without 12-lead output\n");
        return false;
    }
    if (output_begun(running_from_start())) {
        m_delivered_recording = true;
        const int64_t before = m_samples.time_points();
        m_samples.unpack_pn12_sector(m_sector);
        m_salvage_report.add_delivered(m_samples.time_points() - before);
        m_other.put_bytes(std::span(m_sector).first(kPayloadOffset));
    }
    advance_clock_by_sector(kTwelveLeadTimePoints);
    return true;
}

void CEcgExtractor::advance_progress() {
    ++m_progress_counter;
    if (m_request.progress != nullptr && m_progress_counter % kProgressStep == 0)
        m_request.progress->set_pos(m_progress_counter);
    if (m_progress_counter >= kProgressRange) m_progress_counter = 0;
}

bool CEcgExtractor::outputs_failed() const {
    return (m_samples_open && m_samples.failed()) || m_other.failed() || m_patevent.failed();
}

bool CEcgExtractor::finish_outputs(bool pad) {
    bool good = true;
    // A read that ends before its first start sector was applied still pads the channels that
    // the recording has.
    if (pad && m_samples_open && !m_recording_format && m_first_start_found) {
        const uint8_t format = recording_format_of(m_first_start_sector[kStartSectorFormatOffset]);
        m_samples.begin_recording({channels_of_format(format), 0});
    }
    if (m_samples_open) good = m_samples.finish(pad);
    good = m_other.close() && good;
    return m_patevent.close() && good;
}

void CEcgExtractor::report_read_error() {
    show_read_message(kStringEcgReadError);
}

// A write that failed ends the read as a file error does: no padding, nothing marked as read.
void CEcgExtractor::report_file_error(int line) {
    trace("File Exception caught in module %s at line %d\n", kModule, line);
    show_read_message(kStringEcgReadError, MessageButtons::kOk, MessageIcon::kExclamation);
}

bool extract_ecg(CCFDisk& disk, SampleOutput& samples, const ExtractionRequest& request) {
    CEcgExtractor extractor(disk, samples, request);
    return extractor.extract_ecg();
}
