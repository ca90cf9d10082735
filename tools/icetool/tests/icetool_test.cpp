#include "icetool_lib.h"

#include "ice_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
// One report line, "%13d %s"; the report is text, so on Windows its lines end in CR LF.
std::string HashLine(const std::string& aText, const char* anEnd = "\n")
{
	char locNumber[32];
	std::snprintf(locNumber, sizeof(locNumber), "%13d ", static_cast<int>(IceBytes::Adler32(aText)));
	return locNumber + aText + anEnd;
}
#ifdef _WIN32
const char* const ourTextEnd = "\r\n";
#else
const char* const ourTextEnd = "\n";
#endif

// Runs each test in a fresh folder of its own, so that relative names land there.
class IceToolTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		myPrevious = fs::current_path();
		fs::current_path(myFolder.Path(""));
	}
	void TearDown() override
	{
		std::error_code locError;
		fs::current_path(myPrevious, locError);
	}

	// The message lines of a compilation go to aMessages.
	bool Compile(const char* aName, std::string& aMessages)
	{
		std::FILE* locStream = std::fopen("messages.txt", "wb");
		bool locOk = ICE_Compile(aName, locStream);
		std::fclose(locStream);
		aMessages = ReadWholeFile("messages.txt");
		return locOk;
	}
	// What dump prints, or the error and the messages.
	std::string Dump(const char* aName)
	{
		std::FILE* locOutput = std::fopen("dump.txt", "wb");
		std::FILE* locMessages = std::fopen("messages.txt", "wb");
		std::string locError;
		bool locOk = ICE_Dump(aName, locOutput, locMessages, &locError);
		std::fclose(locOutput);
		std::fclose(locMessages);
		return locOk ? ReadWholeFile("dump.txt") : "error: " + locError + "\n" + ReadWholeFile("messages.txt");
	}

	fs::path myPrevious;
	ScratchFolder myFolder;
};

TEST_F(IceToolTest, CompileConvertsOnlyWhenTheJuiceTextIsNewer)
{
	std::string locMessages;
	EXPECT_FALSE(Compile("menu.ice", locMessages));
	EXPECT_EQ("LOG: JuiceToIce::IsFileNewer(): none of the two files exist ('menu.juice' or 'menu.ice')\n",
	          locMessages);

	// Juice lines end in CR LF.
	WriteWholeFile("menu.fruit", "CLASS Menu\r\n{\r\n\tLOCTEXT m\r\n}\r\n");
	WriteWholeFile("menu.juice", "INCLUDE menu.fruit\r\n\r\nMenu g\r\n{\r\n\tm \"Hello there\"\r\n}\r\n");
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_NE(std::string::npos, locMessages.find("LOG: JuiceToIce::IsFileNewer(): Missing 'menu.ice'\n"));
	EXPECT_NE(std::string::npos,
	          locMessages.find("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): compiling 'menu.juice'...\n"));
	// The localized text stands inline already: the author's text is left as it is.
	EXPECT_EQ(std::string::npos, locMessages.find("re-sav")) << locMessages;
	EXPECT_EQ("INCLUDE menu.fruit\r\n\r\nMenu g\r\n{\r\n\tm \"Hello there\"\r\n}\r\n", ReadWholeFile("menu.juice"));
	EXPECT_FALSE(fs::exists("menu.juice.orig"));
	IceBytes locExpected;
	locExpected.Header(1, 1).Composite("Menu", "g", 1).Value("LOCTEXT", "m", "0");
	EXPECT_EQ(locExpected.myBytes, ReadWholeFile("menu.ice"));
	EXPECT_EQ("\xEF\xBB\xBFg.m\tHello there\r\n", ReadWholeFile("menu.loc"));
	EXPECT_EQ(HashLine("Menu", ourTextEnd) + HashLine("g", ourTextEnd) + HashLine("LOCTEXT", ourTextEnd) +
	              HashLine("m", ourTextEnd) + ourTextEnd + ourTextEnd + "No duplicate hash entries." + ourTextEnd,
	          ReadWholeFile("menu.hash"));
	EXPECT_EQ("Menu g composite 1\n  LOCTEXT m value \"0\" text \"Hello there\"\n", Dump("menu.ice"));

	// A current Ice file is left alone.
	const char* const locFiles[] = {"menu.juice", "menu.ice", "menu.loc", "menu.hash"};
	std::pair<std::string, fs::file_time_type> locBefore[4];
	for (int i = 0; i < 4; ++i)
		locBefore[i] = std::make_pair(ReadWholeFile(locFiles[i]), fs::last_write_time(locFiles[i]));
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("compiling")) << locMessages;
	for (int i = 0; i < 4; ++i)
		EXPECT_TRUE(std::make_pair(ReadWholeFile(locFiles[i]), fs::last_write_time(locFiles[i])) == locBefore[i])
			<< locFiles[i];

	fs::last_write_time("menu.juice", fs::last_write_time("menu.ice") + std::chrono::seconds(10));
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_NE(std::string::npos,
	          locMessages.find("LOG: JuiceToIce::IsFileNewer(): Existing 'menu.juice' is newer than existing 'menu.ice'\n"))
		<< locMessages;
	EXPECT_NE(std::string::npos, locMessages.find("compiling 'menu.juice'"));
	EXPECT_EQ(locExpected.myBytes, ReadWholeFile("menu.ice"));
}

TEST_F(IceToolTest, CompileNamesWhatAReSaveKeptAndWhere)
{
	WriteWholeFile("menu.fruit", "CLASS Menu\r\n{\r\n\tLOCTEXT m\r\n}\r\n");
	const std::string locFirst = "INCLUDE menu.fruit\r\nMenu g\r\n{\r\n\tm 0\r\n}\r\n";
	WriteWholeFile("menu.juice", locFirst);
	WriteWholeFile("menu.lang", "2 players\r\n");
	// A copy of an earlier re-save is in the way: this one gets a name of its own.
	WriteWholeFile("menu.juice.orig", "// earlier\r\n");
	std::string locMessages;
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_NE(std::string::npos,
	          locMessages.find("icetool: re-saved 'menu.juice' with its texts inline; the text it replaced is kept in "
	                           "'menu.juice.orig2', and 'menu.lang' is kept as 'menu.lang.orig' so that no text is "
	                           "looked up in it again\n"))
		<< locMessages;
	EXPECT_EQ(locFirst, ReadWholeFile("menu.juice.orig2"));
	EXPECT_EQ("// earlier\r\n", ReadWholeFile("menu.juice.orig"));

	// Compiled again, the re-saved text is what the author sees and nothing more is said.
	fs::last_write_time("menu.juice", fs::last_write_time("menu.ice") + std::chrono::seconds(10));
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("icetool: re-saved")) << locMessages;
	EXPECT_EQ("Menu g composite 1\n  LOCTEXT m value \"0\" text \"2 players\"\n", Dump("menu.ice"));

	// A re-save that cannot be made says so, and names no kept copy.
	WriteWholeFile("menu.juice", locFirst);
	WriteWholeFile("menu.lang", "Hello\r\n");
	fs::create_directory("menu.juice.juicetmp");
	fs::last_write_time("menu.juice", fs::last_write_time("menu.ice") + std::chrono::seconds(20));
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_NE(std::string::npos, locMessages.find("icetool: 'menu.juice' takes texts from 'menu.lang' and could not be "
	                                              "re-saved with them inline; both files are as they were\n"))
		<< locMessages;
	EXPECT_EQ(locFirst, ReadWholeFile("menu.juice"));
	EXPECT_EQ("Hello\r\n", ReadWholeFile("menu.lang"));
}

TEST_F(IceToolTest, DumpPrintsEveryMemberWithNamesFromTheReport)
{
	EXPECT_EQ("error: cannot load 'menu.ice'\nLOG: Ice::Init(): failed to read file 'menu.ice'\n", Dump("menu.ice"));

	IceBytes locIce;
	locIce.Header(1, 5)
		.Composite("Menu", "myGui", 4)
		.Value("NUMBER", "myCount", "12")
		.Value("TEXT", "myEmpty", "")
		.Value("TEXT", "myQuote", "say \"hi\"\\ \t")
		.Composite("Vector", "myPos", 1)
		.Value("DECIMAL", "x", "1.5", 0)
		.Value("LOCTEXT", "myTitle", "1")
		.Reference("Vector*", "myRef", "myGui.myPos")
		.Reference("Vector*", "myChain", "myRef")
		.Reference("Vector*", "myNone", "null");
	WriteWholeFile("menu.ice", locIce.myBytes);
	WriteWholeFile("menu.loc", "\xEF\xBB\xBFmyGui.a\tFirst\r\nmyTitle\tCaf\xC3\xA9\\nline\r\n");
	// Every name but x; a second text for a known checksum and the duplicate section change nothing.
	std::string locReport;
	for (const char* locName : {"Menu", "myGui", "NUMBER", "myCount", "TEXT", "myEmpty", "myQuote", "Vector", "myPos",
	                            "DECIMAL", "LOCTEXT", "myTitle", "Vector*", "myRef", "myChain", "myNone"})
		locReport += HashLine(locName);
	std::string locOther = HashLine("myGui", "\r\n").replace(14, 5, "other");
	WriteWholeFile("menu.hash", locReport + locOther + "\n\nDuplicate Hash Entries:\n" + locOther +
	                           "\n2 duplicate hash entries were found!\n");
	EXPECT_EQ(ReadWholeFile(KC_TestDataFolder() + "/dump_expected.txt"), Dump("menu.ice"));

	// Without the report every name is its checksum, and localized texts are not recognised.
	fs::remove("menu.hash");
	std::string locDump = Dump("menu.ice");
	EXPECT_EQ(0u, locDump.find("03b80196 0632020c composite 4\n")) << locDump;
	EXPECT_EQ(std::string::npos, locDump.find("Caf"));
}

TEST_F(IceToolTest, CompileWarnsAboutEachFileWithALoneLineFeed)
{
	// An LF-only type file reached through a CR LF one, a Juice text with one LF
	// on its third line, and a clean language file.
	WriteWholeFile("base.fruit", "CLASS Colour\n{\n\tNUMBER myR\n}\n");
	WriteWholeFile("menu.fruit", "INCLUDE base.fruit\r\nINCLUDE base.fruit\r\nCLASS Menu\r\n{\r\n\tLOCTEXT m\r\n}\r\n");
	WriteWholeFile("menu.juice", "INCLUDE menu.fruit // types\r\n\r\nMenu g\n{\r\n\tm 0\r\n}");
	WriteWholeFile("menu.lang", "\tHello\r\n");
	std::string locMessages;
	EXPECT_FALSE(Compile("MENU.ice", locMessages));
	const std::string locAdvice = " ends in a line feed without a carriage return: Juice needs CR LF line ends and "
	                              "reads a lone line feed as a blank\n";
	std::string locExpected = "icetool: warning: 'menu.juice' line 3 \"Menu g\"" + locAdvice +
	                          "icetool: warning: 'base.fruit' line 1 \"CLASS Colour\"" + locAdvice;
	// The warnings come first, each file once, and the compilation still runs.
	EXPECT_EQ(locExpected, locMessages.substr(0, locExpected.size())) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("icetool:", locExpected.size())) << locMessages;
	EXPECT_NE(std::string::npos, locMessages.find("compiling 'menu.juice'"));

	// With CR LF everywhere nothing is said and the menu compiles.
	WriteWholeFile("base.fruit", "CLASS Colour\r\n{\r\n\tNUMBER myR\r\n}\r\n");
	WriteWholeFile("menu.juice", "INCLUDE menu.fruit\r\n\r\nMenu g\r\n{\r\n\tm 0\r\n}");
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("icetool: warning")) << locMessages;
	EXPECT_EQ("\xEF\xBB\xBFg.m\tHello\r\n", ReadWholeFile("menu.loc"));

	// A language file is checked too; a long line is cut short in the warning.
	WriteWholeFile("menu.lang", "\t" + std::string(70, 'x') + "\nsecond\r\n");
	fs::last_write_time("menu.juice", fs::last_write_time("menu.ice") + std::chrono::seconds(10));
	Compile("menu.ice", locMessages);
	EXPECT_EQ(0u, locMessages.find("icetool: warning: 'menu.lang' line 1 \"\\t" + std::string(59, 'x') + "...\"" +
	                               locAdvice))
		<< locMessages;
}
}

TEST_F(IceToolTest, CompileNamesUnicodeTextAndCarriageReturnsAlone)
{
	WriteWholeFile("menu.fruit", std::string("\xFF\xFE" "C\0L\0A\0S\0S\0\r\0\n\0", 16));
	WriteWholeFile("menu.juice", "INCLUDE menu.fruit\r\nMenu g\r{\r}\r");
	std::string locMessages;
	EXPECT_FALSE(Compile("menu.ice", locMessages));
	const std::string locExpected =
		"icetool: warning: 'menu.juice' line 2 \"Menu g\" ends in a carriage return without a line feed (line ends of "
		"CR alone): Juice needs CR LF line ends\n"
		"icetool: warning: 'menu.fruit' is UTF-16 text (what Notepad saves as \"Unicode\"): save it as ANSI or UTF-8\n";
	EXPECT_EQ(locExpected, locMessages.substr(0, locExpected.size())) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("line feed without")) << locMessages;
}

TEST_F(IceToolTest, CompileChecksOnlyTheFilesThatIncludeLinesName)
{
	// Only c.fruit is included: the other names stand in a comment or after a
	// keyword without its blank. Each would be warned about if it were read.
	WriteWholeFile("b.fruit", "CLASS B\n");
	WriteWholeFile("d.fruit", "CLASS D\n");
	WriteWholeFile("c.fruit", "CLASS Menu\r\n{\r\n}\r\n\n");
	WriteWholeFile("menu.juice", "// INCLUDE b.fruit\r\n \tINCLUDE c.fruit\r\nINCLUDEd.fruit\r\n\r\nMenu g\r\n{\r\n}\r\n");
	std::string locMessages;
	Compile("menu.ice", locMessages);
	const std::string locExpected = "icetool: warning: 'c.fruit' line 4 \"\" ends in a line feed without a carriage "
	                                "return: Juice needs CR LF line ends and reads a lone line feed as a blank\n";
	EXPECT_EQ(locExpected, locMessages.substr(0, locExpected.size())) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("icetool: warning", locExpected.size())) << locMessages;
}

TEST_F(IceToolTest, LinesAcrossTheReadingPiecesAreWholeLines)
{
	// Comment lines fill the Juice text up to just before 64 KiB, so that the
	// include line and then a lone line feed each straddle a piece boundary.
	std::string locJuice;
	auto locPadTo = [&locJuice](size_t aSize) {
		while (locJuice.size() + 200 <= aSize)
			locJuice += "// " + std::string(95, 'c') + "\r\n";
		locJuice += "//" + std::string(aSize - locJuice.size() - 4, 'c') + "\r\n";
	};
	locPadTo(65536 - 5);
	locJuice += "INCLUDE e.fruit\r\n";
	locPadTo(2 * 65536 - 3);
	const unsigned int locLoneLine = static_cast<unsigned int>(std::count(locJuice.begin(), locJuice.end(), '\n')) + 1;
	locJuice += "// lone\n\r\nMenu g\r\n{\r\n}\r\n";
	WriteWholeFile("menu.juice", locJuice);
	WriteWholeFile("e.fruit", "CLASS Menu\n{\r\n}\r\n");
	std::string locMessages;
	Compile("menu.ice", locMessages);
	const std::string locAdvice = " ends in a line feed without a carriage return: Juice needs CR LF line ends and "
	                              "reads a lone line feed as a blank\n";
	const std::string locExpected = "icetool: warning: 'menu.juice' line " + std::to_string(locLoneLine) +
	                                " \"// lone\"" + locAdvice + "icetool: warning: 'e.fruit' line 1 \"CLASS Menu\"" +
	                                locAdvice;
	EXPECT_EQ(locExpected, locMessages.substr(0, locExpected.size())) << locMessages;
}

TEST_F(IceToolTest, ALineLongerThanAReadingPieceIsOneLine)
{
	// A comment line of 150,000 bytes, then a carriage return inside the next
	// line, then an include line: the line numbers and the include are those
	// of whole lines.
	std::string locJuice = "//" + std::string(150000, 'c') + "\r\n";
	locJuice += "Menu g // a\rb\r\n";
	locJuice += "  INCLUDE f.fruit\r\n{\r\n}\r\n";
	WriteWholeFile("menu.juice", locJuice);
	WriteWholeFile("f.fruit", "CLASS Menu\r\n{\r\n}\n");
	std::string locMessages;
	Compile("menu.ice", locMessages);
	const std::string locExpected =
		"icetool: warning: 'menu.juice' line 2 \"Menu g // a\" ends in a carriage return without a line feed (line "
		"ends of CR alone): Juice needs CR LF line ends\n"
		"icetool: warning: 'f.fruit' line 3 \"}\" ends in a line feed without a carriage return: Juice needs CR LF "
		"line ends and reads a lone line feed as a blank\n";
	EXPECT_EQ(locExpected, locMessages.substr(0, locExpected.size())) << locMessages;
}
