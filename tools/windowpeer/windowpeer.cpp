// windowpeer LOG [--title=TEXT] [--hung] [--stop-event=NAME] [--leave-boxes]
//
// Shows a top-level window titled TEXT (default "Stratus") and appends one line to LOG for each
// thing it sees: "ready" once the window is up; "minimise" when it is minimised (it restores
// itself, so a second minimise shows again); "notify" for each registered message
// MSG_VURIRI_CLOSED; "box" for each message box of another process, which it answers with the
// safe answer (No, else Cancel, else OK); "frame <hidden|minimised|normal> <answers|silent>
// <title>" for each main window of the program under test (class KadoMainFrame), after asking it
// to answer a message. With --stop-event it then signals that named event. With --hung it stops
// handling messages once the window is up and says "ready" when the system counts it as hung. It
// runs until it is ended.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

constexpr UINT_PTR kLookTimer = 1;
constexpr UINT kLookMilliseconds = 50;
constexpr UINT kRestoreMessage = WM_APP + 1;
// A program busy between two rounds of its messages answers late; a hung one never.
constexpr UINT kAnswerMilliseconds = 60000;
constexpr DWORD kHungMilliseconds = 6000;

std::string g_log;
std::string g_stop_event;
// Boxes are seen but left to another driver of the program.
bool g_leave_boxes = false;
UINT g_closed_message = 0;
std::set<HWND> g_seen;

void log_line(const std::string& line) {
    if (std::FILE* file = std::fopen(g_log.c_str(), "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string class_of(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string title_of(HWND window) {
    wchar_t title[512] = L"";
    GetWindowTextW(window, title, 512);
    char utf8[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

void answer_box(HWND box) {
    log_line("box");
    for (const int button : {IDNO, IDCANCEL, IDOK}) {
        if (GetDlgItem(box, button) != nullptr) {
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            return;
        }
    }
}

// The program's thread handles the sent message only once it waits for messages, which is after
// it has shown the frame in its state; read before that, the state could be the moment between
// creating the frame and showing it.
void probe_frame(HWND frame) {
    DWORD_PTR ignored = 0;
    const bool answers = SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                             kAnswerMilliseconds, &ignored) != 0;
    const char* state = !IsWindowVisible(frame) ? "hidden"
                        : IsIconic(frame)       ? "minimised"
                                                : "normal";
    log_line(std::string("frame ") + state + (answers ? " answers " : " silent ") +
             title_of(frame));
    if (!g_stop_event.empty()) {
        if (HANDLE event = CreateEventA(nullptr, TRUE, FALSE, g_stop_event.c_str())) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
}

BOOL CALLBACK look_at(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || g_seen.count(window) != 0) return TRUE;
    const std::string name = class_of(window);
    // The program's dialogs and progress windows share the dialog class with its message boxes;
    // they hold the name box or the bar.
    const bool box = name == "#32770" && GetDlgItem(window, 1000) == nullptr &&
                     GetDlgItem(window, 1019) == nullptr;
    if (box && IsWindowVisible(window)) {
        g_seen.insert(window);
        if (g_leave_boxes)
            log_line("box");
        else
            answer_box(window);
    } else if (name == "KadoMainFrame") {
        g_seen.insert(window);
        probe_frame(window);
    }
    return TRUE;
}

LRESULT CALLBACK peer_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == g_closed_message) {
        log_line("notify");
        return 0;
    }
    switch (message) {
        case WM_SIZE:
            if (w == SIZE_MINIMIZED) {
                log_line("minimise");
                PostMessageA(window, kRestoreMessage, 0, 0);
            }
            return 0;
        case kRestoreMessage:
            ShowWindow(window, SW_RESTORE);
            return 0;
        case WM_TIMER:
            EnumWindows(look_at, 0);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: windowpeer LOG [--title=TEXT] [--hung] [--stop-event=NAME] [--leave-boxes]\n");
        return 2;
    }
    g_log = argv[1];
    std::string title = "Stratus";
    bool hung = false;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.rfind("--title=", 0) == 0)
            title = option.substr(8);
        else if (option.rfind("--stop-event=", 0) == 0)
            g_stop_event = option.substr(13);
        else if (option == "--hung")
            hung = true;
        else if (option == "--leave-boxes")
            g_leave_boxes = true;
    }
    g_closed_message = RegisterWindowMessageA("MSG_VURIRI_CLOSED");
    WNDCLASSA peer{};
    peer.lpfnWndProc = peer_procedure;
    peer.hInstance = GetModuleHandleA(nullptr);
    peer.lpszClassName = "KadoWindowPeer";
    RegisterClassA(&peer);
    HWND window =
        CreateWindowExA(0, peer.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 320, 200, nullptr, nullptr, peer.hInstance, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "windowpeer: no window, error %lu\n", GetLastError());
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, kLookTimer, kLookMilliseconds, nullptr);
    if (hung) {
        // Ready once the system counts the window as hung: 5 s without reading its messages.
        Sleep(kHungMilliseconds);
        log_line("ready");
        Sleep(INFINITE);
    }
    log_line("ready");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
