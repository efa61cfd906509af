// Message boxes by string id, captioned with the application title. Boxes shown during a read
// move the analysis application's window aside first and notify it after the box has gone.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "support/message_box.h"

MessageAnswer show_string(int id, MessageButtons buttons = MessageButtons::kOk,
                          MessageIcon icon = MessageIcon::kNone);
// The text of the id with its first placeholder (such as "%d" or "%") replaced by the value.
MessageAnswer show_string_replacing(int id, const std::string& placeholder,
                                    const std::string& value,
                                    MessageButtons buttons = MessageButtons::kOk,
                                    MessageIcon icon = MessageIcon::kNone);
// The text of the id with each placeholder's first occurrence replaced by its value, in order.
// Values are texts of the system (paths, numbers, drive letters).
MessageAnswer show_string_filled(int id,
                                 std::initializer_list<std::pair<std::string, std::string>> fills,
                                 MessageButtons buttons = MessageButtons::kOk,
                                 MessageIcon icon = MessageIcon::kNone);
// The text of the id followed by the tail, a system text such as the path the text speaks of.
MessageAnswer show_string_followed_by(int id, const std::string& tail,
                                      MessageButtons buttons = MessageButtons::kOk,
                                      MessageIcon icon = MessageIcon::kNone);
// The text of the id with its "%d" replaced by the number, which may exceed 32 bits.
MessageAnswer show_string_with_number(int id, int64_t number,
                                      MessageButtons buttons = MessageButtons::kOk,
                                      MessageIcon icon = MessageIcon::kNone);

MessageAnswer show_read_message(int id, MessageButtons buttons = MessageButtons::kOk,
                                MessageIcon icon = MessageIcon::kNone);

// A test seam: while a hook is set, every box by string id goes to the hook instead of the
// screen or the console, with its id and final text, and the hook's answer is taken. An empty
// hook restores the real boxes.
using MessageHook =
    std::function<MessageAnswer(int id, const std::string& text, MessageButtons buttons)>;
void set_message_hook(MessageHook hook);
