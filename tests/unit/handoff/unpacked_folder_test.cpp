#include "handoff/unpacked_folder.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_folder.h"

namespace {

struct FolderCase {
    const char* name;
    std::vector<std::pair<const char*, size_t>> files;  // name and size
    bool unpacked;
    int channels;
};

class UnpackedFolder : public ::testing::TestWithParam<FolderCase> {};

// The whole file set, the description-only set and card copies are read end to end (CefFolder
// and every card read); these are the sets they do not meet.

}  // namespace

TEST_P(UnpackedFolder, IsRecognisedByItsFileSetAndCountsChannelsWithBytes) {
    TestFolder folder;
    for (const auto& [name, size] : GetParam().files)
        write_bytes(folder.file(name), std::vector<uint8_t>(size, 1));
    EXPECT_EQ(is_unpacked_recording(folder.path()), GetParam().unpacked);
    EXPECT_EQ(folder_channel_count(folder.path()), GetParam().channels);
    int channels = -1;
    EXPECT_EQ(locate_cef_input(folder.path(), channels).empty(), !GetParam().unpacked);
    EXPECT_EQ(channels, GetParam().unpacked ? GetParam().channels : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Handoff, UnpackedFolder,
    ::testing::Values(FolderCase{"EmptyThirdChannel",
                                 {{"CEFDESC.TXT", 1},
                                  {"RAWECG1.DAT", 4},
                                  {"RAWECG2.DAT", 4},
                                  {"RAWECG3.DAT", 0},
                                  {"PATIENT.TXT", 1}},
                                 true,
                                 2},
                      FolderCase{"EmptyFirstChannel",
                                 {{"CEFDESC.TXT", 1}, {"RAWECG1.DAT", 0}, {"PATIENT.TXT", 1}},
                                 true,
                                 0},
                      FolderCase{
                          "NoPatientText", {{"CEFDESC.TXT", 1}, {"RAWECG1.DAT", 4}}, false, 1}),
    [](const auto& param_info) { return std::string(param_info.param.name); });
