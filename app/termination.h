#pragma once

// On SIGTERM, SIGINT or SIGHUP, `end` runs in the event loop: the window closes as its close
// button would, the screensaver quits, so that the program ends with status 0 when the
// session ends, the screensaver daemon stops it or a user interrupts it. Call once, with the
// application made.
void OnTerminationSignals(void (*end)());
