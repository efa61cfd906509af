// The corruption sweep: a ten-minute recording of each sector kind, read through the program's own
// entry for a folder copy of a card (mode 10), after each sector in turn has a bit or a byte of
// its body damaged, and after ecg.dat has been cut at each sector boundary. Every read must end
// in exit code 0 or 108 (109 when the damage makes the first start sector's format one without
// channels), within seconds, with its outputs padded, nothing written outside the output folder,
// and the card no worse than before: config.dat changes only by the read mark of a good read, no
// other card file changes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/kado_app.h"
#include "cardsim/lib/card_writer.h"
#include "format/sector_types.h"
#include "fuzz_scratch.h"
#include "support/byte_order.h"
#include "support/exit_codes.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Kind {
    int format;
    const char* output;
};

std::string kind_name(const ::testing::TestParamInfo<Kind>& info) {
    return "format" + std::to_string(info.param.format);
}

// A bit of the body for even sectors, a whole byte for odd ones, at a place that moves with the
// sector number.
Bytes damaged(Bytes ecg, size_t sector) {
    const size_t at = sector * kSectorSize + kSectorBodyOffset + (sector * 197) % 507;
    ecg[at] ^= sector % 2 == 0 ? static_cast<uint8_t>(1u << (sector / 2 % 8)) : 0xFF;
    return ecg;
}

class CorruptionSweep : public ::testing::TestWithParam<Kind> {
  protected:
    void SetUp() override {
        fuzz::silence_message_boxes();
        // The profile lives apart: writing it back is no write into the card's folder.
        setenv("XDG_CONFIG_HOME", m_environment.folder("profile").c_str(), 1);
        setenv("KADO_DRIVES", m_environment.folder("drives").c_str(), 1);
        cardsim::RecordingSpec description;
        description.format = GetParam().format;
        description.segments = {cardsim::Segment{300, 60}, cardsim::Segment{300, 0}};
        description.events = {120, 400};
        cardsim::RecordingResult result;
        std::string error;
        ASSERT_TRUE(cardsim::write_card(description, m_card, "", result, error)) << error;
        for (const char* name : {"config.dat", "ecg.dat", "cnav.dat", "patient.wav"})
            m_pristine[name] = fuzz::read_bytes(m_card + "/" + name);
        m_layout = fuzz::file_set(m_scratch.path(), "out");
    }

    // Reads the card with this ecg.dat as a caller does; returns the exit code.
    int read_card(const Bytes& ecg) {
        for (const auto& [name, bytes] : m_pristine) {
            const Bytes& content = name == "ecg.dat" ? ecg : bytes;
            fuzz::write_bytes(m_card + "/" + name, content.data(), content.size());
        }
        std::error_code ignored;
        fuzz::fs::remove_all(m_out, ignored);
        fuzz::fs::create_directories(m_out);
        CKadoApp app(std::string("/readecg=hide /opformat=") + GetParam().output + " /ipdir=" +
                     m_card + " /dir=" + m_out + " /instance=kado-sweep-" + fuzz::process_token());
        app.start_instance();
        return app.end_instance();
    }

    // The card as it must be after a read with this exit code.
    void expect_card_kept(const Bytes& ecg, int code, const std::string& what) {
        std::map<std::string, int64_t> layout = m_layout;
        layout["card/ecg.dat"] = static_cast<int64_t>(ecg.size());
        EXPECT_EQ(fuzz::file_set(m_scratch.path(), "out"), layout) << what;
        EXPECT_EQ(fuzz::read_bytes(m_card + "/ecg.dat"), ecg) << what;
        EXPECT_EQ(fuzz::read_bytes(m_card + "/cnav.dat"), m_pristine["cnav.dat"]) << what;
        EXPECT_EQ(fuzz::read_bytes(m_card + "/patient.wav"), m_pristine["patient.wav"]) << what;
        Bytes config = fuzz::read_bytes(m_card + "/config.dat");
        if (code == kExitSuccess && config != m_pristine["config.dat"] && config.size() > 2)
            put_u16le(&config[1], static_cast<uint16_t>(get_u16le(&config[1]) - 1));
        EXPECT_EQ(config, m_pristine["config.dat"]) << what << ": config.dat beyond the read mark";
    }

    // Archive reads pad every channel of the recording; 12-lead files keep their leads in step.
    void expect_outputs_complete(bool start_intact, const std::string& what) {
        const auto size = [&](const std::string& name) {
            std::error_code error;
            const auto bytes = fuzz::fs::file_size(m_out + "/" + name, error);
            return error ? int64_t{-1} : static_cast<int64_t>(bytes);
        };
        if (std::string(GetParam().output) == "pn12arch") {
            for (int lead = 2; lead <= 8; ++lead)
                EXPECT_EQ(size("pn12ecg" + std::to_string(lead) + ".dat"), size("pn12ecg1.dat"))
                    << what;
            return;
        }
        if (size("rawecg1.dat") < 0) return;  // refused before the read began
        const int channels = channels_of_format(static_cast<uint8_t>(GetParam().format));
        for (int c = 1; c <= 3; ++c) {
            const int64_t bytes = size("rawecg" + std::to_string(c) + ".dat");
            if (c == 1 || (start_intact && c <= channels))
                EXPECT_GE(bytes, 2 * 153600) << what << ": rawecg" << c << ".dat not padded";
            else
                EXPECT_TRUE(bytes == 0 || bytes == size("rawecg1.dat")) << what;
        }
    }

    // One read of a damaged card, with every check; returns the exit code.
    int sweep_case(const Bytes& ecg, bool start_damaged, const std::string& what) {
        const auto begin = std::chrono::steady_clock::now();
        const int code = read_card(ecg);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        EXPECT_LT(took.count(), 10.0) << what << ": a read that hangs";
        EXPECT_TRUE(code == kExitSuccess || code == kExitEcgOutputFailed ||
                    (start_damaged && code == kExitNoValidEcg))
            << what << ": exit code " << code;
        expect_card_kept(ecg, code, what);
        expect_outputs_complete(!start_damaged, what);
        return code;
    }

    fuzz::ScratchFolder m_environment{"sweep-environment"};
    fuzz::ScratchFolder m_scratch{"sweep"};
    std::string m_card = m_scratch.folder("card");
    std::string m_out = m_scratch.folder("out");
    std::map<std::string, Bytes> m_pristine;
    fuzz::FileSet m_layout;
};

TEST_P(CorruptionSweep, DamagedCardsEndInAResultWithTheCardUnharmed) {
    const auto begin = std::chrono::steady_clock::now();
    const Bytes ecg = m_pristine["ecg.dat"];
    ASSERT_EQ(sweep_case(ecg, false, "the undamaged card"), kExitSuccess);

    const size_t count = ecg.size() / kSectorSize;
    size_t first_start = 0;
    while (first_start < count &&
           sector_type_of(ecg[first_start * kSectorSize]).kind != SectorKind::start)
        ++first_start;
    std::map<int, int> codes;
    for (size_t n = 0; n < count; ++n) {
        ++codes[sweep_case(damaged(ecg, n), n == first_start,
                           "sector " + std::to_string(n) + " damaged")];
        ++codes[sweep_case(
            Bytes(ecg.begin(), ecg.begin() + static_cast<ptrdiff_t>(n * kSectorSize)), false,
            "cut before sector " + std::to_string(n))];
        if (HasFailure()) break;  // one broken case tells the story; the rest repeat it
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    std::printf(
        "format %d: %zu sectors, each damaged and cut before; exit 0: %d, 108: %d, 109: %d; "
        "%.1f s\n",
        GetParam().format, count, codes[0], codes[108], codes[109], took.count());
}

INSTANTIATE_TEST_SUITE_P(EverySectorKind, CorruptionSweep,
                         ::testing::Values(Kind{1, "archive"}, Kind{2, "archive"},
                                           Kind{4, "archive"}, Kind{5, "archive"},
                                           Kind{48, "archive"}, Kind{33, "archive"},
                                           Kind{34, "archive"}, Kind{35, "archive"},
                                           Kind{64, "pn12arch"}),
                         kind_name);

}  // namespace
