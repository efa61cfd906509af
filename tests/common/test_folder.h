// A fresh folder for one test, removed with its contents afterwards; byte-file helpers;
// environment variables set for one test and the trace lines written while it runs. Header-only,
// for the unit and end-to-end suites.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "output_files.h"

class TestFolder {
  public:
    TestFolder() {
        // A serial keeps two folders of one test apart, a token of this run two test binaries
        // that run at once; parameterised names hold slashes.
        static std::atomic<int> serial{0};
        static const std::string run = std::to_string(std::random_device{}() % 1000000);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string leaf = std::string(info->test_suite_name()) + "." + info->name() + "." + run +
                           "." + std::to_string(serial++);
        std::ranges::replace(leaf, '/', '_');
        m_path = std::filesystem::path(::testing::TempDir()) / leaf;
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TestFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        // Read-only entries would stop the removal on Windows.
        for (const auto& entry : fs::recursive_directory_iterator(m_path, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string path() const { return m_path.string(); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::string operator/(const std::string& name) const { return file(name); }

  private:
    std::filesystem::path m_path;
};

// Path text written with backslashes, as the recorder's documents write it, in the platform's form.
inline std::string with_separators(std::string text) {
#if !defined(_WIN32)
    std::ranges::replace(text, '\\', '/');
#endif
    return text;
}

// A text file written in text mode, its lines ended with LF as on Linux, not CR LF as on Windows.
inline std::string read_text(const std::string& path) {
    std::string text = read_file(path);
    std::erase(text, '\r');
    return text;
}

// A build tool's path as the program under test names it (Z:\... under Wine).
inline std::string tool_path(std::string path) {
#if defined(_WIN32)
    path = "Z:" + path;
    std::ranges::replace(path, '/', '\\');
#endif
    return path;
}

// Sets the variable while it lives and gives it back its earlier value (or none) afterwards; an
// empty value removes it.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        set(value);
    }
    ~ScopedEnv() { set(m_old.value_or("")); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const std::string& value) const {
#if defined(_WIN32)
        _putenv_s(m_name, value.c_str());
#else
        if (value.empty())
            unsetenv(m_name);
        else
            setenv(m_name, value.c_str(), 1);
#endif
    }

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Collects the trace lines written while it lives.
class TraceCapture {
  public:
    std::string text() const { return read_file(m_folder / "trace.txt"); }

  private:
    TestFolder m_folder;
    ScopedEnv m_trace{"KADO_TRACE", m_folder / "trace.txt"};
};
