#include "support/messages.h"

#include "support/analysis_window.h"
#include "support/string_ids.h"
#include "support/string_table.h"

MessageAnswer show_string(int id, MessageButtons buttons, MessageIcon icon) {
    return show_message_box(load_string(id), load_string(kStringAppTitle), buttons, icon);
}

MessageAnswer show_read_message(int id, MessageButtons buttons, MessageIcon icon) {
    minimise_analysis_window();
    const MessageAnswer answer = show_string(id, buttons, icon);
    notify_analysis_window();
    return answer;
}
