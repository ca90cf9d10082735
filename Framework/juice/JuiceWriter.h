#ifndef JUICEWRITER_H
#define JUICEWRITER_H

#include "KC_String.h"

#include <cstdio>
#include <initializer_list>

class JuiceNameSpace;

// Juice text ends its lines with CR LF on every system; files are written in
// binary mode with this line end.
#define JUICE_EOL "\r\n"

// Formats and writes; true when the write reported a positive character count.
bool JuiceWriteText(FILE* aFile, const char* aFormat, ...) KC_PRINTF_FORMAT(2, 3);
// Writes the texts one after the other, as JuiceWriteText with a format of as
// many "%s" would, without a format to read.
bool JuiceWriteTexts(FILE* aFile, std::initializer_list<const char*> aTexts);

// Writes the namespace as Juice text: its includes, an empty line, then every
// top-level instance. The file is replaced only by a complete new one.
bool WriteNameSpace(JuiceNameSpace& aNameSpace, const KC_String& aFileName);

#endif
