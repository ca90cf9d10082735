#include "Ice.h"
#include "JuiceToIce.h"
#include "ice_test_support.h"
#include "JuiceCompiler.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceNameSpace.h"
#include "kc_list.h"
#include "kc_pool.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const kTypes =
	"CLASS Colour\r\n{\r\n\tNUMBER myR\r\n}\r\n\r\n"
	"CLASS Gui\r\n{\r\n\tLOCTEXT m\r\n\tFILE myBackground\r\n\tColour myChromaKey\r\n\tColour* myRef\r\n"
	"\tTEXT mya\r\n\tTEXT nwb\r\n}\r\n";

// mya and nwb share one Adler-32.
const char* const kMenu =
	"INCLUDE menu.fruit\r\n\r\n"
	"Gui g\r\n{\r\n\tm \"Hello\"\r\n\tmyBackground \"data\\menu\\bg.tga\"\r\n"
	"\tmyChromaKey\r\n\t{\r\n\t\tmyR 255\r\n\t}\r\n\tmyRef g.myChromaKey\r\n\tmya one\r\n\tnwb two\r\n}\r\n";

std::string HashLine(const std::string& aText)
{
	char locLine[600];
	std::snprintf(locLine, sizeof(locLine), "%13d %s" LINE_END, static_cast<int>(IceBytes::Adler32(aText)),
	              aText.c_str());
	return locLine;
}

class Converter : public ::testing::Test
{
protected:
	void SetUp() override
	{
		std::filesystem::remove_all("conv");
		std::filesystem::create_directory("conv");
		ASSERT_TRUE(WriteWholeFile("conv/menu.fruit", kTypes));
	}

	static void MakeNewer(const char* aFile, int aSeconds)
	{
		std::filesystem::last_write_time(aFile, std::filesystem::last_write_time(aFile) + std::chrono::seconds(aSeconds));
	}

	static bool LoadConverted()
	{
		std::unique_ptr<Ice> locIce(Ice::Load("autorun.ice", true));
		return locIce != nullptr;
	}

	// The tests work inside conv/, as autorun does in its folder.
	struct InFolder
	{
		InFolder() : myOld(std::filesystem::current_path()) { std::filesystem::current_path("conv"); }
		~InFolder() { std::filesystem::current_path(myOld); }
		std::filesystem::path myOld;
	};
};
}

TEST_F(Converter, WritesIceHashAndLanguageFilesByteForByte)
{
	InFolder locFolder;
	ASSERT_TRUE(WriteWholeFile("autorun.juice", kMenu));
	MessageCapture locLog;
	ASSERT_TRUE(LoadConverted());
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::IsFileNewer(): Missing 'autorun.ice'"));
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): compiling 'autorun.juice'..."));
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): converting namespace to 'autorun.ice'..."));
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): Converted 'autorun.juice' to 'autorun.ice'"));

	IceBytes locExpected;
	locExpected.Header(1, 1)
		.Composite("Gui", "g", 6)
		.Value("LOCTEXT", "m", "0")
		.Value("FILE", "myBackground", "data/menu/bg.tga")
		.Composite("Colour", "myChromaKey", 1)
		.Value("NUMBER", "myR", "255")
		.Reference("Colour*", "myRef", "g.myChromaKey")
		.Value("TEXT", "mya", "one")
		.Value("TEXT", "nwb", "two");
	EXPECT_EQ(locExpected.myBytes, ReadWholeFile("autorun.ice"));
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\tHello\r\n"), ReadWholeFile("autorun.loc"));

	std::string locHash;
	for (const char* locName : {"Gui", "g", "LOCTEXT", "m", "FILE", "myBackground", "Colour", "myChromaKey", "NUMBER",
	                            "myR", "Colour*", "myRef", "TEXT", "mya", "nwb"})
		locHash += HashLine(locName);
	locHash += LINE_END LINE_END "Duplicate Hash Entries:" LINE_END;
	locHash += HashLine("mya") + HashLine("nwb");
	locHash += LINE_END "2 duplicate hash entries were found!" LINE_END;
	EXPECT_EQ(locHash, ReadWholeFile("autorun.hash"));

	// The loaded tree serves the localized text and the resolved reference.
	std::unique_ptr<Ice> locIce(Ice::Load("autorun.ice", false));
	ASSERT_TRUE(locIce);
	EXPECT_EQ(std::u16string(u"Hello"), std::u16string(locIce->GetMember("g.m")->GetLocString()));
	EXPECT_EQ(255, locIce->GetMember("g.myRef.myR")->GetInt());
}

TEST_F(Converter, ConvertsOnlyWhenTheTextIsNewerOrTheIceFileIsBad)
{
	InFolder locFolder;
	ASSERT_TRUE(WriteWholeFile("autorun.juice", kMenu));
	ASSERT_TRUE(LoadConverted());
	std::string locIce = ReadWholeFile("autorun.ice");

	{
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.myLogs.empty()) << locLog.myLogs[0];
	}
	{
		MakeNewer("autorun.juice", 5);
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::IsFileNewer(): Existing 'autorun.juice' is newer than existing 'autorun.ice'"));
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): Converted 'autorun.juice' to 'autorun.ice'"));
		EXPECT_EQ(locIce, ReadWholeFile("autorun.ice"));
	}
	{
		// A current but broken Ice file is converted again.
		ASSERT_TRUE(WriteWholeFile("autorun.ice", "ice0009"));
		MakeNewer("autorun.ice", 10);
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): Existing 'autorun.ice' is of incorrect format "
		                       "version (should be ice0010) or fragmented, forcing new conversion..."));
		EXPECT_EQ(locIce, ReadWholeFile("autorun.ice"));
	}
	{
		// Without its text the Ice file is used as it is.
		std::filesystem::remove("autorun.juice");
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.myLogs.empty());
	}
}

TEST_F(Converter, ACurrentIceFileWithAReferenceThatLeadsNowhereIsConvertedAgain)
{
	InFolder locFolder;
	ASSERT_TRUE(WriteWholeFile("autorun.juice", kMenu));
	ASSERT_TRUE(LoadConverted());
	const std::string locIce = ReadWholeFile("autorun.ice");
	IceBytes locDamaged;
	locDamaged.Header(1, 1).Composite("Gui", "g", 1).Reference("Colour*", "myRef", "g.myGone");
	ASSERT_TRUE(WriteWholeFile("autorun.ice", locDamaged.myBytes));
	MakeNewer("autorun.ice", 10);
	MessageCapture locLog;
	ASSERT_TRUE(LoadConverted());
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): Existing 'autorun.ice' is of incorrect format "
	                          "version (should be ice0010) or fragmented, forcing new conversion..."));
	EXPECT_EQ(locIce, ReadWholeFile("autorun.ice"));
}

TEST_F(Converter, RefusesMissingFilesAndBadNames)
{
	InFolder locFolder;
	MessageCapture locLog;
	EXPECT_FALSE(LoadConverted());
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::IsFileNewer(): none of the two files exist ('autorun.juice' or 'autorun.ice')"));

	KC_String locName("autorun.txt");
	EXPECT_FALSE(JuiceToIce::Priv_AssertFileName(locName));
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): you MUST pass a valid .ice filename (you passed 'autorun.txt')"));
	KC_String locLeading(".ice");
	EXPECT_FALSE(JuiceToIce::Priv_AssertFileName(locLeading));

	// A text that does not compile is not converted.
	ASSERT_TRUE(WriteWholeFile("autorun.juice", "INCLUDE missing.fruit\r\n"));
	EXPECT_FALSE(LoadConverted());
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): Failed to convert 'autorun.juice' to 'autorun.ice'"));
	EXPECT_FALSE(std::filesystem::exists("autorun.ice"));
}

TEST_F(Converter, TextCutOffInsideABlockIsNeitherConvertedNorReSaved)
{
	InFolder locFolder;
	// Localized, so that a conversion would re-save it; the file ends inside g's block.
	const std::string locCut = "INCLUDE menu.fruit\r\n\r\nGui g\r\n{\r\n\tm 0\r\n\tmyChromaKey\r\n\t{\r\n\t\tmyR 255\r\n"
	                           "\t}\r\n\tmya {{{ broken\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locCut));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "Hello\r\n"));
	MessageCapture locLog;
	EXPECT_FALSE(LoadConverted());
	EXPECT_TRUE(locLog.HasError("ERROR: (autorun.juice, line 2) Missing block end in instantiation of 'g' of class type "
	                            "'Gui': the file ends inside its block"))
		<< locLog.AllErrors();
	EXPECT_EQ(locCut, ReadWholeFile("autorun.juice"));
	for (const char* locName : {"autorun.ice", "autorun.hash", "autorun.loc", "autorun.juice.orig"})
		EXPECT_FALSE(std::filesystem::exists(locName)) << locName;
}

TEST_F(Converter, TheFirstReSaveKeepsTheAuthorsTextAsOrig)
{
	InFolder locFolder;
	const std::string locFirst = "INCLUDE menu.fruit\r\n// texts in autorun.lang\r\nGui g\r\n{\r\n\tm 0\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locFirst));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "Hello\r\n"));
	{
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): kept the original of 'autorun.juice' as "
		                          "'autorun.juice.orig'"));
	}
	EXPECT_EQ(locFirst, ReadWholeFile("autorun.juice.orig"));
	const std::string locReSaved = ReadWholeFile("autorun.juice");
	EXPECT_NE(std::string::npos, locReSaved.find("m Hello")) << locReSaved;

	// Later re-saves leave the first original alone.
	const std::string locSecond = "INCLUDE menu.fruit\r\nGui g\r\n{\r\n\tm \"Good bye\"\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locSecond));
	MakeNewer("autorun.juice", 5);
	ASSERT_TRUE(LoadConverted());
	EXPECT_EQ(locFirst, ReadWholeFile("autorun.juice.orig"));
	EXPECT_NE(std::string::npos, ReadWholeFile("autorun.juice").find("m \"Good bye\""));
	EXPECT_FALSE(std::filesystem::exists("autorun.juice.origtmp"));
}

TEST_F(Converter, WithoutTheOrigCopyTheTextIsNotReSavedAndTheConversionGoesOn)
{
	InFolder locFolder;
	const std::string locText = "INCLUDE menu.fruit\r\nGui g\r\n{\r\n\tm 0\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locText));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "Hello\r\n"));
	// A folder in the way of the copy stands for a disc that takes no files.
	std::filesystem::create_directory("autorun.juice.origtmp");
	MessageCapture locLog;
	ASSERT_TRUE(LoadConverted());
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): failed to keep the original of "
	                          "'autorun.juice' as 'autorun.juice.orig'"));
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): failed to persist 'autorun.juice'"));
	EXPECT_EQ(locText, ReadWholeFile("autorun.juice"));
	EXPECT_FALSE(std::filesystem::exists("autorun.juice.orig"));
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\tHello\r\n"), ReadWholeFile("autorun.loc"));
}

// The author's text is re-saved only when a text came from the language file,
// and no text that the author wrote is ever overwritten.
TEST_F(Converter, TextsWrittenInlineAreNeverReSaved)
{
	InFolder locFolder;
	// A menu whose only LOCTEXT stands inline, with a comment and a layout of its own.
	const std::string locText = "INCLUDE menu.fruit\r\n// my menu\r\nGui g\r\n{\r\n  m \"Hello\" // greeting\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locText));
	{
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		for (const std::string& locLine : locLog.myLogs)
			EXPECT_EQ(std::string::npos, locLine.find("re-saving")) << locLine;
	}
	EXPECT_EQ(locText, ReadWholeFile("autorun.juice"));
	EXPECT_FALSE(std::filesystem::exists("autorun.juice.orig"));
	// The Ice side is as for any localized text: flag 1, the text in the .loc file.
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\tHello\r\n"), ReadWholeFile("autorun.loc"));
	EXPECT_EQ('\x01', ReadWholeFile("autorun.ice").at(8));
}

TEST_F(Converter, AnEditAfterAReSaveSurvivesAndEveryVersionIsKept)
{
	InFolder locFolder;
	const std::string locFirst = "INCLUDE menu.fruit\r\nGui g\r\n{\r\n\tm 0 // from the .lang file\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locFirst));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "Hello\r\n"));
	{
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): moved 'autorun.lang' to "
		                          "'autorun.lang.orig': the texts stand inline now"))
			;
		EXPECT_TRUE(JuiceToIce::GetLastReSave().myDone);
		EXPECT_EQ(KC_String("autorun.juice.orig"), JuiceToIce::GetLastReSave().myOriginalName);
	}
	EXPECT_EQ(locFirst, ReadWholeFile("autorun.juice.orig"));
	EXPECT_EQ("Hello\r\n", ReadWholeFile("autorun.lang.orig"));
	EXPECT_FALSE(std::filesystem::exists("autorun.lang"));

	// The author edits the re-saved text: the comment stays through later compilations.
	std::string locEdited = "// edited after the re-save\r\n" + ReadWholeFile("autorun.juice");
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locEdited));
	MakeNewer("autorun.juice", 5);
	ASSERT_TRUE(LoadConverted());
	EXPECT_FALSE(JuiceToIce::GetLastReSave().myTried);
	EXPECT_EQ(locEdited, ReadWholeFile("autorun.juice"));
	EXPECT_EQ(locFirst, ReadWholeFile("autorun.juice.orig"));

	// A new language file brings a second re-save: both earlier versions stay.
	const std::string locSecond = "INCLUDE menu.fruit\r\n// second\r\nGui g\r\n{\r\n\tm 1\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locSecond));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "Hi\r\nGood bye\r\n"));
	MakeNewer("autorun.juice", 10);
	ASSERT_TRUE(LoadConverted());
	EXPECT_EQ(locFirst, ReadWholeFile("autorun.juice.orig"));
	EXPECT_EQ(locSecond, ReadWholeFile("autorun.juice.orig2"));
	EXPECT_EQ("Hello\r\n", ReadWholeFile("autorun.lang.orig"));
	EXPECT_EQ("Hi\r\nGood bye\r\n", ReadWholeFile("autorun.lang.orig2"));
	EXPECT_NE(std::string::npos, ReadWholeFile("autorun.juice").find("m \"Good bye\"")) << ReadWholeFile("autorun.juice");
}

TEST_F(Converter, AReSavedTextThatBeginsWithADigitKeepsItsMeaning)
{
	InFolder locFolder;
	ASSERT_TRUE(WriteWholeFile("autorun.juice", "INCLUDE menu.fruit\r\nGui g\r\n{\r\n\tm 2\r\n}\r\n"));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "zero\r\none\r\n2 players\r\n"));
	ASSERT_TRUE(LoadConverted());
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\t2 players\r\n"), ReadWholeFile("autorun.loc"));

	// Compiled again, "2 players" is the text and no index into the old entries.
	MakeNewer("autorun.juice", 5);
	ASSERT_TRUE(LoadConverted());
	EXPECT_FALSE(JuiceToIce::GetLastReSave().myTried);
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\t2 players\r\n"), ReadWholeFile("autorun.loc"));
}

TEST_F(Converter, ALanguageFileThatCannotBeMovedAsideLeavesTheTextAsItWas)
{
	InFolder locFolder;
	const std::string locText = "INCLUDE menu.fruit\r\nGui g\r\n{\r\n\tm 0\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locText));
	ASSERT_TRUE(WriteWholeFile("autorun.lang", "Hello\r\n"));
	// A folder in the way of the re-saved text's temporary file.
	std::filesystem::create_directory("autorun.juice.juicetmp");
	MessageCapture locLog;
	ASSERT_TRUE(LoadConverted());
	EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): failed to persist 'autorun.juice'"));
	EXPECT_EQ(locText, ReadWholeFile("autorun.juice"));
	// The indexes still need their file: it is back in its place, and the text
	// that stays has no copy.
	EXPECT_EQ("Hello\r\n", ReadWholeFile("autorun.lang"));
	EXPECT_FALSE(std::filesystem::exists("autorun.lang.orig"));
	EXPECT_FALSE(std::filesystem::exists("autorun.juice.orig"));
	EXPECT_TRUE(JuiceToIce::GetLastReSave().myTried);
	EXPECT_FALSE(JuiceToIce::GetLastReSave().myDone);
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\tHello\r\n"), ReadWholeFile("autorun.loc"));
}

TEST_F(Converter, AnOverlongValueFailsTheConversionAndLeavesTheFilesAsTheyWere)
{
	InFolder locFolder;
	const std::string locOverlong =
		"INCLUDE menu.fruit\r\n\r\nGui failed\r\n{\r\n\tmyBackground x.tga\r\n\tmya \"" + std::string(512, 'x') + "\"\r\n}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locOverlong));
	{
		MessageCapture locLog;
		EXPECT_FALSE(LoadConverted());
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, "
		                          "JuiceLocalizer& aLocalizer): string value exceeds maximum allowed length (512 chars)"));
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_AssertFileName(): Failed to convert 'autorun.juice' to "
		                          "'autorun.ice'"));
	}
	for (const char* locName : {"autorun.ice", "autorun.icetmp", "autorun.hash", "autorun.hashtmp"})
		EXPECT_FALSE(std::filesystem::exists(locName)) << locName;

	// A good conversion: its report holds none of the failed one's names.
	ASSERT_TRUE(WriteWholeFile("autorun.juice", kMenu));
	MakeNewer("autorun.juice", 5);
	ASSERT_TRUE(LoadConverted());
	const std::string locIce = ReadWholeFile("autorun.ice");
	const std::string locHash = ReadWholeFile("autorun.hash");
	const std::string locLoc = ReadWholeFile("autorun.loc");
	EXPECT_EQ(std::string::npos, locHash.find("failed"));
	EXPECT_EQ(HashLine("Gui"), locHash.substr(0, HashLine("Gui").size()));

	// A failure after it leaves its files as they were: 511 bytes pass, 512 do not.
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locOverlong));
	MakeNewer("autorun.juice", 10);
	EXPECT_FALSE(LoadConverted());
	EXPECT_EQ(locIce, ReadWholeFile("autorun.ice"));
	EXPECT_EQ(locHash, ReadWholeFile("autorun.hash"));
	EXPECT_EQ(locLoc, ReadWholeFile("autorun.loc"));
	EXPECT_FALSE(std::filesystem::exists("autorun.icetmp"));
	ASSERT_TRUE(WriteWholeFile("autorun.juice", "INCLUDE menu.fruit\r\n\r\nGui g\r\n{\r\n\tmya \"" +
	                                                std::string(511, 'x') + "\"\r\n}\r\n"));
	MakeNewer("autorun.juice", 15);
	ASSERT_TRUE(LoadConverted());
	std::unique_ptr<Ice> locLoaded(Ice::Load("autorun.ice", false));
	ASSERT_TRUE(locLoaded);
	EXPECT_EQ(std::string(511, 'x'), locLoaded->GetMemberValue("g.mya"));
}

TEST_F(Converter, AHashFileThatCannotBeWrittenIsLoggedAndTheOldOneStays)
{
	InFolder locFolder;
	ASSERT_TRUE(WriteWholeFile("autorun.juice", kMenu));
	ASSERT_TRUE(WriteWholeFile("autorun.hash", "old report"));
	// A folder in the way of the report's temporary file.
	std::filesystem::create_directory("autorun.hashtmp");
	{
		MessageCapture locLog;
		ASSERT_TRUE(LoadConverted());
		EXPECT_TRUE(locLog.HasLog("LOG: JuiceToIce::Priv_ConvertJuiceToIce(): failed to write the hash file of "
		                          "'autorun.ice'"));
	}
	EXPECT_EQ("old report", ReadWholeFile("autorun.hash"));
	// The next report holds the next conversion's names only.
	std::filesystem::remove("autorun.hashtmp");
	std::string locOther = kMenu;
	locOther.replace(locOther.find("Gui g"), 5, "Gui k");
	locOther.replace(locOther.find("g.myChromaKey"), 13, "k.myChromaKey");
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locOther));
	MakeNewer("autorun.juice", 5);
	ASSERT_TRUE(LoadConverted());
	const std::string locHash = ReadWholeFile("autorun.hash");
	EXPECT_NE(std::string::npos, locHash.find(HashLine("k"))) << locHash;
	EXPECT_EQ(std::string::npos, locHash.find(HashLine("g"))) << locHash;
}

TEST_F(Converter, EmptyLocalizedTextRoundTripsThroughTheLanguageFile)
{
	InFolder locFolder;
	ASSERT_TRUE(WriteWholeFile("autorun.juice", "INCLUDE menu.fruit\r\n\r\nGui g\r\n{\r\n\tm\r\n\tmya one\r\n}\r\n"));
	ASSERT_TRUE(LoadConverted());
	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\t<empty>\r\n"), ReadWholeFile("autorun.loc"));

	// The Ice file now loads as it is, and serves the empty text.
	MessageCapture locLog;
	std::unique_ptr<Ice> locIce(Ice::Load("autorun.ice", true));
	ASSERT_TRUE(locIce);
	EXPECT_TRUE(locLog.myLogs.empty()) << locLog.myLogs[0];
	const char16_t* locText = locIce->GetMember("g.m")->GetLocString();
	ASSERT_TRUE(locText);
	EXPECT_EQ(std::u16string(), std::u16string(locText));
	EXPECT_STREQ("one", locIce->GetMemberValue("g.mya"));
}

TEST_F(Converter, HashReportListsEachNameOnceAndEveryCollisionInFirstSeenOrder)
{
	InFolder locFolder;
	// mya, nwb, ouc and psd share one Adler-32; nwb and ouc come twice.
	ASSERT_TRUE(WriteWholeFile("menu.fruit", "CLASS Pair\r\n{\r\n\tTEXT nwb\r\n\tTEXT ouc\r\n}\r\n\r\n"
	                                         "CLASS Gui\r\n{\r\n\tTEXT mya\r\n\tPair p\r\n\tPair q\r\n\tTEXT psd\r\n}\r\n"));
	ASSERT_TRUE(WriteWholeFile("autorun.juice", "INCLUDE menu.fruit\r\n\r\nGui g\r\n{\r\n\tmya 1\r\n\tp\r\n\t{\r\n"
	                                            "\t\tnwb 2\r\n\t\touc 3\r\n\t}\r\n\tq\r\n\t{\r\n\t\tnwb 4\r\n\t}\r\n"
	                                            "\tpsd 5\r\n}\r\n"));
	// The second conversion's report is checked: the first one's names are gone.
	ASSERT_TRUE(LoadConverted());
	MakeNewer("autorun.juice", 5);
	ASSERT_TRUE(LoadConverted());

	std::string locHash;
	for (const char* locName : {"Gui", "g", "TEXT", "mya", "Pair", "p", "nwb", "ouc", "q", "psd"})
		locHash += HashLine(locName);
	locHash += LINE_END LINE_END "Duplicate Hash Entries:" LINE_END;
	for (const char* locName : {"mya", "nwb", "ouc", "psd"})
		locHash += HashLine(locName);
	locHash += LINE_END "4 duplicate hash entries were found!" LINE_END;
	EXPECT_EQ(locHash, ReadWholeFile("autorun.hash"));
}

TEST_F(Converter, HashReportKeepsItsOrderPastTheTablesFirstSize)
{
	InFolder locFolder;
	// 300 buttons: more names than the tables first hold, many of them with
	// checksums at or above 2^31 (printed as negative numbers), and names of
	// the same letters in other places whose checksums collide.
	ASSERT_TRUE(WriteWholeFile("menu.fruit", "CLASS Button\r\n{\r\n\tTEXT myCaption\r\n}\r\n\r\n"
	                                         "SCRIPTCLASS List\r\n{\r\n\tButton\r\n}\r\n"));
	std::string locJuice = "INCLUDE menu.fruit\r\n\r\nList myList\r\n{\r\n";
	std::vector<std::string> locNames = {"List", "myList"};
	for (int locIndex = 0; locIndex < 300; ++locIndex)
	{
		std::string locName = "a_rather_long_button_name_number_" + std::to_string(locIndex);
		locJuice += "\tButton " + locName + "\r\n\t{\r\n\t\tmyCaption x\r\n\t}\r\n";
		if (locIndex == 0)
			locNames.push_back("Button");
		locNames.push_back(locName);
		if (locIndex == 0)
		{
			locNames.push_back("TEXT");
			locNames.push_back("myCaption");
		}
	}
	locJuice += "}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locJuice));
	ASSERT_TRUE(LoadConverted());

	// The report as the rules give it: every name, then each collision, the
	// first holder of a checksum before its second.
	std::string locHash, locDuplicates;
	std::map<unsigned int, std::vector<std::string>> locHolders;
	int locDuplicateCount = 0, locNegative = 0;
	for (const std::string& locName : locNames)
	{
		locHash += HashLine(locName);
		std::vector<std::string>& locSame = locHolders[IceBytes::Adler32(locName)];
		if (locSame.size() == 1)
		{
			locDuplicates += HashLine(locSame[0]);
			++locDuplicateCount;
		}
		if (!locSame.empty())
		{
			locDuplicates += HashLine(locName);
			++locDuplicateCount;
		}
		locSame.push_back(locName);
		locNegative += static_cast<int>(IceBytes::Adler32(locName)) < 0;
	}
	ASSERT_GT(locNegative, 0);
	ASSERT_GT(locDuplicateCount, 0);
	locHash += LINE_END LINE_END "Duplicate Hash Entries:" LINE_END + locDuplicates + LINE_END +
	           std::to_string(locDuplicateCount) + " duplicate hash entries were found!" LINE_END;
	EXPECT_EQ(locHash, ReadWholeFile("autorun.hash"));
}

TEST_F(Converter, OutOfMemoryFailsTheConversionAndLeavesNoFile)
{
	InFolder locFolder;
	// 30,000 buttons of short names: their hash records need several runs of
	// the pool's pages.
	ASSERT_TRUE(WriteWholeFile("menu.fruit", "CLASS Button\r\n{\r\n\tTEXT myCaption\r\n}\r\n\r\n"
	                                         "SCRIPTCLASS List\r\n{\r\n\tButton\r\n}\r\n"));
	std::string locJuice = "INCLUDE menu.fruit\r\n\r\nList myList\r\n{\r\n";
	for (int locIndex = 0; locIndex < 30000; ++locIndex)
		locJuice += "\tButton b" + std::to_string(locIndex) + "\r\n\t{\r\n\t\tmyCaption x\r\n\t}\r\n";
	locJuice += "}\r\n";
	ASSERT_TRUE(WriteWholeFile("autorun.juice", locJuice));
	if (!KC_PoolLimitRuns(SIZE_MAX))
		GTEST_SKIP() << "the pool uses the heap in this build";
	JuiceNameSpace locNameSpace;
	EverythingIgnorer locIgnorer;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "autorun.juice", NULL, &locIgnorer));

	// The pool gets no more pages: the list of top-level instances still finds
	// free links, the hash records run dry.
	std::vector<void*> locLinks;
	for (int i = 0; i < 5000; ++i)
		locLinks.push_back(KC_PoolAllocate(sizeof(KC_ListLink<JuiceType*>)));
	for (void* locLink : locLinks)
		KC_PoolFree(locLink, sizeof(KC_ListLink<JuiceType*>));
	KC_PoolLimitRuns(0);
	bool locConverted = JuiceToIce::Priv_ConvertJuiceToIce(locNameSpace, "autorun.ice");
	KC_PoolLimitRuns(SIZE_MAX);
	EXPECT_FALSE(locConverted);
	EXPECT_FALSE(std::filesystem::exists("autorun.ice"));
	EXPECT_FALSE(std::filesystem::exists("autorun.hash"));

	// With memory back the same conversion succeeds.
	ASSERT_TRUE(JuiceToIce::Priv_ConvertJuiceToIce(locNameSpace, "autorun.ice"));
	EXPECT_TRUE(LoadConverted());
}
