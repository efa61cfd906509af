// The filtering half of the directory enumeration; the backends read the raw entries.
#include "support/file_finder.h"

#include "support/file_utils.h"

namespace {

bool reported(uint32_t attributes, uint32_t mask) {
    if (mask == kFindFiles) return (attributes & kAttributeDirectory) == 0;
    if (mask == kFindAll) return true;
    return (attributes & mask) != 0;
}

}  // namespace

FileFinder::FileFinder(const std::string& pattern, uint32_t attribute_mask)
    : m_folder(folder_with_slash(pattern)), m_mask(attribute_mask) {
    if (!open(pattern)) {
        m_done = true;
        return;
    }
    next();
}

void FileFinder::next() {
    if (m_done) return;
    while (read_entry()) {
        if (!m_name.empty() && m_name[0] != '.' && reported(m_attributes, m_mask)) return;
    }
    m_done = true;
}
