// The two progress windows: modeless, owned by the main window, shown from creation to the end of
// their operation. The read does not let messages through while it runs, so its window repaints
// the bar itself at every step; conditioning lets them through between its steps.
#include <windows.h>
// commctrl.h needs the types of windows.h before it.
#include <commctrl.h>

#include "card/condition_progress.h"
#include "extract/progress_control.h"
#include "support/message_pump.h"
#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/win32/wide_text.h"
#include "ui/dialog_windows.h"
#include "ui/main_window.h"
#include "ui/win32/dialog_resources.h"
#include "ui/win32/window_text.h"

namespace {

// Enter and Escape reach a progress window as its OK and Cancel commands; both do nothing, so
// a key pressed while a card is conditioned neither closes the window nor stops the work.
INT_PTR CALLBACK progress_proc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

// The window with its bar at 0 of 0..100; null when it cannot be created.
HWND open_progress_window(int template_id, int label_text) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    const HWND window =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id),
                           static_cast<HWND>(main_window_handle()), progress_proc, 0);
    if (window == nullptr) return nullptr;
    SetWindowTextW(window, wide_of_utf8(load_string(kStringAppTitle)).c_str());
    set_control_texts(window, {{IDC_PROGRESS_LABEL, label_text}});
    SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETRANGE32, 0, 100);
    SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    UpdateWindow(window);
    return window;
}

class ReadProgressWindow : public ProgressControl {
  public:
    explicit ReadProgressWindow(HWND window) : m_window(window) {}
    ~ReadProgressWindow() override { DestroyWindow(m_window); }
    ReadProgressWindow(const ReadProgressWindow&) = delete;
    ReadProgressWindow& operator=(const ReadProgressWindow&) = delete;

    // The read's range is a 16-bit one.
    void set_range(int low, int high) override {
        SendDlgItemMessageW(m_window, IDC_PROGRESS, PBM_SETRANGE, 0,
                            MAKELPARAM(static_cast<WORD>(low), static_cast<WORD>(high)));
    }
    void set_pos(int pos) override {
        SendDlgItemMessageW(m_window, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
        UpdateWindow(m_window);
    }

  private:
    HWND m_window;
};

class ConditionProgressWindow : public ConditionProgress {
  public:
    ConditionProgressWindow() = default;
    ~ConditionProgressWindow() override { close(); }
    ConditionProgressWindow(const ConditionProgressWindow&) = delete;
    ConditionProgressWindow& operator=(const ConditionProgressWindow&) = delete;

    // A 32-bit range: a card has far more than 65535 sectors to write.
    void open(int32_t sectors) override {
        close();
        m_window = open_progress_window(IDD_CONDITION_PROGRESS, kTextConditionProgress);
        SendDlgItemMessageW(m_window, IDC_PROGRESS, PBM_SETRANGE32, 0, sectors);
        SendDlgItemMessageW(m_window, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    }
    void set_position(int32_t sector) override {
        SendDlgItemMessageW(m_window, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(sector), 0);
        UpdateWindow(m_window);
    }
    void close() override {
        if (m_window != nullptr) DestroyWindow(m_window);
        m_window = nullptr;
    }
    // The window has no action a key could start, so the thread's plain pump serves it.
    void pump_messages() override { ::pump_messages(); }

  private:
    HWND m_window = nullptr;
};

}  // namespace

std::unique_ptr<ProgressControl> open_read_progress() {
    const HWND window = open_progress_window(IDD_READ_PROGRESS, kTextReadProgress);
    if (window == nullptr) return nullptr;
    return std::make_unique<ReadProgressWindow>(window);
}

std::unique_ptr<ConditionProgress> make_condition_progress() {
    return std::make_unique<ConditionProgressWindow>();
}
