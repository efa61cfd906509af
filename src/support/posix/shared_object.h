// Named objects shared between processes on Linux, behind the named events and the mapped
// sections. Windows removes a named kernel object when its last handle closes, so a new one always
// starts fresh; a POSIX shared-memory object stays until somebody removes it, also when every
// process that used it was killed. This unit gives the objects the Windows lifetime:
//  - a holder keeps a shared lock (an open-file-description read lock on byte 0) for as long as
//    it holds the object, so the kernel drops it when the holder ends, however it ends;
//  - holding, releasing and the test for other holders run under an exclusive flock on the
//    object, so that two processes opening at once, or one opening while another releases, never
//    interleave;
//  - an object that nobody else holds is stale: an opener that may create it empties it and sizes
//    it anew, as if it had just been created; an opener that may not create it finds nothing;
//  - the last holder to release the object removes its name.
// The objects are files in $KADO_SHM_DIR when that is set (tests use a small or private folder),
// else in /dev/shm, where shm_open keeps them: other programs find them by the same names.
#pragma once

#include <cstddef>
#include <string>

struct HeldObject {
    int fd = -1;  // -1: not held
    // Nobody else held it: it was emptied and sized afresh for this holder.
    bool fresh = false;
};

// Holds the object of this name. With create_size above 0 a missing or stale object is made
// (create_size zero bytes, reserved on the medium so that writing it can never fail); with 0 only
// an object that somebody holds is opened. A writable hold reserves the pages of an existing
// object too. Not held when the name cannot be a file name, or the object is missing or cannot be
// made or reserved.
HeldObject hold_shared_object(const std::string& name, size_t create_size, bool writable);

// Drops the hold and closes the descriptor; the last holder removes the object.
void release_shared_object(int fd, const std::string& name);
