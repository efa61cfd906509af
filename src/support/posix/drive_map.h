// The drive map of the Linux backend: the link that stands for each drive letter, and what it
// points at as written, for code that must classify a drive before touching it.
#pragma once

#include <optional>
#include <string>

// The path of the map entry "e:" for the letter (either case).
std::string drive_link(char letter);

// The absolute path the map entry points at, read without following it (a relative link counts
// from the map folder; an entry that is a folder itself is its own target). Nothing when the map
// has no entry for the letter.
std::optional<std::string> drive_link_target(char letter);

// Whether the drive's target, as written, lies on a network mount. Asks nothing of the target
// itself, so a hard NFS mount whose server is gone cannot stall the caller.
bool drive_on_network_mount(char letter);
