#include "JuiceClass.h"
#include "JuiceCompiler.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceNameSpace.h"
#include "JuiceTypeManager.h"
#include "JuiceWriter.h"
#include "juice_test_support.h"
#include "kf_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
std::string Value(JuiceNameSpace& aNameSpace, const char* aPath)
{
	JuiceType* locInstance = aNameSpace.FindInstance(aPath, false);
	return locInstance ? locInstance->GetValue().GetText() : "<none>";
}

std::string ParseError(const char* aFile, int aLine, const std::string& aMessage)
{
	return "ERROR: (" + std::string(aFile) + ", line " + std::to_string(aLine) + ") " + aMessage;
}

}

TEST(JuiceCompiler, MissionCompilesWithTypesLocalizedTextsAndReferences)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	JuiceTypeManager locManager;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/mission.juice", &locManager, NULL)) << locCapture.AllErrors();
	EXPECT_TRUE(locCapture.myErrors.empty()) << locCapture.AllErrors();

	// The two spellings of the type file are included and read once.
	ASSERT_EQ(1, locNameSpace.myIncludes.Count());
	EXPECT_STREQ("data/mission.fruit", locNameSpace.myIncludes.GetFirst());
	EXPECT_EQ(1, locCapture.CountLog("LOG: JuiceTypeManager::Compile(): Compiling data/mission.fruit"));
	EXPECT_EQ(0, locCapture.CountLog("LOG: JuiceTypeManager::Compile(): Compiling DATA/Mission.FRUIT"));
	EXPECT_TRUE(locCapture.HasLog("LOG: 'DATA/Mission.FRUIT' already compiled, skipping..."));
	EXPECT_TRUE(locCapture.HasLog("LOG: JuiceCompiler::Compile(): 'data/mission.juice' OK\n"));
	EXPECT_TRUE(locCapture.HasLog("LOG: JuiceCompiler::Compile(): Instantiated XMap_0006 myXMap"));

	EXPECT_EQ(7, locNameSpace.Count());
	EXPECT_EQ("custom_maps/dune/dune HeightMap.tga", Value(locNameSpace, "myXMap.myHeightMapFile"));
	EXPECT_EQ("Dune Sea", Value(locNameSpace, "myXMap.myName"));
	EXPECT_EQ("The Dune Sea", Value(locNameSpace, "myXMap.myTitle"));
	EXPECT_EQ("A map with \"quotes\" and  two blanks\tand a tab", Value(locNameSpace, "myXMap.myDescription"));
	EXPECT_EQ("TEAM_1", Value(locNameSpace, "myXMap.myTeam"));
	EXPECT_EQ("12.5", Value(locNameSpace, "myXMap.myPlayfieldMinCoord.x"));
	EXPECT_EQ("40.000000", Value(locNameSpace, "myXMap.myPlayfieldMinCoord.z"));
	EXPECT_EQ("myPlayers.red", Value(locNameSpace, "myXMap.myHost"));
	EXPECT_EQ("5", Value(locNameSpace, "myXMap.myStart.myCount"));
	EXPECT_EQ("0.5", Value(locNameSpace, "myXMap.myStart.myPos.z"));
	EXPECT_EQ("7000", Value(locNameSpace, "myPlayers.red.myStartAp"));
	EXPECT_EQ("Blue Team", Value(locNameSpace, "myPlayers.blue.myName"));
	EXPECT_EQ("5", Value(locNameSpace, "myCount"));
	EXPECT_EQ("Hello world", Value(locNameSpace, "myText"));
	EXPECT_EQ("data/menu/bg.tga", Value(locNameSpace, "myFile"));
	// Unquoted, the text after the number renames the instance.
	EXPECT_EQ("apples", Value(locNameSpace, "7"));

	// A path through a reference ends at the instance that it names.
	JuiceType* locHost = locNameSpace.FindInstance("myXMap.myHost.myName", false);
	ASSERT_NE(nullptr, locHost);
	EXPECT_EQ(locNameSpace.FindInstance("myPlayers.red", false), locHost);
	EXPECT_TRUE(locNameSpace.RequiresLocalization());
}

TEST(JuiceCompiler, MessagesNameFileAndLine)
{
	struct Case
	{
		const char* myFile;
		int myLine;
		const char* myMessage;
	};
	const Case locCases[] = {
		{"data/unknown_type.juice", 2, "Unknown type 'Weapon'"},
		{"data/unknown_member.juice", 4, "Unknown member 'myColour' referenced in instantiation of 'p' of class type 'Player'"},
		{"data/unknown_member.juice", 4, "Failed to init new instance of type 'Player'"},
		{"data/invalid_enum_value.juice", 4, "Invalid value 'team_1' for instance 'myTeam' of type 'Team'"},
		{"data/missing_block_start.juice", 2, "Missing block start in instantiation of 'p' of class type 'Player'"},
		{"data/scalar_member_without_value.juice", 4, "Missing block start in instantiation of 'myName' of class type 'TEXT'"},
		{"data/duplicate_instance.juice", 2, "Instance name 'twice' already defined"},
		{"data/unresolved_reference.juice", 5, "Failed to resolve references"},
		{"data/wrong_reference_type.juice", 7, "Failed to resolve references"},
		// Before the summary at the end, the reference that failed on its own line.
		{"data/unresolved_reference.juice", 3, "Reference 'nobody.here' of member 'myHost' names no instance"},
		{"data/wrong_reference_type.juice", 6, "Reference 's.v' of member 'p' names an instance that is no 'Player'"},
		{"data/failed_include.juice", 1, "Failed to compile 'data/no_such_file.fruit'"},
		{"data/reference_cycle.juice", 4, "Failed to resolve references"},
		{"data/deep_blocks.juice", 130,
			"Blocks nested deeper than 64 levels in instantiation of 'n' of class type 'Node'"},
		{"data/scriptclass_undefined_legal_type.juice", 4, "Failed to resolve references"},
	};
	for (const Case& locCase : locCases)
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, locCase.myFile, NULL, NULL)) << locCase.myFile;
		EXPECT_TRUE(locCapture.HasError(ParseError(locCase.myFile, locCase.myLine, locCase.myMessage)))
			<< locCase.myFile << "\n" << locCapture.AllErrors();
	}
}

TEST(JuiceCompiler, ErrorsOfTheChannelComeBeforeTheParseError)
{
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/invalid_enum_value.juice", NULL, NULL));
		ASSERT_GE(locCapture.myErrors.size(), 2u);
		EXPECT_EQ("ERROR: JuiceEnum::Assign(): Invalid value 'team_1'", locCapture.myErrors[0]);
		EXPECT_EQ(ParseError("data/invalid_enum_value.juice", 4, "Invalid value 'team_1' for instance 'myTeam' of type 'Team'"),
			locCapture.myErrors[1]);
	}
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/unresolved_reference.juice", NULL, NULL));
		ASSERT_EQ(3u, locCapture.myErrors.size()) << locCapture.AllErrors();
		EXPECT_EQ("ERROR: Failed to find instance for name 'nobody.here'", locCapture.myErrors[0]);
		EXPECT_EQ(ParseError("data/unresolved_reference.juice", 5, "Failed to resolve references"), locCapture.myErrors[2]);
		// The instances compiled before the failure stay.
		EXPECT_EQ(2, locNameSpace.Count());
	}
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/failed_include.juice", NULL, NULL));
		ASSERT_EQ(2u, locCapture.myErrors.size()) << locCapture.AllErrors();
		EXPECT_EQ("ERROR: ParseTool::Open(): Failed to open 'data/no_such_file.fruit'", locCapture.myErrors[0]);
		EXPECT_EQ(1, locNameSpace.Count());
	}
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/scriptclass_undefined_legal_type.juice", NULL, NULL));
		ASSERT_EQ(2u, locCapture.myErrors.size()) << locCapture.AllErrors();
		EXPECT_EQ("ERROR: Undefined type 'Colour' in declaration of scriptclass 'l' of type 'List'", locCapture.myErrors[0]);
	}
}

TEST(JuiceCompiler, DuplicateNameKeepsTheFirstInstance)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/duplicate_instance.juice", NULL, NULL));
	EXPECT_EQ(2, locNameSpace.Count());
	EXPECT_EQ("2", Value(locNameSpace, "twice"));
}

TEST(JuiceCompiler, MissingFileAndMissingExtension)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/absent.juice", NULL, NULL));
	EXPECT_TRUE(locCapture.HasError("ERROR: ParseTool::Open(): Failed to open 'data/absent.juice'"));
	EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "noextension", NULL, NULL));
	EXPECT_TRUE(locCapture.HasLog("LOG: Failed to read localizer from 'noextension'"));
}

TEST(JuiceCompiler, ScalarLinesSplitIntoNameAndValue)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/text_values.juice", NULL, NULL)) << locCapture.AllErrors();
	EXPECT_EQ("world", Value(locNameSpace, "Hello"));
	EXPECT_EQ(nullptr, locNameSpace.FindInstance("myText", false));
	EXPECT_EQ("Hello world", Value(locNameSpace, "myQuoted"));
	EXPECT_EQ("5", Value(locNameSpace, "myCount"));
	// The comment starts inside the quotes.
	EXPECT_EQ("a", Value(locNameSpace, "myCut"));
	EXPECT_EQ("<empty>", Value(locNameSpace, "myEmpty"));
	EXPECT_EQ("2.5", Value(locNameSpace, "myTabbed"));
}

TEST(JuiceCompiler, BlocksMembersAndTheEndOfTheFile)
{
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/top_level_ignored_lines.juice", NULL, NULL));
		ASSERT_EQ(1, locNameSpace.Count());
		EXPECT_EQ("1", Value(locNameSpace, "kept"));
	}
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/member_paths.juice", NULL, NULL)) << locCapture.AllErrors();
		EXPECT_EQ("7", Value(locNameSpace, "m.myPlayfieldMinCoord.x"));
		EXPECT_EQ("TEAM_2", Value(locNameSpace, "m.myTeam"));
		EXPECT_EQ("NULL", Value(locNameSpace, "m.myHost"));
		EXPECT_EQ("Unnamed map", Value(locNameSpace, "m.myName").substr(1, 11));
	}
}

TEST(JuiceCompiler, TextCutOffInsideABlockIsAnErrorAtTheBlocksOpening)
{
	{
		// Two blocks open at the end: the inner one is reported, and nothing is kept of it.
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/block_open_at_end_of_file.juice", NULL, NULL));
		EXPECT_TRUE(locCapture.HasError(ParseError("data/block_open_at_end_of_file.juice", 4,
			"Missing block end in instantiation of 'p' of class type 'Player': the file ends inside its block")))
			<< locCapture.AllErrors();
		EXPECT_EQ(0, locNameSpace.Count());
		EXPECT_FALSE(locCapture.HasLog("LOG: JuiceCompiler::Compile(): 'data/block_open_at_end_of_file.juice' OK\n"));
	}
	{
		// A declaration in a type file, with a comment and a blank line after its last member.
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/type_block_open_at_end.juice", NULL, NULL));
		EXPECT_TRUE(locCapture.HasError(ParseError("data/type_block_open_at_end.fruit", 1,
			"Missing block end in declaration of class type 'Colour': the file ends inside its block")))
			<< locCapture.AllErrors();
		EXPECT_TRUE(locCapture.HasError(ParseError("data/type_block_open_at_end.juice", 0,
			"Failed to compile 'data/type_block_open_at_end.fruit'")))
			<< locCapture.AllErrors();
	}
	{
		// The block of an ignored instance, too.
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EverythingIgnorer locIgnorer;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/ignored_unclosed_block.juice", NULL, &locIgnorer));
		EXPECT_TRUE(locCapture.HasError(ParseError("data/ignored_unclosed_block.juice", 2,
			"Missing block end of an ignored instance: the file ends inside its block")))
			<< locCapture.AllErrors();
	}
}

TEST(JuiceCompiler, LineFeedsWithoutCarriageReturnFailWithTheirCause)
{
	struct Case
	{
		const char* myFile;
		const char* myError;
	};
	const Case locCases[] = {
		{"data/lf_only.juice", "ERROR: ParseTool::Open(): 'data/lf_only.juice' line 1 ends in a line feed without a "
			"carriage return: Juice text, type and .lang files need CR LF line ends"},
		{"data/lf_only_include.juice", "ERROR: ParseTool::Open(): 'data/lf_only_types.fruit' line 1 ends in a line "
			"feed without a carriage return: Juice text, type and .lang files need CR LF line ends"},
		{"data/lf_only_lang.juice", "ERROR: ParseTool::Open(): 'data/lf_only_lang.lang' line 2 ends in a line feed "
			"without a carriage return: Juice text, type and .lang files need CR LF line ends"},
	};
	for (const Case& locCase : locCases)
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, locCase.myFile, NULL, NULL)) << locCase.myFile;
		EXPECT_TRUE(locCapture.HasError(locCase.myError)) << locCapture.AllErrors();
		EXPECT_EQ(0, locNameSpace.Count()) << locCase.myFile;
	}
	// Line ends are tested eight bytes at a time: a lone line feed anywhere in
	// a word, at its edges and in the bytes after the last whole word is found,
	// and a CR LF split over two words is none.
	const std::string locLine = "NUMBER n 1\r\n";
	for (size_t locAt = 0; locAt < 3 * locLine.size(); ++locAt)
	{
		std::string locText = locLine + locLine + locLine + "NUMBER m 2";
		if (locText[locAt] == '\n')
			locText[locAt - 1] = ' ';
		else
			locText.insert(locAt, "\n");
		unsigned int locExpected = 1 + static_cast<unsigned int>(locAt / locLine.size());
		WriteWholeFile("lone_feed.juice", locText);
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "lone_feed.juice", NULL, NULL)) << locAt;
		EXPECT_TRUE(locCapture.HasError("ERROR: ParseTool::Open(): 'lone_feed.juice' line " +
			std::to_string(locExpected) +
			" ends in a line feed without a carriage return: Juice text, type and .lang files need CR LF line ends"))
			<< locAt << "\n" << locCapture.AllErrors();
	}
	// 36 and 32 bytes: with and without bytes after the last whole word.
	for (const char* locText : {"NUMBER a 1\r\nNUMBER b 2\r\nNUMBER c 3\r\n", "NUMBER a 1\r\nNUMBER b 2\r\n// abc\r\n"})
	{
		WriteWholeFile("lone_feed.juice", locText);
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_TRUE(JuiceCompiler::Compile(locNameSpace, "lone_feed.juice", NULL, NULL)) << locCapture.AllErrors();
		EXPECT_EQ("2", Value(locNameSpace, "b"));
	}
}

TEST(JuiceCompiler, LineEndsAreCheckedAcrossTheReadAheadWindow)
{
	// Files of several read-ahead windows whose carriage return is the last
	// byte of the first window: followed by its line feed, by another byte,
	// and a line feed without its return as the first byte of the next window.
	const size_t locWindow = KF_File::KF_WINDOW_SIZE;
	std::string locHead;
	int locLines = 0;
	for (; locHead.size() < locWindow - 100; ++locLines)
		locHead += "NUMBER n" + std::to_string(locLines) + " " + std::to_string(locLines) + "\r\n";
	// A comment line whose carriage return falls on the last byte of the window.
	locHead += "//" + std::string(locWindow - 3 - locHead.size(), 'x');
	ASSERT_EQ(locWindow - 1, locHead.size());
	std::string locTail;
	for (int locIndex = 0; locIndex < 8000; ++locIndex)
		locTail += "NUMBER t" + std::to_string(locIndex) + " " + std::to_string(locIndex) + "\r\n";
	locTail += "NUMBER last 7";
	const unsigned int locReturnLine = static_cast<unsigned int>(locLines) + 1;
	struct Case
	{
		std::string myEnd;
		const char* myError;
	};
	const Case locCases[] = {
		{"\r\n", NULL},
		{"\rx\r\n", "ends in a carriage return without a line feed (line ends of CR alone): Juice text, type and "
			".lang files need CR LF line ends"},
		{" \n", "ends in a line feed without a carriage return: Juice text, type and .lang files need CR LF line ends"},
	};
	for (const Case& locCase : locCases)
	{
		WriteWholeFile("window.juice", locHead + locCase.myEnd + locTail);
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_EQ(locCase.myError == NULL, JuiceCompiler::Compile(locNameSpace, "window.juice", NULL, NULL))
			<< locCapture.AllErrors();
		if (locCase.myError)
		{
			EXPECT_TRUE(locCapture.HasError("ERROR: ParseTool::Open(): 'window.juice' line " +
				std::to_string(locReturnLine) + " " + locCase.myError)) << locCapture.AllErrors();
			continue;
		}
		EXPECT_EQ(locLines + 8001, locNameSpace.Count());
		EXPECT_EQ("7999", Value(locNameSpace, "t7999"));
		EXPECT_EQ("7", Value(locNameSpace, "last"));
	}
	// A lone carriage return early and a lone line feed late: the line feed is reported.
	std::string locText = locHead + "\r\n" + locTail;
	locText[10] = '\r';
	locText.insert(locWindow * 2, "\n");
	WriteWholeFile("window.juice", locText);
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "window.juice", NULL, NULL));
	const unsigned int locFeedLine =
		1 + static_cast<unsigned int>(std::count(locText.begin(), locText.begin() + locWindow * 2, '\n'));
	EXPECT_TRUE(locCapture.HasError("ERROR: ParseTool::Open(): 'window.juice' line " + std::to_string(locFeedLine) +
		" ends in a line feed without a carriage return: Juice text, type and .lang files need CR LF line ends"))
		<< locCapture.AllErrors();
}

TEST(JuiceCompiler, UnicodeTextAndLinesEndingInCarriageReturnsFailWithTheirCause)
{
	// What Notepad saves as "Unicode": with its byte-order mark, in either
	// order, and without one.
	const std::string locUtf16Le = std::string("\xFF\xFE", 2) + std::string("N\0U\0M\0\r\0\n\0", 10);
	const std::string locUtf16Be = std::string("\xFE\xFF", 2) + std::string("\0N\0U\0M\0\r\0\n", 10);
	const std::string locWithoutMark = std::string("N\0U\0M\0B\0E\0R\0\r\0\n\0", 16);
	for (const std::string& locText : {locUtf16Le, locUtf16Be, locWithoutMark})
	{
		WriteWholeFile("unicode.juice", locText);
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "unicode.juice", NULL, NULL));
		EXPECT_TRUE(locCapture.HasError("ERROR: ParseTool::Open(): 'unicode.juice' is UTF-16 text (what Notepad saves "
			"as \"Unicode\"): Juice text, type and .lang files must be saved as ANSI or UTF-8"))
			<< locCapture.AllErrors();
	}

	// Lines that end in CR alone, from the first line on or after CR LF lines.
	const std::pair<const char*, int> locCases[] = {
		{"NUMBER a 1\rNUMBER b 2\r", 1}, {"NUMBER a 1\r\nNUMBER b 2\r\nNUMBER c 3\rNUMBER d 4\r\n", 3}};
	for (const std::pair<const char*, int>& locCase : locCases)
	{
		WriteWholeFile("returns.juice", locCase.first);
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "returns.juice", NULL, NULL));
		EXPECT_TRUE(locCapture.HasError("ERROR: ParseTool::Open(): 'returns.juice' line " +
			std::to_string(locCase.second) + " ends in a carriage return without a line feed (line ends of CR alone): "
			"Juice text, type and .lang files need CR LF line ends"))
			<< locCapture.AllErrors();
	}
	// A carriage return at the very end is no line end of its own.
	WriteWholeFile("returns.juice", "NUMBER a 1\r\nNUMBER b 2\r");
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	EXPECT_TRUE(JuiceCompiler::Compile(locNameSpace, "returns.juice", NULL, NULL)) << locCapture.AllErrors();
}

TEST(JuiceCompiler, ParseToolKeepsTheTypesOfOneCompilationOnly)
{
	MessageCapture locCapture;
	JuiceTypeManager locManager;
	JuiceNameSpace locFirst;
	ASSERT_TRUE(JuiceCompiler::Compile(locFirst, "data/mission.juice", &locManager, NULL));
	EXPECT_NE(nullptr, locManager.FindType("XMap_0006"));
	// A new compilation resets the manager: the mission types are gone and the
	// type file is read again when included.
	JuiceNameSpace locSecond;
	ASSERT_TRUE(JuiceCompiler::Compile(locSecond, "data/text_values.juice", &locManager, NULL));
	EXPECT_EQ(nullptr, locManager.FindType("XMap_0006"));
	EXPECT_EQ(5, locManager.GetTypes().Count());
	EXPECT_EQ(5, locManager.GetReferenceTypes().Count());
}

TEST(JuiceTypeCompiler, DeclarationErrors)
{
	struct Case
	{
		const char* myFile;
		int myLine;
		const char* myFirst;
		const char* mySecond;
	};
	const Case locCases[] = {
		{"data/type_redefined.fruit", 4, "Typename 'A' already defined", "Syntax error 'A'"},
		{"data/type_builtin_meta.fruit", 0, "Syntax error 'Count'", NULL},
		{"data/type_unknown_meta.fruit", 0, "Syntax error 'Thing'", NULL},
		{"data/type_enum_without_block.fruit", 1, "Missing block start in declaration of enumerated type 'Colour'",
			"Syntax error 'Colour'"},
		{"data/type_class_without_block.fruit", 1, "Missing block start in declaration of class type 'Thing'",
			"Syntax error 'Thing'"},
		{"data/type_scriptclass_without_block.fruit", 1, "Missing block start in declaration of scriptclass type 'List'",
			"Syntax error 'List'"},
		{"data/type_enum_duplicate_value.fruit", 4, "Syntax error 'Colour'", NULL},
		{"data/type_undefined_member_type.fruit", 2,
			"Undefined type 'Colour' for member 'myColour' in declaration of class type 'Thing'", "Syntax error 'Thing'"},
		{"data/type_undefined_reference.fruit", 2,
			"Undefined reference type 'Colour*' for member 'myColour' in declaration of class type 'Thing'", NULL},
		{"data/type_duplicate_member.fruit", 3, "Failed to add member 'a' in declaration of class type 'Thing'", NULL},
		{"data/growing_types.fruit", 58, "Failed to add member 'b' in declaration of class type 'T11'", "Syntax error 'T11'"},
		{"data/self_include.fruit", 2, "Typename 'Colour' already defined", "Syntax error 'Colour'"},
	};
	for (const Case& locCase : locCases)
	{
		MessageCapture locCapture;
		JuiceTypeManager locManager;
		EXPECT_FALSE(locManager.Compile(locCase.myFile)) << locCase.myFile;
		EXPECT_TRUE(locCapture.HasError(ParseError(locCase.myFile, locCase.myLine, locCase.myFirst)))
			<< locCase.myFile << "\n" << locCapture.AllErrors();
		if (locCase.mySecond)
		{
			EXPECT_TRUE(locCapture.HasError(ParseError(locCase.myFile, locCase.myLine, locCase.mySecond)))
				<< locCase.myFile << "\n" << locCapture.AllErrors();
		}
	}
}

TEST(JuiceTypeCompiler, ChannelMessagesOfDeclarations)
{
	{
		MessageCapture locCapture;
		JuiceTypeManager locManager;
		EXPECT_FALSE(locManager.Compile("data/type_enum_duplicate_value.fruit"));
		EXPECT_TRUE(locCapture.HasLog(
			"LOG: JuiceEnum::Construct(): Failed to add new value 'RED' to range of type 'Colour', was it doubly defined?"));
	}
	{
		MessageCapture locCapture;
		JuiceTypeManager locManager;
		EXPECT_FALSE(locManager.Compile("data/type_duplicate_member.fruit"));
		EXPECT_EQ("ERROR: JuiceClass::AddMember(): Already had a member named 'a'", locCapture.myErrors.at(0));
	}
	{
		// A default outside the range is refused; the member keeps the first value.
		MessageCapture locCapture;
		JuiceTypeManager locManager;
		EXPECT_TRUE(locManager.Compile("data/type_enum_default_outside.fruit")) << locCapture.AllErrors();
		EXPECT_TRUE(locCapture.HasError("ERROR: JuiceEnum::Assign(): Invalid value 'BLUE'"));
		JuiceType* locThing = locManager.FindType("Thing");
		ASSERT_NE(nullptr, locThing);
		EXPECT_STREQ("RED", locThing->FindMember("myColour")->GetValue());
		EXPECT_STREQ("GREEN", locThing->FindMember("mySecond")->GetValue());
		EXPECT_TRUE(locCapture.HasLog("LOG: JuiceClass::Construct(): Constructed type 'Thing'"));
		EXPECT_TRUE(locCapture.HasLog("LOG: JuiceEnum::Construct(): Constructed type 'Colour'"));
	}
	{
		// Includes nest only so deep, whatever the spellings.
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/deep_includes.juice", NULL, NULL));
		EXPECT_TRUE(locCapture.HasError(ParseError("data/deep_includes.juice", 0, "Failed to compile 'data/deep_includes.fruit'")))
			<< locCapture.AllErrors();
	}
}

TEST(JuiceCompiler, LongLinesArriveInPieces)
{
	// 4095 bytes at a time: the rest of the line is read as lines of its own.
	std::string locText = "TEXT big " + std::string(10000, 'x') + "\r\nNUMBER after 1\r\n";
	ASSERT_TRUE(WriteWholeFile("out_long_line.juice", locText));
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	bool locResult = JuiceCompiler::Compile(locNameSpace, "out_long_line.juice", NULL, NULL);
	std::remove("out_long_line.juice");
	ASSERT_TRUE(locResult) << locCapture.AllErrors();
	ASSERT_EQ(2, locNameSpace.Count());
	EXPECT_EQ(4095u - 9u, Value(locNameSpace, "big").size());
	EXPECT_EQ("1", Value(locNameSpace, "after"));
}

namespace
{
const char* const kListTypes = "CLASS A\r\n{\r\n\tNUMBER myValue 0\r\n}\r\n"
							   "CLASS B\r\n{\r\n\tNUMBER myValue 0\r\n\tA* myA\r\n\tB* myB\r\n}\r\n"
							   "SCRIPTCLASS Items\r\n{\r\n\tA\r\n\tB\r\n}\r\n"
							   "CLASS Root\r\n{\r\n\tItems myItems\r\n}\r\n";

// A root with a list of 100 A members a0 to a99 (longer than any list that is
// searched member by member), then the members aTail.
std::string LongList(const std::string& aTail)
{
	std::string locText = "INCLUDE long_list.fruit\r\nRoot myRoot\r\n{\r\n\tmyItems\r\n\t{\r\n";
	for (int locIndex = 0; locIndex < 100; ++locIndex)
		locText += "\t\tA a" + std::to_string(locIndex) + "\r\n\t\t{\r\n\t\t\tmyValue " + std::to_string(locIndex) +
				   "\r\n\t\t}\r\n";
	return locText + aTail + "\t}\r\n}\r\n";
}

bool CompileText(JuiceNameSpace& aNameSpace, const std::string& aText)
{
	EXPECT_TRUE(WriteWholeFile("long_list.fruit", kListTypes));
	EXPECT_TRUE(WriteWholeFile("long_list.juice", aText));
	return JuiceCompiler::Compile(aNameSpace, "long_list.juice", NULL, NULL);
}
}

TEST(JuiceCompiler, ReferencesIntoLongListsNameTheFirstMemberOfTheName)
{
	MessageCapture locCapture;
	// Two members named dup: the B comes first, so a B* reference to dup holds.
	JuiceNameSpace locNameSpace;
	ASSERT_TRUE(CompileText(locNameSpace, LongList("\t\tB dup\r\n\t\t{\r\n\t\t\tmyValue 1\r\n\t\t}\r\n"
												   "\t\tA dup\r\n\t\t{\r\n\t\t\tmyValue 2\r\n\t\t}\r\n"
												   "\t\tB b\r\n\t\t{\r\n\t\t\tmyA myRoot.myItems.a57\r\n"
												   "\t\t\tmyB myRoot.myItems.dup\r\n\t\t}\r\n")))
		<< locCapture.AllErrors();
	// A path through a reference ends at its target.
	EXPECT_STREQ("1", locNameSpace.FindInstance("myRoot.myItems.dup.myValue", false)->GetValue());
	EXPECT_EQ(locNameSpace.FindInstance("myRoot.myItems.a57", false),
		locNameSpace.FindInstance("myRoot.myItems.b.myA.x", false));
	EXPECT_EQ(locNameSpace.FindInstance("myRoot.myItems.dup", false),
		locNameSpace.FindInstance("myRoot.myItems.b.myB.x", false));

	// The A comes first: the B* reference names an A and does not resolve.
	JuiceNameSpace locSwapped;
	EXPECT_FALSE(CompileText(locSwapped, LongList("\t\tA dup\r\n\t\t{\r\n\t\t}\r\n\t\tB dup\r\n\t\t{\r\n\t\t}\r\n"
												  "\t\tB b\r\n\t\t{\r\n\t\t\tmyB myRoot.myItems.dup\r\n\t\t}\r\n")));
	EXPECT_TRUE(locCapture.HasError("ERROR: (long_list.juice, line 416) Failed to resolve references"))
		<< locCapture.AllErrors();

	// A name that no member has.
	locCapture.myErrors.clear();
	JuiceNameSpace locMissing;
	EXPECT_FALSE(CompileText(locMissing, LongList("\t\tB b\r\n\t\t{\r\n\t\t\tmyA myRoot.myItems.a100\r\n\t\t}\r\n")));
	EXPECT_TRUE(locCapture.HasError("ERROR: (long_list.juice, line 410) Failed to resolve references"))
		<< locCapture.AllErrors();

	// The first namespace (locNameSpace) is still alive: a later one resolves
	// its references as well.
	JuiceNameSpace locLater;
	EXPECT_TRUE(CompileText(locLater, LongList("\t\tB b\r\n\t\t{\r\n\t\t\tmyA myRoot.myItems.a99\r\n\t\t}\r\n")))
		<< locCapture.AllErrors();
	EXPECT_EQ(locLater.FindInstance("myRoot.myItems.a99", false), locLater.FindInstance("myRoot.myItems.b.myA.x", false));
}

TEST(JuiceCompiler, WrittenReferencesIntoLongListsKeepTheirTargetsOrBecomeNull)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	ASSERT_TRUE(CompileText(locNameSpace, LongList("\t\tB b\r\n\t\t{\r\n\t\t\tmyA myRoot.myItems.a57\r\n"
												   "\t\t\tmyB myRoot.myItems.c\r\n\t\t}\r\n"
												   "\t\tB c\r\n\t\t{\r\n\t\t\tmyA myRoot.myItems.a3\r\n\t\t}\r\n")))
		<< locCapture.AllErrors();
	JuiceType* locItems = locNameSpace.FindInstance("myRoot.myItems", false);
	ASSERT_NE(nullptr, locItems);
	ASSERT_TRUE(locItems->DeleteMemberNamed("a3"));
	std::remove("long_list_out.juice");
	ASSERT_TRUE(WriteNameSpace(locNameSpace, "long_list_out.juice"));
	std::string locText = ReadWholeFile("long_list_out.juice");
	EXPECT_NE(std::string::npos, locText.find("\t\t\tmyA myRoot.myItems.a57\r\n\t\t\tmyB myRoot.myItems.c\r\n"));
	EXPECT_NE(std::string::npos, locText.find("\t\tB c\r\n\t\t{\r\n\t\t\tmyValue 0\r\n\t\t\tmyA NULL\r\n"));
	std::remove("long_list_out.juice");
}
