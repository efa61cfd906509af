// Keeping the program's windows alive while the window thread waits for something else: the
// conditioning between its steps, the CEF reader while szip runs. Linux has no windows; there it
// does nothing.
#pragma once

// Dispatches every message waiting for the calling thread. A quit request met on the way is
// posted again for the message loop, and the dispatching stops.
void pump_messages();
