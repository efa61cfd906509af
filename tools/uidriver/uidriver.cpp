// Drives the windows of a running program the way a user would, for the window tests. Each
// argument is one command; the answers go to standard output as UTF-8, one line each, with line
// breaks inside texts written as "\n". The first failing command ends the run with exit code 1.
//
//   window ID [CAPTION]  wait for a shown top-level window that holds control ID (1000: a dialog,
//                        1019: a progress window) and whose caption starts with CAPTION; print
//                        "window: <caption>"; later commands work on it
//   text ID              print "text ID: <text>"
//   set ID TEXT          set the text of an edit box
//   items ID             print "items ID: <item> ..." of a list, the selected one marked with '*'
//   select ID N          select item N of a list as the user would (the dialog is told)
//   click ID             click a button
//   key escape|enter     press the key in the window
//   state ID             print "state ID: visible|hidden enabled|disabled [read-only]"
//   box                  wait for a message box; print "box: <text>"
//   answer ok|cancel|yes|no   press that button of the box and wait until the box is gone
//   gone                 wait until the window is closed
//   screenshot FILE      save the window as it is on the screen as a 24-bit BMP file (a message
//                        box is moved to the screen's corner first)
//
// Every command on a dialog first waits until the program has handled what came before: it went
// back to waiting for input, or it shows a message box, or the window closed.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/win32/wide_text.h"

namespace {

// Bounds, not timings: a read of a long recording under Wine takes minutes at worst.
constexpr auto kWaitLimit = std::chrono::seconds(300);
constexpr UINT kSendLimitMs = 1000;
constexpr int kPatientNameControl = 1000;
constexpr int kProgressControl = 1019;

std::string one_line(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\r') continue;
        if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

std::wstring window_text(HWND window) {
    wchar_t text[4096] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof text[0],
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kSendLimitMs, &copied);
    return text;
}

// A top-level window's caption as the system keeps it: asking the window would wait for a program
// that is busy reading.
std::wstring caption_of(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring class_of(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

template <typename Found>
void wait_until(const char* what, Found found) {
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (!found()) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error(std::string("gave up waiting for ") + what);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<HWND> shown_dialogs() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) {
            if (IsWindowVisible(window) && class_of(window) == L"#32770")
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A message box: a dialog with a button that answers and neither dialog fields nor a bar.
HWND find_box() {
    for (const HWND window : shown_dialogs()) {
        if (GetDlgItem(window, kPatientNameControl) || GetDlgItem(window, kProgressControl))
            continue;
        for (const int button : {IDOK, IDCANCEL, IDYES, IDNO, IDRETRY})
            if (GetDlgItem(window, button)) return window;
    }
    return nullptr;
}

// The box's text is its longest static text; the icon is a static without one.
std::wstring box_text(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(class_of(child).c_str(), L"Static") != 0) continue;
        const std::wstring candidate = window_text(child);
        if (candidate.size() > text.size()) text = candidate;
    }
    return text;
}

// From the screen rather than through the window: a progress window's program is busy reading
// and answers no messages, but its window has been painted.
void save_screenshot(HWND window, const std::string& path) {
    // A message box over the window goes to the corner first.
    if (const HWND box = find_box(); box && box != window)
        SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Painting waits behind every other message; the picture must not.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(row * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = _wfopen(wide_of_utf8(path).c_str(), L"wb");
    if (!out) throw std::runtime_error("cannot write " + path);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
}

class Driver {
  public:
    void run(const std::vector<std::string>& words);

  private:
    HWND control(int id) const {
        const HWND item = GetDlgItem(m_window, id);
        if (!item) throw std::runtime_error("no control " + std::to_string(id));
        return item;
    }
    void settle();
    void find_window(int id, const std::wstring& caption);
    void print(const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    HWND m_window = nullptr;
    HWND m_box = nullptr;
    WPARAM m_sync_mark = 20000;
};

// The program handles posted messages in order: a mark posted after the command has been seen
// once every message before it has been handled, unless a box opened or the window closed first.
void Driver::settle() {
    const HWND edit = GetDlgItem(m_window, kPatientNameControl);
    if (!edit) return;
    const WPARAM mark = ++m_sync_mark;
    PostMessageW(edit, EM_SETLIMITTEXT, mark, 0);
    wait_until("the program to handle the command", [&] {
        DWORD_PTR limit = 0;
        return !IsWindow(m_window) || find_box() != nullptr ||
               (SendMessageTimeoutW(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, kSendLimitMs,
                                    &limit) != 0 &&
                limit == mark);
    });
}

void Driver::find_window(int id, const std::wstring& caption) {
    wait_until("the window", [&] {
        for (const HWND window : shown_dialogs()) {
            if (GetDlgItem(window, id) && caption_of(window).rfind(caption, 0) == 0) {
                m_window = window;
                return true;
            }
        }
        return false;
    });
    print("window: " + utf8_of_wide(caption_of(m_window)));
}

int number(const std::string& word) {
    return std::stoi(word);
}

void Driver::run(const std::vector<std::string>& words) {
    const std::string& command = words.at(0);
    const auto rest = [&](size_t from) {
        std::string text;
        for (size_t i = from; i < words.size(); ++i)
            text += (i > from ? " " : "") + words[i];
        return text;
    };
    if (command != "window" && command != "box" && command != "answer" && command != "screenshot")
        settle();
    if (command == "window") {
        find_window(number(words.at(1)), wide_of_utf8(rest(2)));
    } else if (command == "text") {
        print("text " + words.at(1) + ": " +
              one_line(utf8_of_wide(window_text(control(number(words.at(1)))))));
    } else if (command == "set") {
        const std::wstring text = wide_of_utf8(rest(2));
        SendMessageW(control(number(words.at(1))), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    } else if (command == "items") {
        const HWND list = control(number(words.at(1)));
        const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
        const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
        std::string line = "items " + words.at(1) + ":";
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = L"";
            if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) < 255)
                SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            line += (i == selected ? " *" : " ") + utf8_of_wide(item);
        }
        print(line);
    } else if (command == "select") {
        const int id = number(words.at(1));
        SendMessageW(control(id), CB_SETCURSEL, number(words.at(2)), 0);
        PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(id)));
    } else if (command == "click") {
        const int id = number(words.at(1));
        PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(id)));
    } else if (command == "key") {
        const std::map<std::string, WPARAM> keys{{"escape", VK_ESCAPE}, {"enter", VK_RETURN}};
        const WPARAM key = keys.at(words.at(1));
        PostMessageW(m_window, WM_KEYDOWN, key, 1);
        PostMessageW(m_window, WM_KEYUP, key, 0xC0000001);
    } else if (command == "state") {
        const HWND item = control(number(words.at(1)));
        const LONG style = GetWindowLongW(item, GWL_STYLE);
        print("state " + words.at(1) + ": " + (IsWindowVisible(item) ? "visible" : "hidden") +
              (IsWindowEnabled(item) ? " enabled" : " disabled") +
              ((style & ES_READONLY) != 0 && class_of(item) == L"Edit" ? " read-only" : ""));
    } else if (command == "box") {
        wait_until("a message box", [&] { return (m_box = find_box()) != nullptr; });
        print("box: " + one_line(utf8_of_wide(box_text(m_box))));
    } else if (command == "answer") {
        const std::map<std::string, WPARAM> buttons{
            {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
        const WPARAM button = buttons.at(words.at(1));
        PostMessageW(m_box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_box, static_cast<int>(button))));
        const HWND box = m_box;
        wait_until("the box to close", [&] { return !IsWindow(box) || !IsWindowVisible(box); });
    } else if (command == "screenshot") {
        save_screenshot(m_window, rest(1));
    } else if (command == "gone") {
        wait_until("the window to close", [&] { return !IsWindow(m_window); });
    } else {
        throw std::runtime_error("unknown command");
    }
}

std::vector<std::string> split(const std::string& command) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < command.size()) {
        const size_t end = command.find(' ', at);
        if (end != at) words.push_back(command.substr(at, end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return words;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Lines end in LF alone, as the tests on the host read them.
    _setmode(_fileno(stdout), _O_BINARY);
    Driver driver;
    for (int i = 1; i < argc; ++i) {
        const std::string command = utf8_of_wide(argv[i]);
        try {
            const std::vector<std::string> words = split(command);
            if (words.empty()) throw std::runtime_error("empty command");
            driver.run(words);
        } catch (const std::exception& failure) {
            std::printf("error: %s: %s\n", command.c_str(), failure.what());
            return 1;
        }
    }
    return 0;
}
