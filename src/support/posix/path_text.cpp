#include <string>

#include "support/file_backend.h"

// Linux paths are UTF-8 or single-byte text, in which no byte of a longer character is a slash.
size_t find_separator(const std::string& text, size_t from) {
    return text.find('/', from);
}
