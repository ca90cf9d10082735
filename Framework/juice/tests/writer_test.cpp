#include "JuiceCompiler.h"
#include "JuiceFree.h"
#include "JuiceNameSpace.h"
#include "JuiceScriptClass.h"
#include "JuiceTypeManager.h"
#include "JuiceWriter.h"
#include "juice_test_support.h"
#include "kc_listiterator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

namespace
{
// Removes the files that a test writes.
class OutputFiles
{
public:
	explicit OutputFiles(const char* aFirst, const char* aSecond = NULL) : myFirst(aFirst), mySecond(aSecond)
	{
		Remove();
	}
	~OutputFiles() { Remove(); }

private:
	void Remove()
	{
		std::remove(myFirst);
		if (mySecond)
			std::remove(mySecond);
	}
	const char* myFirst;
	const char* mySecond;
};

class FailingText : public JuiceFree
{
public:
	FailingText()
	{
		myTypeName = "TEXT";
		myName = "broken";
	}
	bool Write(FILE*, const KC_String&, bool) override { return false; }
};
}

namespace
{
// A text written as "TYPE name value" lines.
class NamedText : public JuiceFree
{
public:
	NamedText(const char* aName, const char* aValue)
	{
		myTypeName = "TEXT";
		myName = aName;
		myValue = aValue;
	}
};

// A number whose line is formatted with a conversion other than %s.
class FormattedNumber : public JuiceFree
{
public:
	FormattedNumber() { myName = "counted"; }
	bool Write(FILE* aFile, const KC_String& anIndent, bool) override
	{
		return JuiceWriteText(aFile, "%sNUMBER %s %d" JUICE_EOL, anIndent.GetText(), myName.GetText(), 42);
	}
};
}

TEST(JuiceWriter, LongNamespacesKeepEveryLineInPlace)
{
	// Some 130 KiB of lines with a formatted one among them: the gathered lines
	// are written in pieces, and the formatted line keeps its place.
	OutputFiles locFiles("out_long.juice");
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	std::string locExpected = JUICE_EOL;
	for (int locIndex = 0; locIndex < 6000; ++locIndex)
	{
		std::string locName = "text" + std::to_string(locIndex);
		std::string locValue = "value_" + std::to_string(locIndex * 7);
		locNameSpace.Add(new NamedText(locName.c_str(), locValue.c_str()));
		locExpected += "TEXT " + locName + " " + locValue + JUICE_EOL JUICE_EOL;
		if (locIndex == 3000)
		{
			locNameSpace.Add(new FormattedNumber);
			locExpected += "NUMBER counted 42" JUICE_EOL;
		}
	}
	ASSERT_TRUE(WriteNameSpace(locNameSpace, "out_long.juice")) << locCapture.AllErrors();
	EXPECT_EQ(locExpected, ReadWholeFile("out_long.juice"));
}

TEST(JuiceWriter, WrittenFormReadsBackUnchanged)
{
	struct Case
	{
		const char* myValue;
		const char* myWritten;
	};
	const Case locCases[] = {
		{"plain", "plain"},
		{"\"both\"", "\"both\""},
		{"\"opened", "\"opened\""},
		{"two words\"", "\"two words\""},
		{"two words", "\"two words\""},
		{"closed\"", "closed"},
		{"tab\tonly", "tab\tonly"},
		{"", ""},
	};
	for (const Case& locCase : locCases)
		EXPECT_STREQ(locCase.myWritten, JuiceFree::GetWrittenForm(locCase.myValue)) << locCase.myValue;
}

TEST(JuiceWriter, MissionIsWrittenAsExpectedAndReadsBackEqual)
{
	OutputFiles locFiles("out_mission.juice", "out_mission_again.juice");
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/mission.juice", NULL, NULL)) << locCapture.AllErrors();
	ASSERT_TRUE(WriteNameSpace(locNameSpace, "out_mission.juice"));
	EXPECT_TRUE(locCapture.HasLog("LOG: Successfully wrote namespace to 'out_mission.juice'"));
	EXPECT_EQ(ReadWholeFile("data/mission_written.juice"), ReadWholeFile("out_mission.juice"));

	JuiceNameSpace locAgain;
	ASSERT_TRUE(JuiceCompiler::Compile(locAgain, "out_mission.juice", NULL, NULL)) << locCapture.AllErrors();
	EXPECT_TRUE(NameSpacesEqual(locNameSpace, locAgain));
	EXPECT_EQ(1, locAgain.myIncludes.Count());
	ASSERT_TRUE(WriteNameSpace(locAgain, "out_mission_again.juice"));
	EXPECT_EQ(ReadWholeFile("out_mission.juice"), ReadWholeFile("out_mission_again.juice"));
	EXPECT_TRUE(locCapture.myErrors.empty()) << locCapture.AllErrors();
}

TEST(JuiceWriter, DanglingReferencesBecomeNull)
{
	OutputFiles locFiles("out_dangling.juice");
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/mission.juice", NULL, NULL));
	JuiceType* locPlayers = locNameSpace.FindInstance("myPlayers", false);
	KC_ListIterator<JuiceType*> locIterator(&locNameSpace);
	for (locIterator.First(); !locIterator.IsDone(); locIterator.Next())
	{
		if (locIterator.Get() == locPlayers)
		{
			locIterator.Remove();
			break;
		}
	}
	delete locPlayers;
	ASSERT_TRUE(WriteNameSpace(locNameSpace, "out_dangling.juice"));
	EXPECT_STREQ("NULL", locNameSpace.FindInstance("myXMap.myHost", false)->GetValue());
	EXPECT_TRUE(locCapture.HasError("ERROR: Failed to find instance for name 'myPlayers.red'"));
	std::string locText = ReadWholeFile("out_dangling.juice");
	EXPECT_NE(std::string::npos, locText.find("\tmyHost NULL\r\n"));
	EXPECT_NE(std::string::npos, locText.find("\t\tPlayer* myRef NULL\r\n\r\n"));
}

TEST(JuiceWriter, NoIncludesAndGeneratedNames)
{
	OutputFiles locFiles("out_plain.juice");
	MessageCapture locCapture;
	JuiceTypeManager locManager;
	ASSERT_TRUE(locManager.Compile("data/mission.fruit"));
	JuiceNameSpace locNameSpace;
	JuiceType* locCount = locManager.FindType("NUMBER")->Clone();
	locCount->SetName("a");
	locCount->Assign(KC_String("1"));
	locNameSpace.Add(locCount);
	ASSERT_TRUE(WriteNameSpace(locNameSpace, "out_plain.juice"));
	EXPECT_EQ("\r\nNUMBER a 1\r\n\r\n", ReadWholeFile("out_plain.juice"));

	JuiceType* locScript = locManager.FindType("Script")->Clone();
	locScript->SetName("s");
	JuiceType* locGenerated = locScript->GetMemberToAssign(locManager, "TEXT");
	ASSERT_NE(nullptr, locGenerated);
	KC_String locName = locGenerated->GetName();
	locGenerated->Assign(KC_String("hello there"));
	locNameSpace.Add(locScript);
	locNameSpace.AddInclude("data/mission.fruit");
	ASSERT_TRUE(WriteNameSpace(locNameSpace, "out_plain.juice"));
	JuiceNameSpace locAgain;
	ASSERT_TRUE(JuiceCompiler::Compile(locAgain, "out_plain.juice", NULL, NULL)) << locCapture.AllErrors();
	JuiceType* locRead = locAgain.FindInstance("s", false);
	ASSERT_NE(nullptr, locRead);
	ASSERT_EQ(1, locRead->GetMemberCount());
	EXPECT_STREQ(locName, locRead->GetMemberAt(0)->GetName());
	EXPECT_STREQ("hello there", locRead->GetMemberAt(0)->GetValue());
}

TEST(JuiceWriter, FailuresLeaveTheOldFile)
{
	OutputFiles locFiles("out_kept.juice", "out_kept.juice.juicetmp");
	ASSERT_TRUE(WriteWholeFile("out_kept.juice", "old content"));
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	locNameSpace.Add(new FailingText);
	EXPECT_FALSE(WriteNameSpace(locNameSpace, "out_kept.juice"));
	EXPECT_TRUE(locCapture.HasLog(
		"LOG: Failed to write member 'broken' of type 'TEXT' during namespace to 'out_kept.juice'"));
	EXPECT_EQ("old content", ReadWholeFile("out_kept.juice"));
	EXPECT_EQ("<missing>", ReadWholeFile("out_kept.juice.juicetmp"));

	EXPECT_FALSE(WriteNameSpace(locNameSpace, "no_such_folder/out.juice"));
	EXPECT_TRUE(locCapture.HasLog("LOG: Failed to open output file 'no_such_folder/out.juice'"));
}

namespace
{
// A member that runs out of memory after its first line.
class ExhaustedText : public JuiceFree
{
public:
	ExhaustedText() { myName = "exhausted"; }
	bool Write(FILE* aFile, const KC_String& anIndent, bool) override
	{
		JuiceWriteTexts(aFile, {anIndent.GetText(), "TEXT exhausted x" JUICE_EOL});
		throw std::bad_alloc();
	}
};
}

TEST(JuiceWriter, OutOfMemoryLeavesTheOldFileAndNoTemporaryOne)
{
	OutputFiles locFiles("out_oom.juice", "out_after.juice");
	ASSERT_TRUE(WriteWholeFile("out_oom.juice", "old content"));
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	locNameSpace.Add(new NamedText("first", "1"));
	locNameSpace.Add(new ExhaustedText);
	EXPECT_FALSE(WriteNameSpace(locNameSpace, "out_oom.juice"));
	EXPECT_TRUE(locCapture.HasLog("LOG: Failed to write namespace to 'out_oom.juice'"));
	EXPECT_EQ("old content", ReadWholeFile("out_oom.juice"));
	EXPECT_FALSE(std::filesystem::exists("out_oom.juice.juicetmp"));

	// Lines written afterwards go to their own file, not to the gathered
	// lines of the failed write.
	FILE* locFile = std::fopen("out_after.juice", "wb");
	ASSERT_NE(nullptr, locFile);
	EXPECT_TRUE(JuiceWriteText(locFile, "TEXT %s %s" JUICE_EOL, "after", "2"));
	std::fclose(locFile);
	EXPECT_EQ("TEXT after 2" JUICE_EOL, ReadWholeFile("out_after.juice"));
}
