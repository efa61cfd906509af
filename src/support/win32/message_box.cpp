#include <windows.h>

#include "support/message_box.h"
#include "support/win32/wide_text.h"

namespace {

UINT style_of(MessageButtons buttons, MessageIcon icon) {
    UINT style = MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST;
    switch (buttons) {
        case MessageButtons::kOk:
            style |= MB_OK;
            break;
        case MessageButtons::kOkCancel:
            style |= MB_OKCANCEL;
            break;
        case MessageButtons::kYesNo:
            style |= MB_YESNO;
            break;
        case MessageButtons::kRetryCancel:
            style |= MB_RETRYCANCEL;
            break;
    }
    switch (icon) {
        case MessageIcon::kNone:
            break;
        case MessageIcon::kInformation:
            style |= MB_ICONINFORMATION;
            break;
        case MessageIcon::kExclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::kStop:
            style |= MB_ICONSTOP;
            break;
        case MessageIcon::kQuestion:
            style |= MB_ICONQUESTION;
            break;
    }
    return style;
}

}  // namespace

MessageAnswer show_message_box(const std::string& text, const std::string& caption,
                               MessageButtons buttons, MessageIcon icon) {
    // A box that cannot be shown (no desktop) answers 0: take the safe answer.
    switch (MessageBoxW(nullptr, wide_of_utf8(text).c_str(), wide_of_utf8(caption).c_str(),
                        style_of(buttons, icon))) {
        case IDYES:
            return MessageAnswer::kYes;
        case IDOK:
            return MessageAnswer::kOk;
        case IDNO:
            return MessageAnswer::kNo;
        case IDCANCEL:
            return MessageAnswer::kCancel;
        case IDRETRY:
            return MessageAnswer::kRetry;
        default:
            return safe_answer(buttons);
    }
}
