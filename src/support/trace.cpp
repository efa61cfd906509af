#include "support/trace.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

thread_local HeldTraces* t_held = nullptr;

}  // namespace

HeldTraces::HeldTraces() {
    assert(t_held == nullptr);
    t_held = this;
}

HeldTraces::~HeldTraces() {
    t_held = nullptr;
}

std::string HeldTraces::take() {
    return std::exchange(m_lines, {});
}

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

    if (t_held != nullptr) {
        t_held->m_lines += text;
        return;
    }
    debug_output(text);
    if (const char* sink = std::getenv("KADO_TRACE"); sink != nullptr && *sink != '\0') {
        if (std::FILE* file = std::fopen(sink, "ab")) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
}
