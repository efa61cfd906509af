#include "card/default_drive.h"

char g_default_drive = '?';
