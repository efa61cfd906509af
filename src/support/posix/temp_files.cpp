// Temporary names on Linux: TMPDIR or /tmp, and files named like the Windows ones ("RM" prefix,
// ".tmp" extension) so that the code that renames them behaves alike. Folders come from mkdtemp:
// created at once, private to the user, so nobody can plant a link inside between two steps.
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/file_utils.h"

std::string temp_folder() {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string temp_file_name() {
    std::string name = join_path(temp_folder(), "RMXXXXXX.tmp");
    const int fd = mkstemps(name.data(), 4);
    if (fd < 0) return {};
    close(fd);
    return name;
}

std::string make_temp_folder(const std::string& ext) {
    std::string name = join_path(temp_folder(), "RM" + ext + "XXXXXX");
    if (mkdtemp(name.data()) == nullptr) return {};
    return name;
}
