// sdftool: makes and inspects SDF archives.

#include "sdftool_lib.h"

#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace
{
const char* const ourUsage =
	"usage: sdftool pack ARCHIVE DIR [--method stored|zlib|lzma] [--dir-method stored|zlib|lzma]\n"
	"       sdftool list ARCHIVE\n"
	"       sdftool cat ARCHIVE NAME\n"
	"\n"
	"pack  writes every file under DIR into ARCHIVE (entries and directory stored\n"
	"      with the given methods; zlib by default)\n"
	"list  prints each entry: method, stored and unpacked size, time stamp, path\n"
	"cat   writes the bytes of entry NAME to standard output, read as the programs\n"
	"      read it\n";

int Fail(const std::string& aMessage)
{
	std::fprintf(stderr, "sdftool: %s\n", aMessage.c_str());
	return 1;
}

int Usage()
{
	std::fputs(ourUsage, stderr);
	return 1;
}
}

int main(int argc, char** argv)
{
	if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
	{
		std::fputs(ourUsage, stdout);
		return 0;
	}
	if (argc < 3)
		return Usage();
	std::string locCommand = argv[1];
	std::string locError;
	if (locCommand == "pack")
	{
		if (argc < 4)
			return Usage();
		int locMethod = 1;
		int locDirectoryMethod = 1;
		for (int i = 4; i < argc; ++i)
		{
			bool locEntries = std::strcmp(argv[i], "--method") == 0;
			if ((!locEntries && std::strcmp(argv[i], "--dir-method") != 0) || i + 1 >= argc)
				return Usage();
			int locValue = SDF_MethodFromName(argv[++i]);
			if (locValue < 0)
				return Fail(std::string("unknown method '") + argv[i] + "' (stored, zlib or lzma)");
			(locEntries ? locMethod : locDirectoryMethod) = locValue;
		}
		if (!SDF_Pack(argv[2], argv[3], locMethod, locDirectoryMethod, &locError))
			return Fail(locError);
		return 0;
	}
	if (locCommand == "list" && argc == 3)
		return SDF_List(argv[2], stdout, &locError) ? 0 : Fail(locError);
	if (locCommand == "cat" && argc == 4)
	{
#ifdef _WIN32
		_setmode(_fileno(stdout), _O_BINARY);
#endif
		bool locOk = SDF_Cat(argv[2], argv[3], stdout, &locError);
		std::fflush(stdout);
		return locOk ? 0 : Fail(locError);
	}
	return Usage();
}
