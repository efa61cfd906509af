// Cards in drives for the card-preparation tests: a folder, or a tmpfs of a chosen size, mapped
// as drive E: through a drive map of its own, and message boxes answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "card/config_record.h"
#include "format/sector_types.h"
#include "support/messages.h"
#include "test_folder.h"

#if !defined(_WIN32)
#include <sys/mount.h>

class CardDrive {
  public:
    // A folder on the test disk with tmpfs_bytes 0, else a tmpfs of that size.
    explicit CardDrive(uint64_t tmpfs_bytes = 0, const std::string& label = "VNT_CFR")
        : m_root(m_folder / "root") {
        std::filesystem::create_directories(m_root);
        std::filesystem::create_directories(m_folder / "drives");
        if (tmpfs_bytes != 0) {
            const std::string options = "size=" + std::to_string(tmpfs_bytes);
            m_mounted = mount("tmpfs", m_root.c_str(), "tmpfs", 0, options.c_str()) == 0;
        }
        std::filesystem::create_directory_symlink(m_root, m_folder / "drives/e:");
        setenv("KADO_DRIVES", (m_folder / "drives").c_str(), 1);
        if (!label.empty()) write_file(file(".windows-label"), label);
    }
    ~CardDrive() {
        unsetenv("KADO_DRIVES");
        if (m_mounted) umount2(m_root.c_str(), MNT_DETACH);
    }
    CardDrive(const CardDrive&) = delete;
    CardDrive& operator=(const CardDrive&) = delete;

    bool mounted() const { return m_mounted; }
    std::string file(const std::string& name) const { return m_root + "/" + name; }
    void attach(CCFDisk& disk) const { disk.set_card_path("E:"); }

    // A card as the recorder leaves it: the record with its counters, the side files and an
    // ecg.dat of the given sectors.
    void write_card(const ConfigRecord& record, const std::vector<Sector>& sectors,
                    size_t cnav_size = 8192) const {
        std::array<uint8_t, kConfigRecordSize> bytes;
        encode_config_record(record, bytes);
        write_bytes(file("config.dat"), {bytes.begin(), bytes.end()});
        write_bytes(file("cnav.dat"), std::vector<uint8_t>(cnav_size, 0x5C));
        write_bytes(file("patient.wav"), std::vector<uint8_t>(65536, 0x3A));
        std::vector<uint8_t> ecg;
        for (const Sector& sector : sectors)
            ecg.insert(ecg.end(), sector.begin(), sector.end());
        write_bytes(file("ecg.dat"), ecg);
    }

  private:
    TestFolder m_folder;
    std::string m_root;
    bool m_mounted = false;
};

#define SKIP_UNLESS_MOUNTED(drive) \
    if (!(drive).mounted()) GTEST_SKIP() << "mounting a tmpfs card needs root"
#endif

// Answers message boxes from a list, then with the safe answer, and keeps what was shown.
class ScriptedMessages {
  public:
    explicit ScriptedMessages(std::vector<MessageAnswer> answers = {})
        : m_answers(std::move(answers)) {
        set_message_hook([this](int id, const std::string& text, MessageButtons buttons) {
            ids.push_back(id);
            texts.push_back(text);
            return m_next < m_answers.size() ? m_answers[m_next++] : safe_answer(buttons);
        });
    }
    ~ScriptedMessages() { set_message_hook({}); }
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    std::vector<int> ids;
    std::vector<std::string> texts;

  private:
    std::vector<MessageAnswer> m_answers;
    size_t m_next = 0;
};

inline ConfigRecord record_with(uint16_t c, uint16_t patient, uint16_t wav) {
    ConfigRecord record;
    record.byte_0 = 1;
    record.recording_num = c;
    record.patient_data_num = patient;
    record.wav_recording_num = wav;
    return record;
}
