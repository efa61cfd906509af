#include <windows.h>

#include <string>

#include "support/drives.h"

DriveType drive_type(const std::string& root) {
    switch (GetDriveTypeA(root.c_str())) {
        case DRIVE_NO_ROOT_DIR:
            return DriveType::no_root;
        case DRIVE_REMOVABLE:
            return DriveType::removable;
        case DRIVE_FIXED:
            return DriveType::fixed;
        case DRIVE_REMOTE:
            return DriveType::remote;
        case DRIVE_CDROM:
            return DriveType::cdrom;
        case DRIVE_RAMDISK:
            return DriveType::ramdisk;
        default:
            return DriveType::unknown;
    }
}

void suppress_drive_error_dialogs() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}
