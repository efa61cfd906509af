#include "ui/console/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

namespace {

constexpr int kBarWidth = 30;

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, std::string label)
    : m_out(out), m_label(std::move(label)) {
    draw();
}

ProgressLine::~ProgressLine() {
    close();
}

void ProgressLine::set_range(int64_t low, int64_t high) {
    m_low = low;
    m_high = high;
    draw();
}

void ProgressLine::set_position(int64_t position) {
    m_position = position;
    draw();
}

void ProgressLine::close() {
    if (!m_open) return;
    m_open = false;
    m_out << '\n' << std::flush;
}

void ProgressLine::draw() {
    if (!m_open) return;
    const int64_t span = m_high - m_low;
    const int64_t done = std::clamp<int64_t>(m_position - m_low, 0, std::max<int64_t>(span, 0));
    const int percent = span > 0 ? static_cast<int>(done * 100 / span) : 0;
    // A redraw per sector would flood a slow terminal; the line changes only with the percentage.
    if (percent == m_drawn_percent) return;
    m_drawn_percent = percent;
    const int filled = percent * kBarWidth / 100;
    m_out << '\r' << m_label << " [" << std::string(filled, '#')
          << std::string(kBarWidth - filled, '-') << "] " << percent << '%' << std::flush;
}

bool progress_line_wanted() {
    return isatty(STDERR_FILENO) == 1;
}
