// The drive letters of the machine and their kinds, for the card search and the Initialise
// dialog's drive lists. On Linux the drives are the links "a:" to "z:" of the drive map folder
// (KADO_DRIVES, else $XDG_CONFIG_HOME/kado/drives, else ~/.config/kado/drives), each pointing at
// the folder or mount point that serves as the drive's root, the way Wine's dosdevices do.
#pragma once

#include <cstdint>
#include <string>

#include "support/file_utils.h"

// Bit 0 for A: up to bit 25 for Z:, set for each drive that exists.
uint32_t logical_drives();

// "E:" followed by the separator: the text that names the drive's root folder.
inline std::string drive_root(char letter) {
    return std::string{letter, ':', kPathSeparator};
}

enum class DriveType { unknown, no_root, removable, fixed, remote, cdrom, ramdisk };

// The kind of the drive whose root folder is given. Linux derives it from the mount that serves
// the root: network and optical file systems, and block devices that the kernel marks removable;
// every other existing folder counts as fixed, a folder in memory (tmpfs) too, as Wine reports
// folder drives. A drive of the drive map on a network mount is told from its link as written,
// without asking its server anything, and a link to nothing is a drive without root.
DriveType drive_type(const std::string& root);

// For the rest of the run, a drive without media or a failing volume makes the calls fail instead
// of asking the user (Windows shows a critical-error box otherwise). Nothing to do on Linux.
void suppress_drive_error_dialogs();
