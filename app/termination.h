#pragma once

// SIGTERM, SIGINT and SIGHUP close the window as its close button would, so that the
// program ends with status 0 when the session ends or a user interrupts it. Call once,
// with the application made.
void CloseWindowsOnTerminationSignals();
