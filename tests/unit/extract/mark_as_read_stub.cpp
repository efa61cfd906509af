// Stands in for card storage's marking as read until it is built: counts the calls so that the
// extraction tests can tell whether a read asked for it.
#include "mark_as_read_stub.h"

int g_mark_as_read_calls = 0;
bool g_mark_as_read_allowed_recondition = false;

void CCFDisk::mark_as_read_and_report(bool allow_recondition) {
    ++g_mark_as_read_calls;
    g_mark_as_read_allowed_recondition = allow_recondition;
}
