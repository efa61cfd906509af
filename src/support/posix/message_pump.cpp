#include "support/message_pump.h"

// A console program has no window messages to handle.
void pump_messages() {}
