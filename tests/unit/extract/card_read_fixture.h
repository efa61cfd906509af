// A hand-built card read into a folder of the test's own: the set-up the extraction and hand-off
// tests share.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "card_read.h"
#include "handoff/mapped_receiver.h"
#include "test_card.h"

class CardReadTest : public ::testing::Test {
  protected:
    CardReadTest() {
        std::filesystem::create_directories(m_out);
        settings.mmf_base_name = unique_base_name();
        settings.mmf_instance = settings.mmf_base_name;
    }

    bool read(OutputFormat format = kFormatArchive) {
        return read_card(card.disk, format, m_out, settings, "PROC-1");
    }
    std::string out(const std::string& name) const { return m_out + "/" + name; }

    CardFolder card;
    NoAnswers no_answers;
    OutputSettings settings;
    std::string m_out = card / "out";
};
