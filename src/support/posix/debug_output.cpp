#include <string>

#include "support/trace.h"

// Linux has no debugger output channel; the KADO_TRACE file is the only sink.
void debug_output(const std::string&) {}
