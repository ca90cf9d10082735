// Linked as an object into a program: installs the crash handler before the
// entry point and releases the line-number table at exit.
#include "kc_stacktrace.h"

#include <cstdlib>

namespace
{
struct CrashHandlerInstaller
{
	CrashHandlerInstaller()
	{
		KC_InstallCrashHandler();
		std::atexit(KC_ReleaseLineNumbers);
	}
};

CrashHandlerInstaller ourCrashHandlerInstaller;
}
