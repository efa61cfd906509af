#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

ScratchFolder::ScratchFolder() {
    static std::atomic<int> serial{0};
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // Parameterised test names hold a slash.
    std::string name = std::string("kado_") + test->name() + '_' + std::to_string(serial++);
    for (char& c : name)
        if (c == '/') c = '_';
    m_path = join_path(::testing::TempDir(), name);
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    // Read-only entries would stop the removal on Windows.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string with_separators(std::string text) {
    for (char& c : text)
        if (c == '\\') c = kPathSeparator;
    return text;
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
