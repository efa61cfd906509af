#include "support/messages.h"

#include <utility>

#include "support/analysis_window.h"
#include "support/code_page.h"
#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/trace.h"

namespace {

MessageHook& message_hook() {
    static MessageHook hook;
    return hook;
}

MessageAnswer show_text(int id, const std::string& text, MessageButtons buttons, MessageIcon icon) {
    // Unattended runs (and boxes Wine answers headless) leave a record of what was asked.
    trace("message %d\n", id);
    if (const MessageHook& hook = message_hook()) return hook(id, text, buttons);
    return show_message_box(text, load_string(kStringAppTitle), buttons, icon);
}

}  // namespace

void set_message_hook(MessageHook hook) {
    message_hook() = std::move(hook);
}

MessageAnswer show_string(int id, MessageButtons buttons, MessageIcon icon) {
    return show_text(id, load_string(id), buttons, icon);
}

MessageAnswer show_string_filled(int id,
                                 std::initializer_list<std::pair<std::string, std::string>> fills,
                                 MessageButtons buttons, MessageIcon icon) {
    std::string text = load_string(id);
    size_t from = 0;
    for (const auto& [placeholder, value] : fills)
        if (const size_t at = text.find(placeholder, from); at != std::string::npos) {
            const std::string shown = utf8_of_system_text(value);
            text.replace(at, placeholder.size(), shown);
            from = at + shown.size();
        }
    return show_text(id, text, buttons, icon);
}

MessageAnswer show_string_replacing(int id, const std::string& placeholder,
                                    const std::string& value, MessageButtons buttons,
                                    MessageIcon icon) {
    return show_string_filled(id, {{placeholder, value}}, buttons, icon);
}

MessageAnswer show_string_followed_by(int id, const std::string& tail, MessageButtons buttons,
                                      MessageIcon icon) {
    return show_text(id, load_string(id) + utf8_of_system_text(tail), buttons, icon);
}

MessageAnswer show_string_with_number(int id, int64_t number, MessageButtons buttons,
                                      MessageIcon icon) {
    return show_string_replacing(id, "%d", std::to_string(number), buttons, icon);
}

MessageAnswer show_read_message(int id, MessageButtons buttons, MessageIcon icon) {
    const AnalysisWindowAside aside;
    return show_string(id, buttons, icon);
}
