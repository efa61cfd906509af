// A tmpfs of a chosen size on a folder, for as long as the object lives: a card small enough to
// be filled, or a folder of shared-memory objects too small for a read. Mounting needs root; tests
// skip where it fails. A size of 0 mounts nothing.
#pragma once

#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

class ScratchTmpfs {
  public:
    ScratchTmpfs(std::string folder, uint64_t bytes) : m_folder(std::move(folder)) {
        std::filesystem::create_directories(m_folder);
        const std::string options = "size=" + std::to_string(bytes);
        m_mounted =
            bytes != 0 && mount("tmpfs", m_folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScratchTmpfs() {
        if (m_mounted) umount2(m_folder.c_str(), MNT_DETACH);
    }
    ScratchTmpfs(const ScratchTmpfs&) = delete;
    ScratchTmpfs& operator=(const ScratchTmpfs&) = delete;

    bool mounted() const { return m_mounted; }

  private:
    std::string m_folder;
    bool m_mounted = false;
};

#define SKIP_UNLESS_MOUNTED(tmpfs) \
    if (!(tmpfs).mounted()) GTEST_SKIP() << "mounting a tmpfs needs root"

#endif
