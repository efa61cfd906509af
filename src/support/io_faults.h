// A seam for testing what the program does when the medium fails, in the manner of SQLite's error
// countdown: armed, it makes the nth I/O step of one kind (or of any kind) fail once, exactly as
// the platform call it stands in front of would have failed. The writers that put the program's
// results on a medium consult it before each step: OutputFile, the card-file writer, the file
// copies and MappedSection. Unit tests arm it directly; a whole run is armed by the environment
// variable KADO_IO_FAULT, read once at start-up, so that the end-to-end tests can fail any step of
// a real run in every build. Unarmed, a step costs the test of one flag.
#pragma once

#include <cstdint>
#include <string>

enum class IoStep : uint8_t {
    create,  // creating or opening a file for writing
    write,   // one write call
    flush,   // committing a file: flushing it to the medium, or the close that writes its rest
    map,     // making or opening a named section and mapping it
};

// The process's one seam state; only this unit and io_step_fails touch it.
struct IoFaults {
    bool armed = false;
    bool any_kind = false;
    IoStep kind = IoStep::write;
    // Steps of the armed kind until the one that fails; 0 once it has failed, or when the seam
    // only counts.
    int64_t countdown = 0;
    // Steps of every kind since the seam was armed.
    int64_t steps = 0;
};
extern IoFaults g_io_faults;

// The nth step of the kind (n = 1: the next one) fails; n = 0 fails none. While armed, every step
// writes the trace line "I/O step <count>: <kind>", ending in " fails" for the failing one, so a
// test can count the steps of a clean run and then fail each of them in turn.
void arm_io_fault(IoStep kind, int64_t nth);
void arm_io_fault_any(int64_t nth);
void disarm_io_fault();
// Arms from text such as "write:3" or "any:12" (kinds create, write, flush, map, any). False, and
// the seam left as it was, for any other text.
bool arm_io_fault_from_text(const std::string& text);
// Arms from KADO_IO_FAULT when it is set; a text it cannot take is traced and ignored.
void arm_io_fault_from_environment();

// Counts an armed step; true when it is the one to fail.
bool count_io_step(IoStep step);

// Called just before each I/O step; true means: fail it as the platform would.
inline bool io_step_fails(IoStep step) {
    return g_io_faults.armed && count_io_step(step);
}
