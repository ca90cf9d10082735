// icetool: builds and inspects Ice menu definitions.

#include "icetool_lib.h"

#include "kc_platform.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
const char* const ourUsage =
	"usage: icetool compile NAME.ice\n"
	"       icetool dump NAME.ice\n"
	"\n"
	"compile  converts NAME.juice to NAME.ice when the Juice text is newer, the\n"
	"         Ice file is missing or does not load, exactly as the menu program\n"
	"         does at start (the name is taken in lower case), and writes the\n"
	"         NAME.hash report and, for localized texts, NAME.loc beside it;\n"
	"         it first warns about each Juice, type or .lang file it reads\n"
	"         that has a line feed without a carriage return before it;\n"
	"         every log and error line goes to standard error; exit status 0\n"
	"         when NAME.ice loads afterwards\n"
	"dump     prints the tree of NAME.ice, one member a line, indented by depth:\n"
	"         type, name (from NAME.hash, else the checksum in hexadecimal) and\n"
	"         'value \"TEXT\"' (localized ones followed by 'text \"TEXT\"' from\n"
	"         NAME.loc), 'reference PATH' or 'composite COUNT'\n";

// Assertion failures end the process; their box becomes a line on standard error.
void WriteBoxToStandardError(const char* aText, const char* aCaption)
{
	std::fprintf(stderr, "icetool: %s: %s\n", aCaption, aText);
	std::fflush(stderr);
}

int Usage()
{
	std::fputs(ourUsage, stderr);
	return 2;
}
}

int main(int argc, char** argv)
{
	KC_SetMessageBoxFunction(WriteBoxToStandardError);
	if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
	{
		std::fputs(ourUsage, stdout);
		return 0;
	}
	if (argc != 3)
		return Usage();
	std::string locCommand = argv[1];
	if (locCommand == "compile")
	{
		if (ICE_Compile(argv[2], stderr))
			return 0;
		std::fprintf(stderr, "icetool: '%s' does not load\n", argv[2]);
		return 1;
	}
	if (locCommand == "dump")
	{
		std::string locError;
		bool locOk = ICE_Dump(argv[2], stdout, stderr, &locError);
		std::fflush(stdout);
		if (locOk)
			return 0;
		std::fprintf(stderr, "icetool: %s\n", locError.c_str());
		return 1;
	}
	return Usage();
}
