// A fresh, empty temporary folder named like the platform's temporary files.
#include <string>

#include "support/file_utils.h"

std::string make_temp_folder(const std::string& ext) {
    const std::string file = temp_file_name();
    if (file.empty()) return {};
    std::string folder = change_extension(file, ext);
    // The empty file reserved the unique name; the folder takes its place. Letter case does not
    // tell names apart here, so the file goes even when only the extension's case changed.
    delete_file(folder);
    if (folder != file) delete_file(file);
    make_directory_tree(folder);
    if (folder_exists(folder) && empty_folder(folder)) return folder;
    return {};
}
