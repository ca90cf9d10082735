#include "icetool_lib.h"

#include "ice_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace
{
std::string ReadFile(const std::string& aName)
{
	std::ifstream locStream(aName, std::ios::binary);
	std::ostringstream locContent;
	locContent << locStream.rdbuf();
	return locContent.str();
}

void WriteFile(const std::string& aName, const std::string& aContent)
{
	std::ofstream locStream(aName, std::ios::binary | std::ios::trunc);
	locStream << aContent;
}

// One report line: the checksum as a signed number right-aligned in 13 places, a space and the text.
std::string HashLine(const std::string& aText)
{
	char locNumber[32];
	std::snprintf(locNumber, sizeof(locNumber), "%13d ", static_cast<int>(IceBytes::Adler32(aText)));
	return locNumber + aText + "\n";
}

// The report is written as text: on Windows its lines end in CR LF.
std::string AsTextFile(const std::string& aText)
{
#ifdef _WIN32
	std::string locResult;
	for (char locChar : aText)
		locResult += locChar == '\n' ? std::string("\r\n") : std::string(1, locChar);
	return locResult;
#else
	return aText;
#endif
}

// Runs each test in a fresh temporary folder, so that relative names land there.
class IceToolTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		static int ourCounter = 0;
		myPrevious = fs::current_path();
		myFolder = fs::temp_directory_path() /
		           ("icetool_test_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
		            std::to_string(ourCounter++));
		fs::create_directories(myFolder);
		fs::current_path(myFolder);
	}
	void TearDown() override
	{
		std::error_code locError;
		fs::current_path(myPrevious, locError);
		fs::remove_all(myFolder, locError);
	}

	// Runs a command into files and returns what it printed; aMessages gets the message lines.
	bool Compile(const char* aName, std::string& aMessages)
	{
		std::FILE* locStream = std::fopen("messages.txt", "wb");
		bool locOk = ICE_Compile(aName, locStream);
		std::fclose(locStream);
		aMessages = ReadFile("messages.txt");
		return locOk;
	}
	std::string Dump(const char* aName)
	{
		std::FILE* locOutput = std::fopen("dump.txt", "wb");
		std::FILE* locMessages = std::fopen("messages.txt", "wb");
		std::string locError;
		bool locOk = ICE_Dump(aName, locOutput, locMessages, &locError);
		std::fclose(locOutput);
		std::fclose(locMessages);
		return locOk ? ReadFile("dump.txt") : "error: " + locError + "\n" + ReadFile("messages.txt");
	}

	fs::path myPrevious;
	fs::path myFolder;
};

struct FileState
{
	std::string myBytes;
	fs::file_time_type myTime;
	bool operator==(const FileState& anOther) const
	{
		return myBytes == anOther.myBytes && myTime == anOther.myTime;
	}
};

FileState StateOf(const char* aName)
{
	return FileState{ReadFile(aName), fs::last_write_time(aName)};
}

TEST_F(IceToolTest, CompileConvertsOnlyWhenTheJuiceTextIsNewer)
{
	// Juice lines end in CR LF.
	WriteFile("menu.fruit", "CLASS Menu\r\n{\r\n\tLOCTEXT m\r\n}\r\n");
	WriteFile("menu.juice", "INCLUDE menu.fruit\r\n\r\nMenu g\r\n{\r\n\tm \"Hello there\"\r\n}\r\n");

	std::string locMessages;
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_NE(std::string::npos, locMessages.find("LOG: JuiceToIce::IsFileNewer(): Missing 'menu.ice'\n"))
		<< locMessages;
	EXPECT_NE(std::string::npos,
	          locMessages.find("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): compiling 'menu.juice'...\n"));
	EXPECT_NE(std::string::npos,
	          locMessages.find("LOG: JuiceToIce::Priv_AssertFileName(): Converted 'menu.juice' to 'menu.ice'\n"));

	std::string locIce = ReadFile("menu.ice");
	IceBytes locExpected;
	locExpected.Header(1, 1).Composite("Menu", "g", 1).Value("LOCTEXT", "m", "0");
	EXPECT_EQ(locExpected.myBytes, locIce);
	EXPECT_EQ("\xEF\xBB\xBFg.m\tHello there\r\n", ReadFile("menu.loc"));
	EXPECT_EQ(AsTextFile(HashLine("Menu") + HashLine("g") + HashLine("LOCTEXT") + HashLine("m") +
	                     "\n\nNo duplicate hash entries.\n"),
	          ReadFile("menu.hash"));
	EXPECT_EQ("Menu g composite 1\n  LOCTEXT m value \"0\" text \"Hello there\"\n", Dump("menu.ice"));

	const char* const locFiles[] = {"menu.juice", "menu.ice", "menu.loc", "menu.hash"};
	FileState locBefore[4];
	for (int i = 0; i < 4; ++i)
		locBefore[i] = StateOf(locFiles[i]);
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_EQ(std::string::npos, locMessages.find("compiling")) << locMessages;
	for (int i = 0; i < 4; ++i)
		EXPECT_TRUE(StateOf(locFiles[i]) == locBefore[i]) << locFiles[i];

	fs::last_write_time("menu.juice", fs::last_write_time("menu.ice") + std::chrono::seconds(10));
	ASSERT_TRUE(Compile("menu.ice", locMessages)) << locMessages;
	EXPECT_NE(std::string::npos,
	          locMessages.find("LOG: JuiceToIce::IsFileNewer(): Existing 'menu.juice' is newer than existing 'menu.ice'\n"))
		<< locMessages;
	EXPECT_NE(std::string::npos, locMessages.find("compiling 'menu.juice'"));
	EXPECT_EQ(locExpected.myBytes, ReadFile("menu.ice"));
}

TEST_F(IceToolTest, CompileFailsAndSaysWhy)
{
	std::string locMessages;
	EXPECT_FALSE(Compile("menu.ice", locMessages));
	EXPECT_EQ("LOG: JuiceToIce::IsFileNewer(): none of the two files exist ('menu.juice' or 'menu.ice')\n",
	          locMessages);

	EXPECT_FALSE(Compile("menu.txt", locMessages));
	EXPECT_NE(std::string::npos, locMessages.find("you MUST pass a valid .ice filename (you passed 'menu.txt')"));

	// A text without its types does not compile; the Ice file is not written.
	WriteFile("menu.juice", "Menu g\r\n{\r\n\tm 1\r\n}\r\n");
	EXPECT_FALSE(Compile("menu.ice", locMessages));
	EXPECT_NE(std::string::npos, locMessages.find("Failed to convert 'menu.juice' to 'menu.ice'")) << locMessages;
}

TEST_F(IceToolTest, DumpPrintsEveryMemberWithNamesFromTheReport)
{
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
	WriteFile("menu.ice", locIce.myBytes);
	WriteFile("menu.loc", "\xEF\xBB\xBFmyGui.a\tFirst\r\nmyTitle\tCaf\xC3\xA9\\nline\r\n");
	// Every name but x; a second text for a known checksum and the duplicate section change nothing.
	std::string locReport;
	const char* const locNames[] = {"Menu", "myGui", "NUMBER", "myCount", "TEXT", "myEmpty", "myQuote", "Vector",
	                                "myPos", "DECIMAL", "LOCTEXT", "myTitle", "Vector*", "myRef", "myChain", "myNone"};
	for (const char* locName : locNames)
		locReport += HashLine(locName);
	char locOther[64];
	std::snprintf(locOther, sizeof(locOther), "%13d other\r\n", static_cast<int>(IceBytes::Adler32("myGui")));
	locReport += locOther + std::string("\n\nDuplicate Hash Entries:\n") + locOther + "\n2 duplicate hash entries were found!\n";
	WriteFile("menu.hash", locReport);

	EXPECT_EQ(ReadFile(ICETOOL_TEST_DATA "/dump_expected.txt"), Dump("menu.ice"));

	// Without the report every name is its checksum, and localized texts are not recognised.
	fs::remove("menu.hash");
	std::string locDump = Dump("menu.ice");
	EXPECT_EQ(0u, locDump.find("03b80196 0632020c composite 4\n")) << locDump;
	EXPECT_EQ(std::string::npos, locDump.find("Caf"));
}

TEST_F(IceToolTest, DumpRefusesFilesThatDoNotLoad)
{
	std::string locDump = Dump("missing.ice");
	EXPECT_EQ("error: cannot load 'missing.ice'\nLOG: Ice::Init(): failed to read file 'missing.ice'\n", locDump);

	IceBytes locIce;
	locIce.Header(0, 1).Composite("Menu", "g", 1).Value("TEXT", "t", "a text cut short");
	WriteFile("broken.ice", locIce.myBytes.substr(0, locIce.myBytes.size() - 5));
	locDump = Dump("broken.ice");
	EXPECT_EQ(0u, locDump.find("error: cannot load 'broken.ice'\n")) << locDump;
	EXPECT_NE(std::string::npos, locDump.find("LOG: Ice::Init(): failed to create member 0\n")) << locDump;
}
}
