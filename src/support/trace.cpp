#include "support/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    // The analyzer does not see that va_copy initialises the copy.
    const int length = std::vsnprintf(nullptr, 0, format, copy);  // NOLINT(clang-analyzer-valist.*)
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);

    debug_output(text);
    if (const char* sink = std::getenv("KADO_TRACE"); sink != nullptr && *sink != '\0') {
        if (std::FILE* file = std::fopen(sink, "ab")) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
}
