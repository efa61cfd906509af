#include "support/analysis_window.h"

void minimise_analysis_window() {}
void notify_analysis_window() {}
