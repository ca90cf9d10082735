#include "JuiceCompiler.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceNameSpace.h"
#include "JuiceType.h"
#include "juice_test_support.h"

#include <gtest/gtest.h>

namespace
{
// Answers with fixed values and counts the questions.
class FixedIgnorer : public JuiceInstanceIgnorer
{
public:
	FixedIgnorer(int anInstanceAnswer, bool aMemberAnswer)
		: myInstanceAnswer(anInstanceAnswer), myMemberAnswer(aMemberAnswer), myInstanceQuestions(0), myMemberQuestions(0)
	{
	}
	int Sub_OkToIgnoreInstanceOfType(const KC_String&, const KC_String&) override
	{
		++myInstanceQuestions;
		return myInstanceAnswer;
	}
	bool Sub_OkToIgnoreMember(const KC_String&, const KC_String&, const KC_String&) override
	{
		++myMemberQuestions;
		return myMemberAnswer;
	}
	int myInstanceAnswer;
	bool myMemberAnswer;
	int myInstanceQuestions;
	int myMemberQuestions;
};
}

TEST(JuiceIgnorer, EverythingIgnorerSkipsUnknownInstancesAndMembers)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	EverythingIgnorer locIgnorer;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/ignored_blocks.juice", NULL, &locIgnorer)) << locCapture.AllErrors();
	EXPECT_TRUE(locCapture.myErrors.empty()) << locCapture.AllErrors();

	ASSERT_EQ(4, locNameSpace.Count());
	EXPECT_NE(nullptr, locNameSpace.FindInstance("p", false));
	EXPECT_NE(nullptr, locNameSpace.FindInstance("s.r", false));
	EXPECT_STREQ("x", locNameSpace.FindInstance("p.myName", false)->GetValue());
	EXPECT_STREQ("1", locNameSpace.FindInstance("last", false)->GetValue());

	// Each type, and each member of a type, is asked about once.
	const std::vector<std::string> locExpected = {
		"EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(): ignoring all instances of type 'Weapon'",
		"EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(): ignoring all instances of type 'Vehicle'",
		"EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(): ignoring member 'myColour' in instance 'p' of type 'Player'",
		"EverythingIgnorer::Sub_OkToIgnoreInstanceOfType(): ignoring member 'myHat' in instance 'p' of type 'Player'",
	};
	EXPECT_EQ(locExpected, locCapture.myDebugTexts);
	// The compiler logs every skip.
	EXPECT_TRUE(locCapture.HasLog(
		"LOG: JuiceCompiler::Compile(): User indicated that instance 'gun' of unknown type 'Weapon' should be ignored"));
	EXPECT_TRUE(locCapture.HasLog(
		"LOG: JuiceCompiler::Compile(): User indicated that instance 'rifle 7' of unknown type 'Weapon' should be ignored"));
	EXPECT_EQ(4, locCapture.CountLog(
		"LOG: JuiceType::Assign(): User indicated that member 'myColour' of type 'Player' should be ignored"));
}

TEST(JuiceIgnorer, SkippingFailsAtTheEndOfTheFile)
{
	struct Case
	{
		const char* myFile;
		int myLine;
		const char* myMessage;
	};
	const Case locCases[] = {
		{"data/ignored_last_line.juice", 1, "Failed to perform user specified ignore of instance 'gun 5' of type 'Weapon'"},
		{"data/ignored_unclosed_block.juice", 3, "Failed to perform user specified ignore of instance 'gun' of type 'Weapon'"},
		{"data/ignored_last_member.juice", 4, "Failed to perform user specified ignore of member 'myColour' of type 'Player'"},
	};
	for (const Case& locCase : locCases)
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		EverythingIgnorer locIgnorer;
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, locCase.myFile, NULL, &locIgnorer)) << locCase.myFile;
		std::string locLine =
			"ERROR: (" + std::string(locCase.myFile) + ", line " + std::to_string(locCase.myLine) + ") " + locCase.myMessage;
		EXPECT_TRUE(locCapture.HasError(locLine)) << locLine << "\n" << locCapture.AllErrors();
	}
}

TEST(JuiceIgnorer, AnswersOfTheSubclass)
{
	{
		// Any answer but 0 and 1 declines.
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		FixedIgnorer locIgnorer(2, true);
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/ignored_blocks.juice", NULL, &locIgnorer));
		EXPECT_TRUE(locCapture.HasError("ERROR: (data/ignored_blocks.juice, line 1) Unknown type 'Weapon'"));
	}
	{
		// 1 ignores one instance at a time: the type is asked about again.
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		FixedIgnorer locIgnorer(1, true);
		EXPECT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/ignored_blocks.juice", NULL, &locIgnorer));
		EXPECT_EQ(3, locIgnorer.myInstanceQuestions);
		EXPECT_EQ(2, locIgnorer.myMemberQuestions);
	}
	{
		MessageCapture locCapture;
		JuiceNameSpace locNameSpace;
		FixedIgnorer locIgnorer(0, false);
		EXPECT_FALSE(JuiceCompiler::Compile(locNameSpace, "data/ignored_blocks.juice", NULL, &locIgnorer));
		EXPECT_TRUE(locCapture.HasError("ERROR: (data/ignored_blocks.juice, line 18) Unknown member 'myColour' referenced "
										"in instantiation of 'p' of class type 'Player'"))
			<< locCapture.AllErrors();
		EXPECT_EQ(2, locIgnorer.myInstanceQuestions);
	}
}

TEST(JuiceIgnorer, MemberTableIsMadeOnFirstUse)
{
	EverythingIgnorer locIgnorer;
	KC_List<KC_String>* locList = locIgnorer.GetIgnoredMembers("Player");
	ASSERT_NE(nullptr, locList);
	EXPECT_EQ(0, locList->Count());
	EXPECT_EQ(locList, locIgnorer.GetIgnoredMembers("Player"));
	EXPECT_NE(locList, locIgnorer.GetIgnoredMembers("Team"));
	EXPECT_TRUE(locIgnorer.OkToIgnoreMember("myHat", "Player", "p"));
	EXPECT_EQ(1, locList->Count());
}
