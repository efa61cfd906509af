// The read and conditioning progress of the Linux program: a progress line on standard error
// when it is a terminal; none otherwise, so logs and pipes get no carriage returns.
#include <iostream>
#include <memory>
#include <optional>

#include "card/condition_progress.h"
#include "extract/progress_control.h"
#include "support/string_ids.h"
#include "support/string_table.h"
#include "ui/console/progress_line.h"
#include "ui/dialog_windows.h"

namespace {

class ReadProgressLine : public ProgressControl {
  public:
    ReadProgressLine() : m_line(std::cerr, load_string(kTextReadProgress)) {}
    void set_range(int low, int high) override { m_line.set_range(low, high); }
    void set_pos(int pos) override { m_line.set_position(pos); }

  private:
    ProgressLine m_line;
};

class ConditionProgressLine : public ConditionProgress {
  public:
    void open(int32_t sectors) override {
        m_line.emplace(std::cerr, load_string(kTextConditionProgress));
        m_line->set_range(0, sectors);
    }
    void set_position(int32_t sector) override {
        if (m_line) m_line->set_position(sector);
    }
    void close() override { m_line.reset(); }
    // The console has no window messages to let through.
    void pump_messages() override {}

  private:
    std::optional<ProgressLine> m_line;
};

}  // namespace

std::unique_ptr<ProgressControl> open_read_progress() {
    if (!progress_line_wanted()) return nullptr;
    return std::make_unique<ReadProgressLine>();
}

std::unique_ptr<ConditionProgress> make_condition_progress() {
    if (!progress_line_wanted()) return nullptr;
    return std::make_unique<ConditionProgressLine>();
}
