// The default card drive letter, '?' for none. Read from the profile at start-up, changed by the
// card search and the Initialise dialog, written back to the profile at exit.
#pragma once

extern char g_default_drive;
