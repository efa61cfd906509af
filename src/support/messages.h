// Message boxes by string id, captioned with the application title. Boxes shown during a read
// move the analysis application's window aside first and notify it after the box has gone.
#pragma once

#include "support/message_box.h"

MessageAnswer show_string(int id, MessageButtons buttons = MessageButtons::kOk,
                          MessageIcon icon = MessageIcon::kNone);

MessageAnswer show_read_message(int id, MessageButtons buttons = MessageButtons::kOk,
                                MessageIcon icon = MessageIcon::kNone);
