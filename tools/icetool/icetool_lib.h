#ifndef ICETOOL_LIB_H
#define ICETOOL_LIB_H

// The work of icetool: bringing Ice files up to date and printing their trees.

#include <cstdio>
#include <map>
#include <string>

// Checksum to name, as read from a ".hash" report.
typedef std::map<unsigned int, std::string> IceToolNames;

// The report beside an Ice file: its name up to and including the last dot, then "hash".
std::string ICE_HashFileName(const std::string& anIceName);

// Reads the "%13d %s" lines of a report; the first text of a checksum wins and
// lines of any other form are skipped. False when the file cannot be read.
bool ICE_ReadHashNames(const std::string& aFileName, IceToolNames& aNames);

// Prints a warning to aMessages for each file that a conversion of anIceName reads
// (its Juice text, the ".lang" beside it, the type files they include) and that has
// a line feed without a carriage return: the file name and the first such line.
void ICE_WarnAboutLineEnds(const char* anIceName, std::FILE* aMessages);

// Converts anIceName from its Juice text when needed and loads it, as the menu
// program does before it starts, after the warnings above; every log and error
// line goes to aMessages.
// True when the Ice file loads.
bool ICE_Compile(const char* anIceName, std::FILE* aMessages);

// Compiles the definition aJuiceName as the menu does at start (in its folder,
// with the autorun.sdf found there mounted), converts it in a temporary folder
// and looks up the members the menu cannot start without. Writes nothing beside
// the definition. Every problem goes to aReport as "file:line: message" (or
// "file: message" where no line applies); the result is their number.
int ICE_Check(const char* aJuiceName, std::FILE* aReport);

// The note that "check" prints for a definition that the menu would not read
// (any name but autorun.juice, compared without regard to case); empty for that name.
std::string ICE_DefinitionNameNote(const char* aJuiceName);

// Loads anIceName without conversion and prints its tree to anOutput, one member a
// line. Load messages go to aMessages; on failure anError says why.
bool ICE_Dump(const char* anIceName, std::FILE* anOutput, std::FILE* aMessages, std::string* anError);

#endif
