// linetable: appends the crash handler's line-number table to a Windows executable.

#include "linetable_lib.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
const char* const ourUsage =
	"usage: linetable [--objdump PROGRAM] EXECUTABLE\n"
	"\n"
	"Reads the line information of EXECUTABLE with PROGRAM (objdump by default,\n"
	"--dwarf=decodedline), builds the line-number table and appends it as a\n"
	"version-0 trailer chunk (nothing when it already ends with one).\n";
}

int main(int argc, char** argv)
{
	std::string locObjdump = "objdump";
	std::string locExecutable;
	for (int i = 1; i < argc; ++i)
	{
		if (std::strcmp(argv[i], "--objdump") == 0 && i + 1 < argc)
			locObjdump = argv[++i];
		else if (std::strcmp(argv[i], "--help") == 0)
		{
			std::fputs(ourUsage, stdout);
			return 0;
		}
		else if (locExecutable.empty() && argv[i][0] != '-')
			locExecutable = argv[i];
		else
		{
			std::fputs(ourUsage, stderr);
			return 2;
		}
	}
	if (locExecutable.empty())
	{
		std::fputs(ourUsage, stderr);
		return 2;
	}
	// A build step may run again on an executable that was not linked anew.
	if (LT_FileEndsWithChunk(locExecutable))
	{
		std::printf("linetable: %s already holds a line-number table\n", locExecutable.c_str());
		return 0;
	}
	LT_BuildReport locReport = {0, 0, 0};
	std::string locError;
	if (!LT_AppendToExecutable(locObjdump, locExecutable, &locReport, &locError))
	{
		std::fprintf(stderr, "linetable: %s\n", locError.c_str());
		return 1;
	}
	if (locReport.myClampedLines)
		std::fprintf(stderr, "linetable: warning: %u entries have lines above 32767, stored as 32767\n",
		             locReport.myClampedLines);
	std::printf("linetable: %u entries, %u bytes of file names\n", locReport.myEntries, locReport.myPoolSize);
	return 0;
}
