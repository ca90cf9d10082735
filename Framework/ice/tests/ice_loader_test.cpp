#include "Ice.h"
#include "ice_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
const char* const kFile = "loader_test.ice";

std::unique_ptr<Ice> LoadBytes(const IceBytes& aBytes)
{
	EXPECT_TRUE(WriteWholeFile(kFile, aBytes.myBytes));
	return std::unique_ptr<Ice>(Ice::Load(kFile, false));
}

// A menu-like tree: myGui { myChromaKey { myR 255 } myTitle "" myBack -> myGui.myChromaKey myNone -> NULL }
IceBytes MenuBytes()
{
	IceBytes locBytes;
	locBytes.Header(0, 2)
		.Composite("Gui", "myGui", 4)
		.Composite("Colour", "myChromaKey", 2)
		.Value("NUMBER", "myR", "255")
		.Value("NUMBER", "myG", " -12abc")
		.Value("TEXT", "myTitle", "")
		.Reference("Colour", "myBack", "myGui.myChromaKey")
		.Reference("Colour", "myNone", "null")
		.Reference("Gui", "mySelf", "myGui");
	return locBytes;
}
}

TEST(Ice, LoadsValuesCompositesAndReferences)
{
	std::unique_ptr<Ice> locRoot = LoadBytes(MenuBytes());
	ASSERT_TRUE(locRoot);
	EXPECT_EQ(IceBytes::Adler32("ice0010"), locRoot->GetTypeHash());
	EXPECT_EQ(2u, locRoot->GetCount(true));

	Ice* locGui = locRoot->GetMember("myGui");
	ASSERT_NE(nullptr, locGui);
	EXPECT_EQ(IceBytes::Adler32("Gui"), locGui->GetTypeHash());
	EXPECT_EQ(nullptr, locGui->GetValue());
	EXPECT_STREQ("255", locRoot->GetMemberValue("myGui.myChromaKey.myR"));
	EXPECT_EQ(255, locRoot->GetMember("myGui.myChromaKey.myR")->GetInt());
	EXPECT_EQ(-12, locRoot->GetMember("myGui.myChromaKey.myG")->GetInt());
	EXPECT_STREQ("", locRoot->GetMemberValue("myGui.myTitle"));
	EXPECT_EQ(0, locRoot->GetMember("myGui.myTitle")->GetInt());

	// References are followed by every accessor but IsReference and GetCount(false).
	Ice* locBack = locGui->GetMember("myBack");
	ASSERT_NE(nullptr, locBack);
	EXPECT_TRUE(locBack->IsReference());
	EXPECT_EQ(0u, locBack->GetCount(false));
	EXPECT_EQ(2u, locBack->GetCount(true));
	EXPECT_EQ(IceBytes::Adler32("Colour"), locBack->GetTypeHash());
	EXPECT_STREQ("255", locBack->GetMemberValue("myR"));
	EXPECT_STREQ("255", locRoot->GetMemberValue("myGui.myBack.myR"));
	EXPECT_EQ(locRoot->GetMember("myGui.myChromaKey.myR"), locBack->GetMember(0u));

	Ice* locNone = locGui->GetMember("myNone");
	ASSERT_NE(nullptr, locNone);
	EXPECT_EQ(nullptr, locNone->GetValue());
	EXPECT_EQ(nullptr, locNone->GetMember("anything"));
	EXPECT_EQ(0, locNone->GetInt());
	EXPECT_EQ(IceBytes::Adler32("NULL"), locNone->GetTypeHash());
}

TEST(Ice, MissedLookupsAreLoggedAndReturnNull)
{
	std::unique_ptr<Ice> locRoot = LoadBytes(MenuBytes());
	ASSERT_TRUE(locRoot);
	MessageCapture locLog;
	EXPECT_EQ(nullptr, locRoot->GetMember("myGui.myButtons"));
	ASSERT_EQ(1u, locLog.myLogs.size());
	EXPECT_EQ("LOG: Ice::GetMember(): failed to find member named 'myButtons'. This may or may not cause a crash.",
	          locLog.myLogs[0]);

	locLog.myLogs.clear();
	EXPECT_EQ(nullptr, locRoot->GetMemberValue("myMissing.myR"));
	ASSERT_EQ(3u, locLog.myLogs.size());
	EXPECT_EQ("LOG: Ice::GetMember(): failed to find member named 'myMissing'. This may or may not cause a crash.",
	          locLog.myLogs[0]);
	EXPECT_EQ("LOG: Ice::GetMember(): failed to find member named 'myMissing.myR'. This may or may not cause a crash.",
	          locLog.myLogs[1]);
	EXPECT_EQ("LOG: Ice::GetMemberValue(): failed to find member named 'myMissing.myR'", locLog.myLogs[2]);

	// A value member has no children.
	EXPECT_EQ(nullptr, locRoot->GetMember("myGui.myTitle.x"));
}

TEST(Ice, StringLengthsStopBelow512)
{
	IceBytes locLongest;
	locLongest.Header(0, 1).Value("TEXT", "myText", std::string(511, 'a'));
	std::unique_ptr<Ice> locRoot = LoadBytes(locLongest);
	ASSERT_TRUE(locRoot);
	EXPECT_EQ(511u, std::string(locRoot->GetMemberValue("myText")).size());

	// Many values of every length side by side: each keeps its own text.
	IceBytes locMany;
	locMany.Header(0, 1).Composite("List", "myList", 512);
	for (int locLength = 0; locLength < 512; ++locLength)
		locMany.Value("TEXT", "v" + std::to_string(locLength), std::string(locLength, static_cast<char>('a' + locLength % 26)));
	locRoot = LoadBytes(locMany);
	ASSERT_TRUE(locRoot);
	for (unsigned int locLength = 0; locLength < 512; ++locLength)
	{
		const char* locValue = locRoot->GetMember("myList")->GetMember(locLength)->GetValue();
		ASSERT_TRUE(locValue);
		EXPECT_EQ(std::string(locLength, static_cast<char>('a' + locLength % 26)), locValue);
	}

	MessageCapture locLog;
	IceBytes locTooLong;
	locTooLong.Header(0, 1).Value("TEXT", "myText", std::string(512, 'a'));
	EXPECT_FALSE(LoadBytes(locTooLong));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): invalid string length 512 >= 512"));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): failed to create member 0"));
}

TEST(Ice, RefusesBadHeadersWithTheirMessages)
{
	MessageCapture locLog;
	EXPECT_FALSE(Ice::Load("", false));
	EXPECT_FALSE(Ice::Load("missing_file.ice", false));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): empty filename"));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): failed to read file 'missing_file.ice'"));

	// An empty file has no version.
	EXPECT_FALSE(LoadBytes(IceBytes()));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): invalid file version '' should have been 'ice0010'"));

	IceBytes locVersion;
	locVersion.Raw(std::string("ice0011", 8)).Int(0).Int(1).Value("TEXT", "a", "b");
	EXPECT_FALSE(LoadBytes(locVersion));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): invalid file version 'ice0011' should have been 'ice0010'"));

	IceBytes locEmpty;
	locEmpty.Header(0, 0);
	EXPECT_FALSE(LoadBytes(locEmpty));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): top level instance had no members"));

	IceBytes locEmptyReference;
	locEmptyReference.Header(0, 1).Reference("Gui", "myRef", "");
	EXPECT_FALSE(LoadBytes(locEmptyReference));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): encountered reference with empty string value"));
}

TEST(Ice, CorruptFilesFailWithoutTrustingTheirCounts)
{
	MessageCapture locLog;
	// Counts far beyond the bytes that follow.
	IceBytes locHugeTop;
	locHugeTop.Header(0, 0x7FFFFFFF).Value("TEXT", "a", "b");
	EXPECT_FALSE(LoadBytes(locHugeTop));
	EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): failed to allocate member array"));

	IceBytes locHugeChild;
	locHugeChild.Header(0, 1).Composite("Gui", "g", 1000000).Value("TEXT", "a", "b");
	EXPECT_FALSE(LoadBytes(locHugeChild));

	// Truncated in the middle of a text and of a record.
	IceBytes locTruncated;
	locTruncated.Header(0, 1).Value("TEXT", "a", "abcdef");
	locTruncated.myBytes.resize(locTruncated.myBytes.size() - 3);
	EXPECT_FALSE(LoadBytes(locTruncated));
	locTruncated.myBytes.resize(20);
	EXPECT_FALSE(LoadBytes(locTruncated));

	// Negative kinds other than -1 and -2, and negative lengths.
	IceBytes locKind;
	locKind.Header(0, 1).Int(1).Int(2).Int(static_cast<unsigned int>(-7)).Int(0);
	EXPECT_FALSE(LoadBytes(locKind));
	IceBytes locLength;
	locLength.Header(0, 1).Int(1).Int(2).Int(static_cast<unsigned int>(-1)).Int(static_cast<unsigned int>(-5));
	EXPECT_FALSE(LoadBytes(locLength));

	// Nesting far deeper than any menu.
	IceBytes locDeep;
	locDeep.Header(0, 1);
	for (int locLevel = 0; locLevel < 5000; ++locLevel)
		locDeep.Composite("T", "n", 1);
	locDeep.Value("TEXT", "leaf", "x");
	EXPECT_FALSE(LoadBytes(locDeep));
}

TEST(Ice, ReferenceCyclesEndAtNoTarget)
{
	IceBytes locBytes;
	locBytes.Header(0, 3)
		.Reference("T", "a", "b")
		.Reference("T", "b", "a")
		.Reference("T", "self", "self");
	std::unique_ptr<Ice> locRoot = LoadBytes(locBytes);
	ASSERT_TRUE(locRoot);
	EXPECT_EQ(nullptr, locRoot->GetMember("a")->GetValue());
	EXPECT_EQ(nullptr, locRoot->GetMember("self")->GetMember("x"));
	EXPECT_EQ(0u, locRoot->GetMember("b")->GetCount(true));
}

TEST(Ice, ReferencesThroughLaterReferencesResolve)
{
	// first points through second, which is resolved on the way.
	IceBytes locBytes;
	locBytes.Header(0, 3)
		.Reference("T", "first", "second.myR")
		.Reference("T", "second", "target")
		.Composite("T", "target", 1)
		.Value("NUMBER", "myR", "7");
	std::unique_ptr<Ice> locRoot = LoadBytes(locBytes);
	ASSERT_TRUE(locRoot);
	EXPECT_EQ(7, locRoot->GetMember("first")->GetInt());
}

TEST(Ice, ReferencesIntoLongCompositesFindTheFirstChildOfTheName)
{
	// 100 children (more than are searched one by one while references are
	// resolved); the name dup twice, the name item99 once at the end.
	IceBytes locBytes;
	locBytes.Header(0, 2).Composite("List", "list", 102);
	for (int locIndex = 0; locIndex < 99; ++locIndex)
		locBytes.Value("NUMBER", "item" + std::to_string(locIndex), std::to_string(locIndex));
	locBytes.Value("TEXT", "dup", "first").Value("TEXT", "dup", "second").Value("NUMBER", "item99", "99");
	locBytes.Composite("Refs", "refs", 3)
		.Reference("TEXT", "toDup", "list.dup")
		.Reference("NUMBER", "toLast", "list.item99")
		.Reference("NUMBER", "toFirst", "list.item0");
	std::unique_ptr<Ice> locRoot = LoadBytes(locBytes);
	ASSERT_TRUE(locRoot);
	EXPECT_STREQ("first", locRoot->GetMemberValue("refs.toDup"));
	EXPECT_STREQ("99", locRoot->GetMemberValue("refs.toLast"));
	EXPECT_STREQ("0", locRoot->GetMemberValue("refs.toFirst"));
	EXPECT_EQ(locRoot->GetMember("list.dup"), locRoot->GetMember("refs.toDup")->GetReferenceTarget());
}

using IceDeathTest = ::testing::Test;

TEST(IceDeathTest, IndexOutOfRangeAndMissingTargetsAreAssertions)
{
	KC_SetDeathTestStyle();
	IceBytes locMenu = MenuBytes();
	EXPECT_EXIT(
		{
			std::unique_ptr<Ice> locRoot = LoadBytes(locMenu);
			locRoot->GetMember("myGui.myChromaKey")->GetMember(2u);
		},
		::testing::ExitedWithCode(kFatalExitCode),
		"Assertion \\(0 && \"Ice::GetMember\\(const unsigned int anIndex\\): index out of range\"\\) failed in .*Ice");
}

TEST(Ice, AReferenceThatLeadsNowhereFailsTheLoad)
{
	// At top level, and deep inside a member after a reference that resolves.
	IceBytes locDangling;
	locDangling.Header(0, 1).Reference("T", "a", "nowhere");
	IceBytes locDeep;
	locDeep.Header(0, 2).Composite("G", "g", 2).Value("TEXT", "x", "1").Reference("TEXT", "r", "g.x");
	locDeep.Composite("H", "h", 1).Composite("K", "k", 1).Reference("TEXT", "s", "g.y");
	{
		MessageCapture locLog;
		EXPECT_EQ(nullptr, LoadBytes(locDangling));
		EXPECT_TRUE(locLog.HasLog("LOG: Ice::GetMember(): failed to find member named 'nowhere'. This may or may not "
		                          "cause a crash."));
		EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): failed to resolve references for member 0"));
	}
	{
		MessageCapture locLog;
		EXPECT_EQ(nullptr, LoadBytes(locDeep));
		EXPECT_TRUE(locLog.HasLog("LOG: Ice::Init(): failed to resolve references for member 1"));
	}
	// A later load of a sound file is not disturbed.
	std::unique_ptr<Ice> locRoot = LoadBytes(MenuBytes());
	EXPECT_TRUE(locRoot);
}

TEST(Ice, EveryMemberFindsTheLanguageOfItsOwnTree)
{
	// Two trees of the same shape, one with a language file and one without,
	// loaded at once: every member, at every depth and of every kind, answers
	// for its own tree, also after the other tree is gone.
	ASSERT_TRUE(WriteWholeFile("with_lang.loc", "\xEF\xBB\xBF"
	                                            "k0\tzero\r\n"
	                                            "k1\tone\r\n"));
	auto Shape = [](int aLanguageFlag) {
		IceBytes locBytes;
		locBytes.Header(aLanguageFlag, 2)
			.Composite("Gui", "g", 4)
			.Value("LOCTEXT", "m", "1")
			.Value("TEXT", "empty", "")
			.Reference("LOCTEXT", "r", "g.m")
			.Composite("Inner", "inner", 1)
			.Composite("Inner", "deeper", 1)
			.Value("LOCTEXT", "x", "0")
			.Reference("Gui", "back", "g");
		return locBytes;
	};
	ASSERT_TRUE(WriteWholeFile("with_lang.ice", Shape(1).myBytes));
	ASSERT_TRUE(WriteWholeFile("without_lang.ice", Shape(0).myBytes));
	std::unique_ptr<Ice> locWith(Ice::Load("with_lang.ice", false));
	std::unique_ptr<Ice> locWithout(Ice::Load("without_lang.ice", false));
	ASSERT_TRUE(locWith);
	ASSERT_TRUE(locWithout);
	const char* const locPaths[] = {"g", "g.m", "g.empty", "g.r", "g.inner", "g.inner.deeper", "g.inner.deeper.x",
		"back"};
	EXPECT_TRUE(locWith->HasLanguageDecoder());
	EXPECT_FALSE(locWithout->HasLanguageDecoder());
	for (const char* locPath : locPaths)
	{
		ASSERT_NE(nullptr, locWith->GetMember(locPath)) << locPath;
		EXPECT_TRUE(locWith->GetMember(locPath)->HasLanguageDecoder()) << locPath;
		EXPECT_FALSE(locWithout->GetMember(locPath)->HasLanguageDecoder()) << locPath;
	}
	EXPECT_EQ(std::u16string(u"one"), std::u16string(locWith->GetMember("g.m")->GetLocString()));
	EXPECT_EQ(std::u16string(u"one"), std::u16string(locWith->GetMember("g.r")->GetLocString()));
	EXPECT_EQ(std::u16string(u"zero"), std::u16string(locWith->GetMember("g.inner.deeper.x")->GetLocString()));
	EXPECT_EQ(std::u16string(u"zero"), std::u16string(locWith->GetMember("g.empty")->GetLocString()));
	EXPECT_STREQ("", locWith->GetMemberValue("g.empty"));
	EXPECT_TRUE(locWith->GetMember("g.r")->IsReference());
	EXPECT_STREQ("1", locWith->GetMemberValue("g.r"));

	Ice* locMember = locWithout->GetMember("g.inner.deeper.x");
	locWith.reset();
	EXPECT_FALSE(locMember->HasLanguageDecoder());
	EXPECT_FALSE(Ice().HasLanguageDecoder());
	locWith.reset(Ice::Load("with_lang.ice", false));
	ASSERT_TRUE(locWith);
	locWithout.reset();
	EXPECT_TRUE(locWith->GetMember("g.inner.deeper.x")->HasLanguageDecoder());
}

TEST(Ice, LoadsFilesOfManyReadAheadWindows)
{
	// Records of every text length fall across the edges of the window that the
	// file is read through; references at the end lead back to the start.
	const int locCount = 3000;
	IceBytes locBytes;
	locBytes.Header(0, locCount + 2);
	auto Text = [](int anIndex) { return std::string(static_cast<size_t>(anIndex * 37 % 512), static_cast<char>('a' + anIndex % 26)); };
	for (int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		if (locIndex % 10 == 9)
			locBytes.Composite("Box", "v" + std::to_string(locIndex), 1).Value("TEXT", "in", Text(locIndex));
		else
			locBytes.Value("TEXT", "v" + std::to_string(locIndex), Text(locIndex));
	}
	locBytes.Reference("TEXT", "first", "v1").Reference("TEXT", "last", "v2999.in");
	ASSERT_GT(locBytes.myBytes.size(), 8u * 65536u);
	std::unique_ptr<Ice> locRoot = LoadBytes(locBytes);
	ASSERT_TRUE(locRoot);
	ASSERT_EQ(static_cast<unsigned int>(locCount + 2), locRoot->GetCount(true));
	for (int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		Ice* locMember = locRoot->GetMember(static_cast<unsigned int>(locIndex));
		if (locIndex % 10 == 9)
			locMember = locMember->GetMember(0u);
		ASSERT_EQ(Text(locIndex), locMember->GetValue()) << locIndex;
	}
	EXPECT_EQ(Text(1), locRoot->GetMemberValue("first"));
	EXPECT_EQ(Text(2999), locRoot->GetMemberValue("last"));

	// The same file cut anywhere in its last records fails the load.
	for (size_t locCut : {size_t(1), size_t(3), size_t(300), size_t(2000)})
	{
		IceBytes locShort;
		locShort.Raw(locBytes.myBytes.substr(0, locBytes.myBytes.size() - locCut));
		MessageCapture locLog;
		EXPECT_FALSE(LoadBytes(locShort)) << locCut;
	}
}

TEST(Ice, HashIsAdler32AtEveryLength)
{
	// High bytes make the sums largest; lengths around the reduction runs.
	for (size_t locLength : {0, 1, 2, 511, 5551, 5552, 5553, 11104, 65534})
	{
		std::string locText(locLength, '\xFF');
		for (size_t locIndex = 0; locIndex < locLength; locIndex += 7)
			locText[locIndex] = static_cast<char>('a' + locIndex % 26);
		EXPECT_EQ(IceBytes::Adler32(locText), Ice::Hash(locText.c_str())) << locLength;
	}
	EXPECT_EQ(0x11E60398u, Ice::Hash("Wikipedia"));
}
