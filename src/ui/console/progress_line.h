// The console's progress window: one line on a terminal, redrawn in place with the label, a bar
// and the percentage, and ended with a line break when the operation is done. The read and the
// conditioning progress of the console build on it.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

class ProgressLine {
  public:
    // Draws the line at 0 of the range 0 to 100.
    ProgressLine(std::ostream& out, std::string label);
    // Ends the line unless closed already.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Ranges may exceed 16 bits: conditioning counts the card's sectors.
    void set_range(int64_t low, int64_t high);
    void set_position(int64_t position);
    void close();

  private:
    void draw();

    std::ostream& m_out;
    std::string m_label;
    int64_t m_low = 0;
    int64_t m_high = 100;
    int64_t m_position = 0;
    int m_drawn_percent = -1;
    bool m_open = true;
};

// Whether standard error is a terminal, where a progress line can be redrawn in place.
bool progress_line_wanted();
