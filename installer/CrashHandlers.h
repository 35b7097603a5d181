#pragma once

// Keeps a failing installer silent: an unhandled exception prints "5" and ends the process
// without the system's error report; an invalid parameter to the run-time library prints
// where it happened and lets the failing call return its error code.
void InstallCrashHandlers();
