#include "card/card_rewrite.h"

#include "support/card_file.h"
#include "support/file_utils.h"

bool write_keeping_read_only(const std::string& path, const std::function<bool()>& write) {
    const bool was_read_only = is_read_only(path);
    if (was_read_only) clear_read_only(path);
    const bool written = write();
    if (was_read_only) set_read_only(path);
    return written;
}

bool rewrite_card_file(const std::string& path, std::span<const uint8_t> bytes) {
    return write_keeping_read_only(path, [&] { return write_card_file(path, bytes); });
}
