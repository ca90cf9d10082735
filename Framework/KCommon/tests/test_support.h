#ifndef KC_TEST_SUPPORT_H
#define KC_TEST_SUPPORT_H

// Linked into every framework test: the fatal message box writes
// "<caption>|<text>" to standard error instead of showing a box that blocks.

// The exit code that a test observes after FatalError: -666 on Windows; its
// low byte on the host, where exit codes are 8 bits.
#ifdef _WIN32
const int kFatalExitCode = -666;
#else
const int kFatalExitCode = -666 & 0xFF;
#endif

#endif
