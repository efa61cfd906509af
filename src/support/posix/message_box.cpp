#include "support/message_box.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

const char* prompt_of(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOkCancel:
            return "[o/c] ";
        case MessageButtons::kYesNo:
            return "[y/n] ";
        case MessageButtons::kRetryCancel:
            return "[r/c] ";
        case MessageButtons::kOk:
            break;
    }
    return "[r] ";
}

}  // namespace

MessageAnswer show_message_box(const std::string& text, const std::string& caption,
                               MessageButtons buttons, MessageIcon) {
    std::cerr << caption << ": " << text << '\n' << prompt_of(buttons) << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::cerr << '\n';
        return safe_answer(buttons);
    }
    const char answer = line.empty() ? '\0' : static_cast<char>(line[0] | 0x20);
    if (buttons == MessageButtons::kYesNo && answer == 'y') return MessageAnswer::kYes;
    if (buttons == MessageButtons::kOkCancel && answer == 'o') return MessageAnswer::kOk;
    if (buttons == MessageButtons::kRetryCancel && answer == 'r') return MessageAnswer::kRetry;
    return safe_answer(buttons);
}
