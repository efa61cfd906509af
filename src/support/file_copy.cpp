// Copying one file over another whatever the target's attributes.
#include <string>

#include "support/file_backend.h"
#include "support/file_utils.h"

bool copy_file_plain(const std::string& source, const std::string& target) {
    // Replacing a file by itself would first destroy it.
    if (same_file(source, target)) return true;
    // Normal attributes first, so that a read-only target can be replaced, and again afterwards,
    // because the copy takes the source's read-only attribute along.
    set_normal_attributes(target);
    if (!copy_file_over(source, target)) return false;
    set_normal_attributes(target);
    return true;
}
