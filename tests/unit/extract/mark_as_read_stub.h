// The calls the extraction made to mark the recording as read (see mark_as_read_stub.cpp).
#pragma once

#include "card/ccf_disk.h"

extern int g_mark_as_read_calls;
extern bool g_mark_as_read_allowed_recondition;
