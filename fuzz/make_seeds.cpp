// Writes the seed corpora of the fuzz targets (fuzz/corpus/<target>/) from the recorder
// simulator: short cards of each kind of sector stream, their configuration records, event-table
// chains, and command lines of every option. Run by hand after a change of the input layouts:
//   build/linux/fuzz/fuzz_seeds fuzz/corpus
// The seeds stay small on purpose: each recording keeps its first sectors only.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cardsim/lib/card_writer.h"
#include "cardsim/lib/event_table.h"
#include "format/crc16.h"
#include "format/sector_checksum.h"
#include "fuzz_scratch.h"
#include "sector_stream_input.h"
#include "support/byte_order.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void write_seed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    fuzz::write_bytes((folder / name).string(), bytes.data(), bytes.size());
}

struct Card {
    Bytes ecg;
    Bytes config;
};

Card simulate(const cardsim::RecordingSpec& description, const fs::path& scratch) {
    cardsim::RecordingResult result;
    std::string error;
    fs::remove_all(scratch);
    if (!cardsim::write_card(description, scratch.string(), "", result, error)) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", error.c_str());
        std::exit(1);
    }
    return {fuzz::read_bytes((scratch / "ecg.dat").string()),
            fuzz::read_bytes((scratch / "config.dat").string())};
}

// The first `sectors` sectors of ecg.dat, descrambled, behind the stream header: the target
// seals them again, so the read sees the simulator's sectors.
Bytes stream_seed(const Card& card, size_t sectors, const fuzz::StreamChoice& choice) {
    static const Crc16Table crc;
    const auto header = fuzz::encode_stream_choice(choice);
    Bytes seed(header.begin(), header.end());
    for (size_t n = 0; n < sectors && (n + 1) * kSectorSize <= card.ecg.size(); ++n) {
        Sector sector;
        std::copy_n(card.ecg.begin() + static_cast<ptrdiff_t>(n * kSectorSize), kSectorSize,
                    sector.begin());
        check_sector(crc, sector, sector_type_of(sector[0]).checksum);
        seed.insert(seed.end(), sector.begin(), sector.end());
    }
    return seed;
}

void sector_stream_seeds(const fs::path& corpus, const fs::path& scratch) {
    struct Kind {
        const char* name;
        int format;
        size_t sectors;  // start, event-table head where there is one, data
        OutputFormat output;
    };
    const Kind kinds[] = {
        {"packed-2ch", 1, 2, kFormatArchive},      {"packed-3ch", 2, 2, kFormatArchive},
        {"delta-3ch", 5, 2, kFormatMmf},           {"packed-table", 48, 3, kFormatArchive},
        {"compressed-1ch", 33, 3, kFormatArchive}, {"compressed-3ch", 35, 3, kFormatPath},
        {"twelve-lead", 64, 4, kFormatPn12Arch},
    };
    for (const Kind& kind : kinds) {
        cardsim::RecordingSpec description;
        description.format = kind.format;
        description.segments = {cardsim::Segment{4, 0}};
        description.events = {0.5};
        description.synth.pacing_rate = 72;
        description.aux_every = 1;
        fuzz::StreamChoice choice;
        choice.output = kind.output;
        choice.format = static_cast<uint8_t>(kind.format);
        write_seed(corpus, kind.name,
                   stream_seed(simulate(description, scratch), kind.sectors, choice));
    }
    // Two segments of delta-coded sectors: a resuming start sector and the pause before it.
    cardsim::RecordingSpec description;
    description.format = 4;
    description.segments = {cardsim::Segment{1, 3}, cardsim::Segment{1, 0}};
    fuzz::StreamChoice choice;
    choice.calibration = true;
    write_seed(corpus, "segments", stream_seed(simulate(description, scratch), 4, choice));
}

void config_record_seeds(const fs::path& corpus, const fs::path& scratch) {
    cardsim::RecordingSpec description;
    description.segments = {cardsim::Segment{1, 0}};
    const Bytes recorded = simulate(description, scratch).config;
    write_seed(corpus, "recorded", recorded);
    write_seed(corpus, "short", Bytes(recorded.begin(), recorded.begin() + 100));
    description.conditioned = true;
    description.patient_name = "\xE0\xE1\xE2 Cohen";
    description.patient_id = std::string(200, 'X');
    write_seed(corpus, "conditioned", simulate(description, scratch).config);
}

Bytes sector_bytes(const cardsim::SectorBytes& sector) {
    return Bytes(sector.begin(), sector.end());
}

void event_table_seeds(const fs::path& corpus) {
    using cardsim::EventRecord;
    const cardsim::CivilTime start{};
    // The head names the next event sector by number, which leads on to the next event sector
    // of the file past a data sector; a type-0 record ends the table.
    const std::vector<std::vector<EventRecord>> groups = {
        {{1, 0, 1, 40}, {3, 90, 0, 0}, {2, 3600, 7, 130}},
        {{2, 7200, 9, 300}, {3, 9000, 0, 0}},
        {{2, 10800, 12, 77}}};
    const auto sectors = cardsim::encode_event_sectors(0x20, 4, start, groups, {0, 2, 4}, false);
    Bytes chain = {0};
    const cardsim::SectorBytes data_sector{0x23, 4, 0};
    for (const auto& sector : {sectors[0], data_sector, sectors[1], data_sector, sectors[2]}) {
        const Bytes bytes = sector_bytes(sector);
        chain.insert(chain.end(), bytes.begin(), bytes.end());
    }
    write_seed(corpus, "chain", chain);

    const auto twelve_lead = cardsim::encode_event_sectors(
        0x42, 4, start, {{{4, 0, 1, 40}, {3, 30, 0, 0}, {4, 3600, 40, 0}}}, {1}, false);
    Bytes twelve = {1};
    const Bytes bytes = sector_bytes(twelve_lead[0]);
    twelve.insert(twelve.end(), bytes.begin(), bytes.end());
    write_seed(corpus, "twelve-lead", twelve);
}

void command_line_seeds(const fs::path& corpus) {
    const char* const lines[] = {
        "/readecg=hide /opformat=archive /dir=out /ipdir=card",
        "\"/dir=My Data\" /readpat=scan /skip24 /cal=30",
        "/WRITE=Standard /fir /procedure_id=\"ABC 123\" /resolution=10",
        "/readecg=stand /opformat=mmf /duration=29 /instance=x /basemmfname=y /skip=2",
        "/dir=\"out put\" /wav /confirmed /changepat=cnav /setpat=p.ini /nofir /readpat=corrie",
        "/readecg=hide /opformat=pn12file /duration=+3 /dir=out /write=cnav",
    };
    int n = 0;
    for (const char* line : lines) {
        const std::string text = line;
        write_seed(corpus, "line" + std::to_string(++n), Bytes(text.begin(), text.end()));
    }
    write_seed(corpus, "empty", {});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    const fs::path corpus = argv[1];
    const fs::path scratch = fs::temp_directory_path() / "kado-fuzz-seeds";
    sector_stream_seeds(corpus / "sector_stream", scratch);
    config_record_seeds(corpus / "config_record", scratch);
    event_table_seeds(corpus / "event_table");
    command_line_seeds(corpus / "command_line");
    fs::remove_all(scratch);
    return 0;
}
