// Drives of a test's own on Linux: a drive map folder (KADO_DRIVES) of links "e:" to folders that
// stand for the drives' roots, and optionally a mount table of the test's own (KADO_MOUNT_TABLE)
// so that a folder can pose as a network mount.
#pragma once

#if !defined(_WIN32)

#include <string>

#include "drive_map.h"
#include "test_folder.h"

// The folder comes first, as a base, so that the map can be made inside it.
struct TestDrivesFolder {
    TestFolder m_dir;
};

class TestDrives : private TestDrivesFolder, public DriveMap {
  public:
    TestDrives() : DriveMap(m_dir / "drives") {}

    // Makes drive X: a folder of its own (created when missing) with the label, or without a
    // label file when the label is empty; returns the folder.
    std::string add(char letter, const std::string& label = "") {
        const std::string root = m_dir / (std::string("root-") + letter);
        map(letter, root, label);
        return root;
    }
    // Replaces the kernel's mount table by "/" on ext4 plus the given lines in /proc/self/mounts
    // format ("source mount-point fstype options 0 0").
    void use_mount_table(const std::string& lines) {
        const std::string table = m_dir / "mounts";
        write_file(table, "/dev/vda1 / ext4 rw 0 0\n" + lines);
        m_mount_table.set(table);
    }
    std::string folder(const std::string& name) const { return m_dir / name; }

  private:
    ScopedEnv m_drives{"KADO_DRIVES", DriveMap::folder()};
    ScopedEnv m_mount_table{"KADO_MOUNT_TABLE", ""};
};

#endif
