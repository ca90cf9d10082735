// icetool: builds and inspects Ice menu definitions.

#include "icetool_lib.h"

#include "kc_platform.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace
{
const char* const ourUsage =
	"usage: icetool compile NAME.ice\n"
	"       icetool check NAME.juice\n"
	"       icetool dump NAME.ice\n"
	"\n"
	"compile  converts NAME.juice to NAME.ice when the Juice text is newer, the\n"
	"         Ice file is missing or does not load, exactly as the menu program\n"
	"         does at start (the name is taken in lower case), and writes the\n"
	"         NAME.hash report and, for localized texts, NAME.loc beside it;\n"
	"         it first warns about each Juice, type or .lang file it reads\n"
	"         that has a line feed without a carriage return before it;\n"
	"         every log and error line goes to standard error; exit status 0\n"
	"         when NAME.ice loads afterwards; when texts were read from\n"
	"         NAME.lang the conversion re-saves NAME.juice with them inline,\n"
	"         keeps the replaced text and NAME.lang under free names\n"
	"         (NAME.juice.orig, .orig2, ...; NAME.lang.orig, ...) and says so\n"
	"check    compiles NAME.juice exactly as the menu program would (in the\n"
	"         folder of NAME.juice, with the autorun.sdf found there), writes\n"
	"         nothing beside it, and reports every error as 'file:line: message'\n"
	"         (or 'file: message'), one a line, on standard error, with the\n"
	"         members the menu cannot start without (myGui.myButtons, each\n"
	"         button's four bitmaps and requirement list, the background);\n"
	"         warns about LOCTEXT values of digits alone that find no text;\n"
	"         exit status 0 only when the menu would load; the menu loads\n"
	"         only autorun.juice, and a check of another name says so\n"
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

// Runs one command on its file; the exit status.
int Run(const std::string& aCommand, const char* aName);
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
	// Out of memory a command fails like any other, with a message.
	try
	{
		return Run(argv[1], argv[2]);
	}
	catch (const std::bad_alloc&)
	{
		std::fprintf(stderr, "icetool: out of memory on '%s'\n", argv[2]);
		return 1;
	}
}

namespace
{
int Run(const std::string& aCommand, const char* aName)
{
	if (aCommand == "compile")
	{
		if (ICE_Compile(aName, stderr))
			return 0;
		std::fprintf(stderr, "icetool: '%s' does not load\n", aName);
		return 1;
	}
	if (aCommand == "check")
	{
		std::string locNote = ICE_DefinitionNameNote(aName);
		std::fputs(locNote.c_str(), stderr);
		int locErrors = ICE_Check(aName, stderr);
		if (locErrors == 0)
		{
			if (locNote.empty())
				std::printf("icetool: '%s' OK: the menu would load it\n", aName);
			else
				std::printf("icetool: '%s' OK: the menu would load it as 'autorun.juice'\n", aName);
			return 0;
		}
		std::fprintf(stderr, "icetool: '%s': %d error%s\n", aName, locErrors, locErrors == 1 ? "" : "s");
		return 1;
	}
	if (aCommand == "dump")
	{
		std::string locError;
		bool locOk = ICE_Dump(aName, stdout, stderr, &locError);
		std::fflush(stdout);
		if (locOk)
			return 0;
		std::fprintf(stderr, "icetool: %s\n", locError.c_str());
		return 1;
	}
	return Usage();
}
}
