// The progress bar a read moves. The progress dialog gives a real one; without it the read runs
// with none.
#pragma once

class ProgressControl {
  public:
    virtual ~ProgressControl() = default;
    virtual void set_range(int low, int high) = 0;
    virtual void set_pos(int pos) = 0;
};
