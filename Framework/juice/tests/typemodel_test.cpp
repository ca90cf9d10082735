#include "JuiceClass.h"
#include "JuiceCompiler.h"
#include "JuiceEnum.h"
#include "JuiceFree.h"
#include "JuiceNameSpace.h"
#include "JuiceRef.h"
#include "JuiceScriptClass.h"
#include "JuiceTypeManager.h"
#include "juice_test_support.h"
#include "kc_pool.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace
{
// The mission types and a compiled mission namespace.
class JuiceModel : public ::testing::Test
{
protected:
	void SetUp() override
	{
		MessageCapture locCapture;
		ASSERT_TRUE(JuiceCompiler::Compile(myNameSpace, "data/mission.juice", &myManager, NULL)) << locCapture.AllErrors();
	}

	JuiceType* Make(const char* aTypeName, const char* aName)
	{
		JuiceType* locPrototype = myManager.FindType(aTypeName);
		if (!locPrototype)
			locPrototype = myManager.FindReferenceType(aTypeName);
		if (!locPrototype)
			return NULL;
		JuiceType* locInstance = locPrototype->Clone();
		locInstance->SetName(aName);
		return locInstance;
	}

	JuiceTypeManager myManager;
	JuiceNameSpace myNameSpace;
};
}

TEST(JuiceTypeManager, StartsWithTheBuiltIns)
{
	JuiceTypeManager locManager;
	const char* const locNames[] = {"NUMBER", "DECIMAL", "TEXT", "FILE", "LOCTEXT"};
	const char* const locDefaults[] = {"0", "0.0", "<empty>", "<empty>", "<empty>"};
	ASSERT_EQ(5, locManager.GetTypes().Count());
	ASSERT_EQ(5, locManager.GetReferenceTypes().Count());
	for (int locIndex = 0; locIndex < 5; ++locIndex)
	{
		JuiceType* locType = locManager.FindType(locNames[locIndex]);
		ASSERT_NE(nullptr, locType);
		EXPECT_STREQ("PROTOTYPE", locType->GetName());
		std::unique_ptr<JuiceType> locClone(locType->Clone());
		EXPECT_STREQ(locDefaults[locIndex], locClone->GetValue());
		KC_String locReferenceName = KC_String(locNames[locIndex]) + "*";
		EXPECT_EQ(nullptr, locManager.FindType(locReferenceName));
		JuiceType* locReference = locManager.FindReferenceType(locReferenceName);
		ASSERT_NE(nullptr, locReference);
		EXPECT_STREQ("NULL", locReference->GetValue());
	}
	EXPECT_EQ(nullptr, locManager.FindType("TYPE"));
	EXPECT_EQ(nullptr, locManager.FindType("CLASS"));
}

TEST(JuiceFree, EmptyValuesBackslashesAndDefaults)
{
	JuiceTypeManager locManager;
	const char* const locNames[] = {"NUMBER", "DECIMAL", "TEXT", "FILE", "LOCTEXT"};
	for (const char* locName : locNames)
	{
		std::unique_ptr<JuiceType> locValue(locManager.FindType(locName)->Clone());
		EXPECT_TRUE(locValue->Assign(KC_String("")));
		EXPECT_STREQ("<empty>", locValue->GetValue()) << locName;
		EXPECT_FALSE(locValue->SetDefault(""));
		EXPECT_TRUE(locValue->SetDefault("x"));
	}
	std::unique_ptr<JuiceType> locFile(locManager.FindType("FILE")->Clone());
	std::unique_ptr<JuiceType> locText(locManager.FindType("TEXT")->Clone());
	locFile->Assign(KC_String("C:\\dir\\file.tga"));
	locText->Assign(KC_String("C:\\dir\\file.tga"));
	EXPECT_STREQ("C:/dir/file.tga", locFile->GetValue());
	EXPECT_STREQ("C:\\dir\\file.tga", locText->GetValue());
	// Values pass only between instances of one type.
	EXPECT_FALSE(locText->Assign(locFile.get()));
	std::unique_ptr<JuiceType> locOtherText(locText->Clone());
	locOtherText->Assign(KC_String("other"));
	EXPECT_TRUE(locText->Assign(locOtherText.get()));
	EXPECT_TRUE(locText->IsEqual(locOtherText.get()));
	EXPECT_FALSE(locText->IsEqual(locFile.get()));
	EXPECT_FALSE(locText->IsEqual(NULL));
}

TEST_F(JuiceModel, EnumerationsKeepTheirRange)
{
	std::unique_ptr<JuiceType> locTeam(Make("Team", "t"));
	ASSERT_NE(nullptr, locTeam);
	EXPECT_STREQ("TEAM_1", locTeam->GetValue());
	{
		MessageCapture locCapture;
		EXPECT_FALSE(locTeam->Assign(KC_String("team_1")));
		EXPECT_TRUE(locCapture.HasError("ERROR: JuiceEnum::Assign(): Invalid value 'team_1'"));
	}
	EXPECT_STREQ("TEAM_1", locTeam->GetValue());
	EXPECT_TRUE(locTeam->Assign(KC_String("TEAM_2")));
	EXPECT_STREQ("TEAM_2", locTeam->GetValue());
	locTeam->ClearValue();
	EXPECT_STREQ("<empty>", locTeam->GetValue());
	KC_List<KC_String> locRange;
	locRange.Add("stale");
	locTeam->GetRange(locRange);
	ASSERT_EQ(2, locRange.Count());
	EXPECT_STREQ("TEAM_1", locRange.GetFirst());
}

TEST_F(JuiceModel, ScriptClassMembersGetGeneratedNames)
{
	std::unique_ptr<JuiceType> locFirst(Make("Script", "a"));
	std::unique_ptr<JuiceType> locSecond(Make("Script", "b"));
	int locCounter = JuiceScriptClass::ourMemberCounter;
	JuiceType* locOne = locFirst->GetMemberToAssign(myManager, "NUMBER");
	JuiceType* locTwo = locSecond->GetMemberToAssign(myManager, "NUMBER");
	ASSERT_NE(nullptr, locOne);
	ASSERT_NE(nullptr, locTwo);
	EXPECT_EQ("NUMBER(" + std::to_string(locCounter) + ")", std::string(locOne->GetName()));
	EXPECT_EQ("NUMBER(" + std::to_string(locCounter + 1) + ")", std::string(locTwo->GetName()));
	EXPECT_STREQ("0", locOne->GetValue());
	JuiceType* locReference = locFirst->GetMemberToAssign(myManager, "Player*");
	ASSERT_NE(nullptr, locReference);
	EXPECT_STREQ("NULL", locReference->GetValue());
	EXPECT_EQ(nullptr, locFirst->GetMemberToAssign(myManager, "Team"));
	EXPECT_EQ(2, locFirst->GetMemberCount());

	// Several members of one name are fine; a type that is not legal is not.
	JuiceType* locDuplicate = locOne->Clone();
	EXPECT_TRUE(locFirst->AddMember(locDuplicate));
	JuiceType* locIllegal = Make("Team", locOne->GetName());
	EXPECT_FALSE(locFirst->AddMember(locIllegal));
	delete locIllegal;
	EXPECT_FALSE(locFirst->AddMember(NULL));
	EXPECT_EQ(3, locFirst->GetMemberCount());

	// A clone copies the members; IsEqual stops at the end of the shorter list.
	std::unique_ptr<JuiceType> locCopy(locFirst->Clone());
	EXPECT_EQ(3, locCopy->GetMemberCount());
	EXPECT_TRUE(locCopy->IsEqual(locFirst.get()));
	EXPECT_TRUE(locCopy->DeleteMember(locCopy->GetMemberAt(2)));
	EXPECT_TRUE(locCopy->IsEqual(locFirst.get()));
	EXPECT_TRUE(locFirst->IsEqual(locCopy.get()));
	locCopy->GetMemberAt(0)->Assign(KC_String("9"));
	EXPECT_FALSE(locFirst->IsEqual(locCopy.get()));
	EXPECT_TRUE(locSecond->Assign(locCopy.get()));
	EXPECT_EQ(2, locSecond->GetMemberCount());
}

TEST(JuiceScriptClass, MadeNamesSkipEveryNameADirectMemberHas)
{
	ASSERT_TRUE(WriteWholeFile("madenames.fruit", "SCRIPTCLASS List\r\n{\r\n\tNUMBER\r\n}\r\n"));
	// The newest member takes the next made name as its own; another gets a
	// plain name; both happen while the block is read.
	ASSERT_TRUE(WriteWholeFile("madenames.juice",
	                           "INCLUDE madenames.fruit\r\n\r\nList l\r\n{\r\n"
	                           "\tNUMBER NUMBER(101) 1\r\n\tNUMBER 2\r\n\tNUMBER x 3\r\n\tNUMBER 4\r\n}\r\n"));
	JuiceScriptClass::ourMemberCounter = 100;
	JuiceNameSpace locNameSpace;
	JuiceTypeManager locManager;
	MessageCapture locCapture;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "madenames.juice", &locManager, NULL))
		<< locCapture.AllErrors();
	JuiceType* locList = locNameSpace.FindInstance("l", false);
	ASSERT_NE(nullptr, locList);
	std::vector<std::string> locNames;
	for (JuiceType* locMember : locList->GetMembers())
		locNames.push_back(locMember->GetName().GetText());
	EXPECT_EQ((std::vector<std::string>{"NUMBER(101)", "NUMBER(102)", "x", "NUMBER(104)"}), locNames);
	EXPECT_STREQ("4", locList->GetMemberAt(3)->GetValue());

	// Outside a block every member is looked at, renamed ones too.
	locList->GetMemberAt(2)->SetName("NUMBER(105)");
	JuiceType* locMade = locList->GetMemberToAssign(locManager, "NUMBER");
	ASSERT_NE(nullptr, locMade);
	EXPECT_STREQ("NUMBER(106)", locMade->GetName());
}

TEST_F(JuiceModel, ClassMembers)
{
	std::unique_ptr<JuiceType> locPlayer(Make("Player", "p"));
	ASSERT_EQ(3, locPlayer->GetMemberCount());
	EXPECT_STREQ("7000", locPlayer->FindMember("myStartAp")->GetValue());
	{
		MessageCapture locCapture;
		JuiceType* locSecondName = Make("TEXT", "myName");
		EXPECT_FALSE(locPlayer->AddMember(locSecondName));
		EXPECT_TRUE(locCapture.HasError("ERROR: JuiceClass::AddMember(): Already had a member named 'myName'"));
		delete locSecondName;
	}
	JuiceType* locTeam = locPlayer->FindMember("myTeam");
	EXPECT_TRUE(locPlayer->HasMember(locTeam));
	EXPECT_TRUE(locPlayer->DetachMember(locTeam));
	EXPECT_FALSE(locPlayer->HasMember(locTeam));
	EXPECT_FALSE(locPlayer->DetachMember(locTeam));
	EXPECT_TRUE(locPlayer->AddMember(locTeam));
	EXPECT_EQ(locTeam, locPlayer->GetMemberAt(2));
	EXPECT_EQ(nullptr, locPlayer->GetMemberAt(3));
	EXPECT_EQ(nullptr, locPlayer->GetMemberAt(-1));

	KC_List<KC_String> locOrder;
	locOrder.Add("myTeam");
	locOrder.Add("myName");
	EXPECT_FALSE(locPlayer->SortMembers(locOrder));
	locOrder.Add("myName");
	// A name that matches nothing more adds nothing; the untaken member leaves.
	EXPECT_TRUE(locPlayer->SortMembers(locOrder));
	ASSERT_EQ(2, locPlayer->GetMemberCount());
	EXPECT_STREQ("myTeam", locPlayer->GetMemberAt(0)->GetName());
	EXPECT_STREQ("myName", locPlayer->GetMemberAt(1)->GetName());
	EXPECT_TRUE(locPlayer->DeleteMemberNamed("myTeam"));
	EXPECT_FALSE(locPlayer->DeleteMemberNamed("myTeam"));
	locPlayer->ClearValue();
	EXPECT_STREQ("<empty>", locPlayer->GetMemberAt(0)->GetValue());
}

TEST_F(JuiceModel, ClonesShareTypeAndDeclaredMemberNamesUntilRenamed)
{
	std::unique_ptr<JuiceType> locFirst(Make("Player", "first"));
	std::unique_ptr<JuiceType> locSecond(Make("Player", "second"));
	EXPECT_EQ(locFirst->GetSharedTypeName(), locSecond->GetSharedTypeName());
	EXPECT_STREQ("Player", *locFirst->GetSharedTypeName());
	// Instances named by their lines have names of their own.
	EXPECT_EQ(nullptr, locFirst->GetSharedName());
	EXPECT_STREQ("first", locFirst->GetName());
	JuiceType* locName = locFirst->FindMember("myName");
	JuiceType* locOtherName = locSecond->FindMember("myName");
	ASSERT_TRUE(locName && locOtherName);
	ASSERT_NE(nullptr, locName->GetSharedName());
	EXPECT_EQ(locName->GetSharedName(), locOtherName->GetSharedName());

	// A rename touches one clone only; taking the name back from the other
	// clone copies it.
	locName->SetName("renamed");
	EXPECT_EQ(nullptr, locName->GetSharedName());
	EXPECT_STREQ("renamed", locName->GetName());
	EXPECT_STREQ("myName", locOtherName->GetName());
	EXPECT_EQ(nullptr, locFirst->FindMember("myName"));
	EXPECT_EQ(locName, locFirst->FindMember("renamed"));
	locName->SetName(locOtherName->GetName());
	EXPECT_STREQ("myName", locName->GetName());
	EXPECT_EQ(nullptr, locName->GetSharedName());
	std::unique_ptr<JuiceType> locCopy(locFirst->Clone());
	EXPECT_STREQ("myName", locCopy->FindMember("myName")->GetName());
	EXPECT_EQ(nullptr, locCopy->FindMember("myName")->GetSharedName());
	EXPECT_TRUE(locCopy->IsEqual(locFirst.get()));
}

TEST_F(JuiceModel, PathsAndReferences)
{
	JuiceType* locRed = myNameSpace.FindInstance("myPlayers.red", false);
	JuiceType* locMin = myNameSpace.FindInstance("myXMap.myPlayfieldMinCoord", false);
	ASSERT_NE(nullptr, locRed);
	ASSERT_NE(nullptr, locMin);
	KC_String locPath;
	EXPECT_TRUE(myNameSpace.GetFirst()->GetPath("", locMin, locPath));
	EXPECT_STREQ("myXMap.myPlayfieldMinCoord", locPath);
	EXPECT_EQ(&myNameSpace, JuiceNameSpace::FindNameSpaceOf(locMin));
	EXPECT_EQ(locMin, myNameSpace.GetFirst()->FindByName("myPlayfieldMinCoord"));

	std::unique_ptr<JuiceType> locReference(Make("Player*", "r"));
	EXPECT_TRUE(locReference->Assign(locRed));
	EXPECT_STREQ("myPlayers.red", locReference->GetValue());
	// Another type leaves the value; an instance outside every namespace stores NULL.
	EXPECT_FALSE(locReference->Assign(locMin));
	EXPECT_STREQ("myPlayers.red", locReference->GetValue());
	std::unique_ptr<JuiceType> locLoose(Make("Player", "loose"));
	EXPECT_EQ(nullptr, JuiceNameSpace::FindNameSpaceOf(locLoose.get()));
	EXPECT_FALSE(locReference->Assign(locLoose.get()));
	EXPECT_STREQ("NULL", locReference->GetValue());
	EXPECT_TRUE(locReference->Assign(myNameSpace.FindInstance("myXMap.myHost", false)));
	EXPECT_STREQ("myPlayers.red", locReference->GetValue());
	EXPECT_TRUE(locReference->Assign(static_cast<const JuiceType*>(NULL)));
	EXPECT_STREQ("NULL", locReference->GetValue());

	// Resolution checks the type of the target, also of a member path.
	JuiceType* locHost = myNameSpace.FindInstance("myXMap.myHost", false);
	EXPECT_TRUE(locHost->ResolveReferences(myManager));
	locHost->Assign(KC_String("myXMap.myPlayfieldMinCoord"));
	EXPECT_FALSE(locHost->ResolveReferences(myManager));
	{
		MessageCapture locCapture;
		locHost->Assign(KC_String("nobody"));
		EXPECT_FALSE(locHost->ResolveReferences(myManager));
		EXPECT_EQ(nullptr, locHost->FindMember("anything"));
		EXPECT_TRUE(locCapture.HasError("ERROR: Failed to find instance for name 'nobody'"));
	}
	locHost->ClearValue();
	EXPECT_TRUE(locHost->ResolveReferences(myManager));
	EXPECT_STREQ("NULL", locHost->GetValue());
}

TEST_F(JuiceModel, NameSpaceLookupsAndLocalization)
{
	EXPECT_EQ(nullptr, myNameSpace.FindInstance("myXMap.nothing", true));
	EXPECT_EQ(nullptr, myNameSpace.FindInstance("", false));
	myNameSpace.AddInclude("DATA/MISSION.FRUIT");
	myNameSpace.AddInclude("other.fruit");
	EXPECT_EQ(2, myNameSpace.myIncludes.Count());

	JuiceNameSpace locPlain;
	locPlain.Add(Make("Player", "p"));
	EXPECT_FALSE(locPlain.RequiresLocalization());
	// A LOCTEXT three levels down.
	JuiceType* locScript = Make("Script", "s");
	JuiceType* locOuter = locScript->GetMemberToAssign(myManager, "Vector");
	ASSERT_NE(nullptr, locOuter);
	JuiceLocText* locText = static_cast<JuiceLocText*>(myManager.FindType("LOCTEXT")->Clone());
	locText->SetName("deep");
	ASSERT_TRUE(locOuter->GetMembers().Add(locText));
	locPlain.Add(locScript);
	EXPECT_TRUE(locPlain.RequiresLocalization());
	EXPECT_TRUE(locPlain.GetFirst()->Contains(locPlain.GetFirst()));
	EXPECT_EQ(&locPlain, JuiceNameSpace::FindNameSpaceOf(locText));
}

TEST(JuiceDeathTest, BrokenInvariantsAreFatal)
{
	KC_SetDeathTestStyle();
	EXPECT_EXIT({ JuiceFree locSecond("NUMBER"); }, ::testing::ExitedWithCode(kFatalExitCode),
		"Assertion \\(success\\) failed in .*JuiceMetaTypes");
	EXPECT_EXIT(
		{
			JuiceEnum locEnum;
			locEnum.SetDefault("RED");
		},
		::testing::ExitedWithCode(kFatalExitCode), "Assertion \\(aDefaultValue.IsEmpty\\(\\)\\) failed in .*JuiceEnum");
	EXPECT_EXIT(
		{
			JuiceTypeManager locManager;
			std::unique_ptr<JuiceType> locClass(locManager.FindType("NUMBER")->Clone());
			JuiceClass locEmpty;
			locEmpty.Assign(locClass.get());
		},
		::testing::ExitedWithCode(kFatalExitCode), "Assertion \\(0\\) failed in .*JuiceClass");
	EXPECT_EXIT(
		{
			JuiceScriptClass locFirst;
			locFirst.SetTypeName("A");
			JuiceScriptClass locSecond;
			locSecond.SetTypeName("B");
			locFirst.CopyMembers(&locSecond);
		},
		::testing::ExitedWithCode(kFatalExitCode), "JuiceScriptClass::CopyMembers\\(\\): myTypeName != anInstance");
}

namespace
{
bool FailEveryBlock(std::size_t /*aSize*/)
{
	return true;
}
}

TEST_F(JuiceModel, ReferencesStillResolveAfterManyLookupsRanOutOfMemory)
{
	JuiceType* locHost = myNameSpace.FindInstance("myXMap.myHost", true);
	ASSERT_NE(nullptr, locHost);
	ASSERT_EQ(JuiceType::KIND_REFERENCE, locHost->GetKind());
	JuiceType* locRed = myNameSpace.FindInstance("myPlayers.red", true);
	ASSERT_NE(nullptr, locRed);

	// Each lookup throws where its path passes through a reference (the rest
	// of the path becomes a text of its own); more of them than a chain may be long.
	KC_String locTarget = locHost->GetValue();
	locHost->Assign(KC_String("myXMap.myHost.myName"));
	int locThrown = 0;
	KC_PoolSetFaultHook(FailEveryBlock);
	for (int locTry = 0; locTry < 2 * JuiceRef::ourMaxReferenceChain; ++locTry)
	{
		try
		{
			locHost->FindMember(KC_String());
		}
		catch (const std::bad_alloc&)
		{
			++locThrown;
		}
	}
	KC_PoolSetFaultHook(NULL);
	EXPECT_EQ(2 * JuiceRef::ourMaxReferenceChain, locThrown);
	locHost->Assign(locTarget);
	EXPECT_EQ(locRed, locHost->FindMember(KC_String()));
}

namespace
{
// A member that counts the deletions of its kind.
class CountedMember : public JuiceFree
{
public:
	explicit CountedMember(int anId) : myId(anId) {}
	~CountedMember() override { ++ourDeleted; }
	int myId;
	static int ourDeleted;
};
int CountedMember::ourDeleted = 0;

std::vector<int> IdsOf(const JuiceMemberList& aList)
{
	std::vector<int> locIds;
	for (JuiceType* locMember : aList)
		locIds.push_back(static_cast<CountedMember*>(locMember)->myId);
	return locIds;
}
}

TEST(JuiceMemberList, KeepsOrderThroughGrowthRemovalAndSwap)
{
	CountedMember::ourDeleted = 0;
	JuiceMemberList locList;
	std::vector<CountedMember*> locMembers;
	// Past the pool's largest block (64 pointers) the array comes from the heap.
	for (int locId = 0; locId < 200; ++locId)
	{
		locMembers.push_back(new CountedMember(locId));
		ASSERT_TRUE(locList.Add(locMembers.back()));
	}
	ASSERT_EQ(200, locList.Count());
	EXPECT_EQ(locMembers[150], locList[150]);
	EXPECT_EQ(137, locList.IndexOf(locMembers[137]));
	locList.RemoveAt(0);
	locList.RemoveAt(198);
	locList.RemoveAt(100);
	locList.RemoveAt(198);
	locList.RemoveAt(-1);
	ASSERT_EQ(197, locList.Count());
	std::vector<int> locIds = IdsOf(locList);
	EXPECT_EQ(1, locIds.front());
	EXPECT_EQ(198, locIds.back());
	EXPECT_EQ(100, locIds[99]);
	EXPECT_EQ(102, locIds[100]);
	EXPECT_EQ(-1, locList.IndexOf(locMembers[101]));

	JuiceMemberList locOther;
	ASSERT_TRUE(locOther.Add(locMembers[0]));
	locOther.Swap(locList);
	EXPECT_EQ(std::vector<int>{0}, IdsOf(locList));
	EXPECT_EQ(197, locOther.Count());
	locOther.DeleteAll();
	locList.Add(locMembers[101]);
	locList.Add(locMembers[199]);
	locList.DeleteAll();
	EXPECT_EQ(0, locList.Count());
	EXPECT_EQ(200, CountedMember::ourDeleted);
}

TEST(JuiceMemberList, WithoutMemoryAnAddChangesNothing)
{
	if (KC_PoolLimitRuns(SIZE_MAX) == false)
		GTEST_SKIP() << "the pool uses the heap in this build";
	CountedMember locFirst(1), locSecond(2);
	JuiceMemberList locList;
	ASSERT_TRUE(locList.Reserve(1));
	ASSERT_TRUE(locList.Add(&locFirst));
	KC_PoolSetFaultHook(FailEveryBlock);
	bool locAdded = locList.Add(&locSecond);
	bool locReserved = locList.Reserve(3);
	KC_PoolSetFaultHook(NULL);
	EXPECT_FALSE(locAdded);
	EXPECT_FALSE(locReserved);
	EXPECT_EQ(std::vector<int>{1}, IdsOf(locList));
	EXPECT_TRUE(locList.Add(&locSecond));
	EXPECT_EQ((std::vector<int>{1, 2}), IdsOf(locList));
	locList.RemoveAll();
}

TEST_F(JuiceModel, ANameTakesItsOwnTextBackAndShares)
{
	std::unique_ptr<JuiceType> locPlayer(Make("Player", "p"));
	JuiceType* locName = locPlayer->FindMember("myName");
	ASSERT_NE(nullptr, locName->GetSharedName());
	// An own text assigned to itself, and shared from itself, stays whole.
	locName->SetName("playerName");
	locName->SetName(locName->GetName());
	EXPECT_STREQ("playerName", locName->GetName());
	locName->SetSharedName(locName->GetName());
	EXPECT_STREQ("playerName", locName->GetName());
	ASSERT_NE(nullptr, locName->GetSharedName());
	std::unique_ptr<JuiceType> locOther(Make("TEXT", "x"));
	locOther->SetSharedName("playerName");
	EXPECT_EQ(locName->GetSharedName(), locOther->GetSharedName());
	EXPECT_EQ(locName, locPlayer->FindMember("playerName"));
}
