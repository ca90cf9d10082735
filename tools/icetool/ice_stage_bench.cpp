// Peak resident memory and processor time (user and system) of each stage of
// bringing an Ice file up to date, as Ice::Load does it with conversion: "compiled", "re-saved" (when the text is
// re-saved), "written", "freed" (the Juice tree gone), then "reloaded" (the Ice
// file loaded). Linux only: the peaks are read from /proc/self/status and reset
// through /proc/self/clear_refs between stages.
// usage: ice_stage_bench NAME.ice   (in the folder of NAME.juice)
#include "Ice.h"
#include "JuiceToIce.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/resource.h>

namespace
{
// VmHWM and VmRSS in KiB; false when they cannot be read.
bool ReadMemory(long& aPeak, long& aResident)
{
	std::FILE* locStatus = std::fopen("/proc/self/status", "r");
	if (!locStatus)
		return false;
	char locLine[256];
	aPeak = aResident = -1;
	while (std::fgets(locLine, sizeof(locLine), locStatus))
	{
		if (std::strncmp(locLine, "VmHWM:", 6) == 0)
			aPeak = std::atol(locLine + 6);
		else if (std::strncmp(locLine, "VmRSS:", 6) == 0)
			aResident = std::atol(locLine + 6);
	}
	std::fclose(locStatus);
	return aPeak >= 0 && aResident >= 0;
}

bool ResetPeak()
{
	std::FILE* locReset = std::fopen("/proc/self/clear_refs", "w");
	if (!locReset)
		return false;
	bool locDone = std::fputs("5", locReset) >= 0;
	return std::fclose(locReset) == 0 && locDone;
}

// Processor time of the process so far, in milliseconds.
double ProcessorMilliseconds()
{
	rusage locUsage;
	if (getrusage(RUSAGE_SELF, &locUsage) != 0)
		return 0;
	return (locUsage.ru_utime.tv_sec + locUsage.ru_stime.tv_sec) * 1000.0 +
	       (locUsage.ru_utime.tv_usec + locUsage.ru_stime.tv_usec) / 1000.0;
}

std::string ourLine;
bool ourFailed = false;
double ourStageStart = 0;

// Adds "STAGE PEAK MiB" for the stage that has just ended and starts the next.
void EndStage(const char* aStage)
{
	long locPeak = 0, locResident = 0;
	if (!ReadMemory(locPeak, locResident) || !ResetPeak())
	{
		ourFailed = true;
		return;
	}
	double locNow = ProcessorMilliseconds();
	char locText[128];
	std::snprintf(locText, sizeof(locText), ", %s %.1f MiB %.0f ms", aStage, locPeak / 1024.0, locNow - ourStageStart);
	ourLine += locText;
	ourStageStart = locNow;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc != 2)
	{
		std::fprintf(stderr, "usage: ice_stage_bench NAME.ice\n");
		return 2;
	}
	long locPeak = 0, locResident = 0;
	if (!ReadMemory(locPeak, locResident) || !ResetPeak())
	{
		std::fprintf(stderr, "ice_stage_bench: /proc/self/status or /proc/self/clear_refs cannot be used\n");
		return 1;
	}
	char locStart[64];
	std::snprintf(locStart, sizeof(locStart), "start %.1f MiB", locResident / 1024.0);
	ourLine = locStart;
	ourStageStart = ProcessorMilliseconds();
	JuiceToIce::ourStageObserver = EndStage;
	Ice* locRoot = Ice::Load(argv[1], true);
	JuiceToIce::ourStageObserver = NULL;
	if (!locRoot)
	{
		std::fprintf(stderr, "ice_stage_bench: '%s' was not brought up to date\n", argv[1]);
		return 1;
	}
	EndStage("reloaded");
	delete locRoot;
	if (ourFailed)
	{
		std::fprintf(stderr, "ice_stage_bench: the peaks could not be read\n");
		return 1;
	}
	std::printf("%s\n", ourLine.c_str());
	return 0;
}
