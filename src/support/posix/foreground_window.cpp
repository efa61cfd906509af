#include "support/foreground_window.h"

ForegroundWindowKeeper::ForegroundWindowKeeper() = default;

ForegroundWindowKeeper::~ForegroundWindowKeeper() = default;
