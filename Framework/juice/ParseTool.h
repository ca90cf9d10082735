#ifndef PARSETOOL_H
#define PARSETOOL_H

#include "KC_String.h"
#include "kf_file.h"

// Line reader over the file layer for Juice text. Counts the lines it delivers
// (the first is line 0) and prefixes its error messages with file and line.
class ParseTool
{
public:
	ParseTool();
	~ParseTool();

	bool Open(const KC_String& aFileName);
	void Close();
	// True when no file is open or everything has been read.
	bool IsEOF();
	// Reads the next line; only called when not IsEOF(). An empty line comes
	// only from the end of the file (blank lines and comments are never delivered).
	void ReadLine(KC_String& aLine);
	// ReadLine without a copy: the line in the tool's buffer, valid until the
	// next read, and its length.
	const char* ReadLineText(int& aLength);
	// The next line without consuming or counting it.
	void PeekLine(KC_String& aLine);

	// Sends "(file, line n) message" on the error channel.
	void Error(const char* aFormat, ...) KC_PRINTF_FORMAT(2, 3);
	// The same for a line read earlier, such as the opening of a block.
	void ErrorAtLine(int aLineNumber, const char* aFormat, ...) KC_PRINTF_FORMAT(3, 4);

	const KC_String& GetFileName() const { return myFileName; }
	int GetLineNumber() const { return myLineNumber; }

	// Block nesting of the instance being read; EnterBlock refuses to go
	// deeper than ourMaxBlockDepth.
	static const int ourMaxBlockDepth = 64;
	bool EnterBlock();
	void LeaveBlock();

	// Word splitting of a line: the first word ends at the first blank, or
	// failing that the first tab; a line in double quotes is one word.
	// FindWordEnd: the position of that blank or tab, or -1.
	static int FindWordEnd(const KC_String& aLine);
	static int FindWordEnd(const char* aLine, int aLength);
	static KC_String FirstWord(const KC_String& aLine);
	static KC_String RestOfLine(const KC_String& aLine);
	// Removes one leading and then one trailing double quote, where present.
	static void StripQuotes(KC_String& aValue);
	// The scalar value that follows a name on its line: a single word (quotes
	// stripped) is the value; with more words the first one renames the
	// instance (stored in aName) and the rest is the value.
	static KC_String InlineValue(const KC_String& anInlineText, KC_String& aName);
	// The same; aRenamed tells whether aName was set.
	static KC_String InlineValue(const KC_String& anInlineText, KC_String& aName, bool& aRenamed);
	// The line of aFileName (from 1) that a parse tool numbers aParseLine (from
	// 0, blank and comment lines not counted); 0 when there is none.
	static unsigned int PhysicalLine(const char* aFileName, int aParseLine);

	// Reads the body of a type declaration: a "{" line, then one entry a line
	// up to "}" or the end of the file, each handed to anEntry (a callable
	// taking const KC_String& and returning false to stop). A missing "{" is
	// reported as "Missing block start in declaration of <aKind> type '<name>'".
	// False on that error or when anEntry stops.
	template <class Handler>
	bool ReadDeclarationBlock(const char* aKind, const KC_String& aTypeName, Handler anEntry)
	{
		KC_String locLine;
		if (!IsEOF())
			ReadLine(locLine);
		if (locLine != "{")
		{
			Error("Missing block start in declaration of %s type '%s'", aKind, aTypeName.GetText());
			return false;
		}
		int locOpening = myLineNumber;
		while (!IsEOF() && locLine != "}")
		{
			ReadLine(locLine);
			// Only the end of the file gives an empty line.
			if (locLine.IsEmpty() || locLine == "}")
				continue;
			if (!anEntry(static_cast<const KC_String&>(locLine)))
				return false;
		}
		if (locLine != "}")
		{
			ErrorAtLine(locOpening, "Missing block end in declaration of %s type '%s': the file ends inside its block",
				aKind, aTypeName.GetText());
			return false;
		}
		return true;
	}

	enum
	{
		LINE_BUFFER_SIZE = 4096
	};

private:
	ParseTool(const ParseTool&);
	ParseTool& operator=(const ParseTool&);

	// The checks of Open, in one pass over the file before it is parsed: no
	// UTF-16, and every line ended by CR LF. Leaves the position at 0.
	bool CheckLineEnds(const KC_String& aFileName);
	// The line feeds before anEnd.
	unsigned int CountLineFeeds(unsigned int anEnd);

	KF_File myFile;
	char myLineBuffer[LINE_BUFFER_SIZE];
	KC_String myFileName;
	int myLineNumber;
	bool myIsOpen;
	int myBlockDepth;
};

#endif
