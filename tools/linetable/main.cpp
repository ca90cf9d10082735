// linetable: appends the crash handler's line-number table to a Windows executable.

#include "linetable_lib.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
const char* const ourUsage =
	"usage: linetable [--objdump PROGRAM] [--source-root DIR] EXECUTABLE\n"
	"       linetable --check EXECUTABLE\n"
	"\n"
	"Reads the line information of EXECUTABLE with PROGRAM (objdump by default,\n"
	"--dwarf=decodedline), keeps the rows of its code sections, builds the\n"
	"line-number table (source names under DIR relative to it) and appends it as\n"
	"a version-0 trailer chunk (nothing when it already ends with one).\n"
	"--check reads the appended table back and fails when an entry lies outside\n"
	"the code sections or names a file without its folder.\n";

int Check(const std::string& anExecutable)
{
	LT_CheckReport locReport = {0, 0, 0};
	std::string locError;
	if (!LT_CheckExecutable(anExecutable, &locReport, &locError))
	{
		std::fprintf(stderr, "linetable: %s\n", locError.c_str());
		return 1;
	}
	std::printf("linetable: %s: %u entries, %u outside the code sections, %u names without a folder\n",
	            anExecutable.c_str(), locReport.myEntries, locReport.myOutsideCode, locReport.myBareNames);
	return locReport.myEntries && !locReport.myOutsideCode && !locReport.myBareNames ? 0 : 1;
}
}

int main(int argc, char** argv)
{
	std::string locObjdump = "objdump";
	std::string locSourceRoot;
	std::string locExecutable;
	bool locCheck = false;
	for (int i = 1; i < argc; ++i)
	{
		if (std::strcmp(argv[i], "--objdump") == 0 && i + 1 < argc)
			locObjdump = argv[++i];
		else if (std::strcmp(argv[i], "--source-root") == 0 && i + 1 < argc)
			locSourceRoot = argv[++i];
		else if (std::strcmp(argv[i], "--check") == 0)
			locCheck = true;
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
	if (locCheck)
		return Check(locExecutable);
	// A build step may run again on an executable that was not linked anew.
	if (LT_FileEndsWithChunk(locExecutable))
	{
		std::printf("linetable: %s already holds a line-number table\n", locExecutable.c_str());
		return 0;
	}
	LT_BuildReport locReport = {0, 0, 0, 0};
	std::string locError;
	if (!LT_AppendToExecutable(locObjdump, locExecutable, &locReport, &locError, locSourceRoot))
	{
		std::fprintf(stderr, "linetable: %s\n", locError.c_str());
		return 1;
	}
	if (locReport.myClampedLines)
		std::fprintf(stderr, "linetable: warning: %u entries have lines above 32767, stored as 32767\n",
		             locReport.myClampedLines);
	std::printf("linetable: %u entries, %u bytes of file names, %u rows outside the code left out\n",
	            locReport.myEntries, locReport.myPoolSize, locReport.myDropped);
	return 0;
}
