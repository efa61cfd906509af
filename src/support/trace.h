// Diagnostic trace lines ("m_exit_code : %i\n", ...). They have no visible effect and never decide
// anything. Windows sends them to the debugger output; both builds also append them to the file
// named by the environment variable KADO_TRACE when it is set, which is how tests read them.
#pragma once

#include <string>

void trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// While alive, the lines this thread traces are kept here instead of being sent out: work done
// ahead on a helper thread keeps its lines for the thread that uses its results, which sends them
// out where the work would have traced them. One capture per thread at a time.
class HeldTraces {
  public:
    HeldTraces();
    ~HeldTraces();
    HeldTraces(const HeldTraces&) = delete;
    HeldTraces& operator=(const HeldTraces&) = delete;
    // The lines kept since the last call.
    std::string take();

  private:
    friend void trace(const char* format, ...);
    std::string m_lines;
};

// Backend hook: hands one formatted trace line to the platform's debugger output.
void debug_output(const std::string& text);
