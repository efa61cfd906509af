// Message boxes: application-modal, foreground and topmost on Windows. On Linux the text goes to
// standard error and the answer is one line from standard input; at end of input, or wherever no
// box can be shown (a headless session), the safe answer is taken: OK, No or Cancel. Retry is
// never the safe answer: an unattended run must not loop. Texts are UTF-8.
#pragma once

#include <string>

enum class MessageButtons { kOk, kOkCancel, kYesNo, kRetryCancel };
enum class MessageIcon { kNone, kInformation, kExclamation, kStop, kQuestion };
enum class MessageAnswer { kOk, kCancel, kYes, kNo, kRetry };

// The answer that never does anything destructive: OK, No or Cancel.
inline MessageAnswer safe_answer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOkCancel:
        case MessageButtons::kRetryCancel:
            return MessageAnswer::kCancel;
        case MessageButtons::kYesNo:
            return MessageAnswer::kNo;
        case MessageButtons::kOk:
            break;
    }
    return MessageAnswer::kOk;
}

MessageAnswer show_message_box(const std::string& text, const std::string& caption,
                               MessageButtons buttons, MessageIcon icon);
