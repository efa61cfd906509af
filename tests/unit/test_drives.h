// Drives of a test's own on Linux: a drive map folder (KADO_DRIVES) of links "e:" to folders that
// stand for the drives' roots, labels in their ".windows-label" files, and optionally a mount
// table of the test's own (KADO_MOUNT_TABLE) so that a folder can pose as a network mount.
#pragma once

#if !defined(_WIN32)

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_folder.h"

class TestDrives {
  public:
    TestDrives() {
        std::filesystem::create_directories(map());
        setenv("KADO_DRIVES", map().c_str(), 1);
    }
    ~TestDrives() {
        unsetenv("KADO_DRIVES");
        unsetenv("KADO_MOUNT_TABLE");
    }
    TestDrives(const TestDrives&) = delete;
    TestDrives& operator=(const TestDrives&) = delete;

    // Makes drive X: a folder of its own (created when missing) with the label, or without a
    // label file when the label is empty; returns the folder.
    std::string add(char letter, const std::string& label = "") {
        const std::string root = m_dir / (std::string("root-") + letter);
        std::filesystem::create_directories(root);
        if (!label.empty()) write_file(root + "/.windows-label", label);
        link(letter, root);
        return root;
    }
    // Points drive X: at any path, existing or not.
    void link(char letter, const std::string& target) {
        const std::string name = link_path(letter);
        std::error_code ignored;
        std::filesystem::remove(name, ignored);
        std::filesystem::create_symlink(target, name);
    }
    void remove(char letter) { std::filesystem::remove(link_path(letter)); }
    std::string link_path(char letter) const {
        return map() + "/" + static_cast<char>(std::tolower(letter)) + ":";
    }
    // Replaces the kernel's mount table by "/" on ext4 plus the given lines in /proc/self/mounts
    // format ("source mount-point fstype options 0 0").
    void use_mount_table(const std::string& lines) {
        const std::string table = m_dir / "mounts";
        write_file(table, "/dev/vda1 / ext4 rw 0 0\n" + lines);
        setenv("KADO_MOUNT_TABLE", table.c_str(), 1);
    }
    std::string folder(const std::string& name) const { return m_dir / name; }

  private:
    std::string map() const { return m_dir / "drives"; }
    TestFolder m_dir;
};

#endif
