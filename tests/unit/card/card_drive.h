// Cards in drives for the card-preparation tests: a folder, or a tmpfs of a chosen size, mapped
// as drive E:, and message boxes answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "card/default_drive.h"
#include "extract/test_card.h"
#include "scratch_tmpfs.h"
#include "support/analysis_window.h"
#include "support/messages.h"
#include "test_drives.h"

#if !defined(_WIN32)
class CardDrive {
  public:
    // A folder on the test disk with tmpfs_bytes 0, else a tmpfs of that size; disk is on E:.
    explicit CardDrive(uint64_t tmpfs_bytes = 0, const std::string& label = "VNT_CFR")
        : m_root(m_drives.add('E')), m_tmpfs(m_root, tmpfs_bytes) {
        if (!label.empty()) write_file(file(".windows-label"), label);
        disk.set_card_path("E:");
    }

    bool mounted() const { return m_tmpfs.mounted(); }
    std::string file(const std::string& name) const { return m_root + "/" + name; }
    void use_mount_table(const std::string& lines) { m_drives.use_mount_table(lines); }
    // A card as the recorder leaves it, with the record's counters C and patient_data_num.
    void write_card(uint16_t c, uint16_t patient, const std::vector<Sector>& sectors) const {
        write_card_files(
            m_root,
            {.byte_0 = 1, .recording_num = c, .patient_data_num = patient, .wav_recording_num = 2},
            sectors);
    }

  private:
    TestDrives m_drives;
    std::string m_root;
    ScratchTmpfs m_tmpfs;

  public:
    // Declared last: made once the drive is there and gone before it.
    CCFDisk disk;
};
#endif

// The default drive is process-wide; each test leaves it as it found it.
class DefaultDrive {
  public:
    explicit DefaultDrive(char letter) : m_saved(g_default_drive) { g_default_drive = letter; }
    ~DefaultDrive() { g_default_drive = m_saved; }
    DefaultDrive(const DefaultDrive&) = delete;
    DefaultDrive& operator=(const DefaultDrive&) = delete;

  private:
    char m_saved;
};

// Answers message boxes from a list, then with the safe answer, and keeps what was shown;
// `before` runs ahead of each answer, as a user acts while a question is on the screen. steps
// records the boxes with what was done to the analysis window around them ("min 154 notify").
class ScriptedMessages {
  public:
    explicit ScriptedMessages(std::vector<MessageAnswer> answers = {},
                              std::function<void(size_t)> before = {})
        : m_answers(std::move(answers)) {
        set_analysis_window_hook([this](AnalysisWindowStep step) {
            steps += step == AnalysisWindowStep::kMinimise ? " min" : " notify";
        });
        set_message_hook([this, before](int id, const std::string& text, MessageButtons buttons) {
            if (before) before(ids.size());
            ids.push_back(id);
            steps += " " + std::to_string(id);
            texts.push_back(text);
            return m_next < m_answers.size() ? m_answers[m_next++] : safe_answer(buttons);
        });
    }
    ~ScriptedMessages() {
        set_message_hook({});
        set_analysis_window_hook({});
    }
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    std::vector<int> ids;
    std::vector<std::string> texts;
    std::string steps;

  private:
    std::vector<MessageAnswer> m_answers;
    size_t m_next = 0;
};
