#pragma once

// Lets pending window messages run, so that long operations on the GUI thread
// (adding files, scans, index rebuilds, tree fills) keep the window painting.
void ProcessPendingEvents();
