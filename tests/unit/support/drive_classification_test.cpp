// How the Linux backend classifies the drives of a drive map and reads their labels, with mount
// tables of the test's own standing in for mounts a test machine cannot make.
#include <gtest/gtest.h>

#if !defined(_WIN32)

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/drives.h"
#include "support/file_utils.h"
#include "test_drives.h"
#include "test_folder.h"

namespace {

TEST(DriveType, ClassifiesEachDriveByTheMountThatServesIt) {
    TestDrives drives;
    const std::string root = drives.add('E');
    const struct {
        const char* file_system;
        const char* source;
        DriveType type;
    } cases[] = {
        {"nfs", "server:/export", DriveType::remote},
        {"cifs", "//server/share", DriveType::remote},
        {"autofs", "systemd-1", DriveType::remote},
        {"fuse.sshfs", "user@host:", DriveType::remote},
        {"iso9660", "/dev/sr0", DriveType::cdrom},
        // A folder in memory is a fixed drive, as Wine reports folder drives.
        {"tmpfs", "tmpfs", DriveType::fixed},
        {"fuse.portal", "portal", DriveType::fixed},
    };
    for (const auto& c : cases) {
        drives.use_mount_table(std::string(c.source) + " " + root + " " + c.file_system +
                               " rw 0 0\n");
        EXPECT_EQ(drive_type("E:/"), c.type) << c.file_system;
    }
}

TEST(DriveType, TellsANetworkDriveFromItsLinkWithoutAskingTheTarget) {
    TestDrives drives;
    // The link's target does not exist: any stat or realpath of it would fail, and the drive
    // would be one without root. Only the link as written and the mount table can say "remote".
    const std::string export_root = drives.folder("mnt/nfs");
    drives.link('N', export_root + "/./cards/../card");
    drives.use_mount_table("server:/export " + export_root + " nfs rw,hard 0 0\n");
    EXPECT_EQ(drive_type("N:/"), DriveType::remote);
    EXPECT_NE(logical_drives() & (1u << ('N' - 'A')), 0u);
    // A relative link counts from the drive map folder.
    drives.link('R', "../mnt/nfs/card");
    EXPECT_EQ(drive_type("R:/"), DriveType::remote);
    // The same link on a local mount is a link to nothing: no drive at all.
    drives.use_mount_table("");
    EXPECT_EQ(drive_type("N:/"), DriveType::no_root);
    EXPECT_EQ(logical_drives() & (1u << ('N' - 'A')), 0u);
}

TEST(VolumeLabel, ReadsTheLabelLinkOfTheDeviceMountedAtTheRoot) {
    TestDrives drives;
    const std::string root = drives.add('E', "FROMFILE");
    const std::string device = drives.folder("sdz1");
    write_file(device, "not a file system");
    const std::string links = drives.folder("by-label");
    std::filesystem::create_directories(links);
    std::filesystem::create_symlink("../sdz1", links + "/VNT\\x20CFR");
    std::filesystem::create_symlink("../elsewhere", links + "/OTHER");
    const ScopedEnv label_links("KADO_LABEL_LINKS", links);

    drives.use_mount_table(device + " " + root + " vfat rw 0 0\n");
    EXPECT_EQ(volume_label('E'), "VNT CFR");
    // The file system's own label is not rewritten while mounted.
    EXPECT_FALSE(can_set_volume_label("E:/"));
    EXPECT_FALSE(set_volume_label("E:/", "VNT_CFR"));
    EXPECT_EQ(read_file(root + "/.windows-label"), "FROMFILE");

    // A device without a label link, or a mount below the root, leaves the label file in charge.
    std::filesystem::remove(links + "/VNT\\x20CFR");
    EXPECT_EQ(volume_label('E'), "FROMFILE");
    drives.use_mount_table(device + " " + root.substr(0, root.rfind('/')) + " vfat rw 0 0\n");
    std::filesystem::create_symlink("../sdz1", links + "/VNT_CFR");
    EXPECT_EQ(volume_label('E'), "FROMFILE");
    EXPECT_TRUE(can_set_volume_label("E:/"));
    // Only where the label file is writable.
    EXPECT_FALSE(can_set_volume_label("F:/"));
    chmod((root + "/.windows-label").c_str(), 0444);
    EXPECT_FALSE(can_set_volume_label("E:/"));
}

}  // namespace

#endif
