#include "KC_String.h"
#include "kc_pool.h"
#include "kc_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

TEST(KC_String, EmptyStringsShareTheStaticBufferUntilGivenText)
{
	KC_String locDefault;
	EXPECT_TRUE(locDefault.IsSharedEmpty());
	EXPECT_STREQ("", locDefault);

	KC_String locNull(static_cast<const char*>(nullptr));
	EXPECT_TRUE(locNull.IsSharedEmpty());

	KC_String locText("abc");
	locText = static_cast<const char*>(nullptr);
	EXPECT_TRUE(locText.IsSharedEmpty());

	// Copying a text of length 0 gives the string a buffer of its own.
	KC_String locOwn("");
	EXPECT_FALSE(locOwn.IsSharedEmpty());
	EXPECT_EQ(0, locOwn.GetLength());
	locOwn.Clear();
	EXPECT_TRUE(locOwn.IsSharedEmpty());

	KC_String locCopy(locOwn);
	EXPECT_TRUE(locDefault == locCopy);
}

TEST(KC_String, CopiesAreDeepAndKeepEmbeddedNulBytes)
{
	KC_String locText;
	locText.Format("ab%cc", 0);
	EXPECT_EQ(2, locText.GetLength()) << "Format ends at the first NUL";

	KC_String locFirst("hello");
	KC_String locSecond(locFirst);
	EXPECT_NE(static_cast<const char*>(locFirst), static_cast<const char*>(locSecond));
	locFirst.MakeLower();
	locSecond = locSecond;
	EXPECT_STREQ("hello", locSecond);

	// Assigning a pointer into the string's own data keeps the text intact.
	KC_String locTail("prefix/name");
	locTail = static_cast<const char*>(locTail) + 7;
	EXPECT_STREQ("name", locTail);
	locTail = static_cast<const char*>(locTail);
	EXPECT_STREQ("name", locTail);
}

TEST(KC_String, ShortAndLongTextsMoveAndReuseTheirBuffers)
{
	// 13 characters fit in the object itself, 14 do not: copies and moves of
	// both kinds, and changes between them, keep every text whole.
	const std::string locTexts[] = {"", "a", "thirteen-char", "fourteen-chars", std::string(300, 'q')};
	for (const std::string& locFrom : locTexts)
	{
		for (const std::string& locTo : locTexts)
		{
			KC_String locSource(locFrom.c_str());
			KC_String locTarget(locTo.c_str());
			locTarget = locSource;
			EXPECT_EQ(locFrom, static_cast<const char*>(locTarget));
			EXPECT_EQ(static_cast<int>(locFrom.size()), locTarget.GetLength());
			EXPECT_EQ(locFrom, static_cast<const char*>(locSource)) << "a copy leaves its source";

			KC_String locMoved(locTo.c_str());
			locMoved = std::move(locSource);
			EXPECT_EQ(locFrom, static_cast<const char*>(locMoved));
			EXPECT_TRUE(locSource.IsSharedEmpty()) << "a moved string is empty";
			KC_String locConstructed(std::move(locMoved));
			EXPECT_EQ(locFrom, static_cast<const char*>(locConstructed));
			EXPECT_EQ(0, locMoved.GetLength());

			locConstructed = locTo.c_str();
			EXPECT_EQ(locTo, static_cast<const char*>(locConstructed));
		}
	}

	// A copy of the same length reuses the buffer and is still deep.
	KC_String locLong("a text of twenty chars");
	KC_String locOther("another twenty-two ch!");
	locLong = locOther;
	locOther.Replace('a', 'A');
	EXPECT_STREQ("another twenty-two ch!", locLong);

	// Moving a string onto itself changes nothing.
	KC_String locSelf("self");
	KC_String& locAlias = locSelf;
	locSelf = std::move(locAlias);
	EXPECT_STREQ("self", locSelf);

	// A pointer into a short text of the string itself.
	KC_String locShort("ab/cd");
	locShort = static_cast<const char*>(locShort) + 3;
	EXPECT_STREQ("cd", locShort);
	EXPECT_EQ(2, locShort.GetLength());
}

TEST(KC_String, LeftRightAndConcatenation)
{
	KC_String locText("abc");
	EXPECT_STREQ("abc", locText.Left(100));
	EXPECT_STREQ("ab", locText.Left(2));
	EXPECT_STREQ("bc", locText.Right(2));
	EXPECT_STREQ("", locText.Right(0));
	EXPECT_EQ(3, locText.Right(100).GetLength());
	EXPECT_STREQ("abcdef", locText + "def");
	EXPECT_STREQ("abc", locText + nullptr);
	EXPECT_STREQ("abc", locText) << "operands are unchanged";
}

TEST(KC_String, FindReverseFindAndReplace)
{
	KC_String locPath("a/b/c");
	EXPECT_EQ(3, locPath.ReverseFind('/'));
	EXPECT_EQ(1, locPath.Find('/'));
	EXPECT_EQ(-1, KC_String("abc").Find('x'));
	EXPECT_EQ(-1, KC_String("abc").ReverseFind('x'));
	EXPECT_EQ(2, locPath.Find("b/"));
	EXPECT_LT(locPath.Find("x"), 0);
	EXPECT_LT(KC_String().Find("x"), 0);

	EXPECT_EQ(2, locPath.Replace('/', '\\'));
	EXPECT_STREQ("a\\b\\c", locPath);
	EXPECT_EQ(0, locPath.Replace('a', 'a'));
	EXPECT_EQ(0, locPath.Replace('z', 'y'));
}

TEST(KC_String, ComparisonsAreCaseSensitiveAndUnsigned)
{
	KC_String locLower("abc");
	KC_String locUpper("ABC");
	EXPECT_TRUE(locLower != locUpper);
	EXPECT_TRUE(locLower == "abc");
	EXPECT_TRUE(locUpper < locLower);
	EXPECT_TRUE(locLower > locUpper);
	EXPECT_EQ(0, locLower.CompareNoCase("AbC"));
	EXPECT_LT(locLower.CompareNoCase("abd"), 0);
	EXPECT_GT(locLower.CompareNoCase("AB"), 0);

	// Bytes of 0x80 and above sort above ASCII.
	KC_String locHigh("\xE9");
	EXPECT_TRUE(locHigh > KC_String("z"));
	EXPECT_TRUE(KC_String("ab") < KC_String("abc"));

	KC_String locMixed("MiXeD Case");
	locMixed.MakeLower();
	EXPECT_STREQ("mixed case", locMixed);
}

TEST(KC_String, FormatFitsEveryOutputUpToTheLimit)
{
	std::string locLong(65534, 'x');
	KC_String locText;
	locText.Format("%s", locLong.c_str());
	EXPECT_EQ(65534, locText.GetLength());
	EXPECT_EQ('x', static_cast<const char*>(locText)[65533]);

	// The result may be formatted from the string itself.
	KC_String locSelf("base");
	locSelf.Format("%s/%s/%d", static_cast<const char*>(locSelf), "x", 42);
	EXPECT_STREQ("base/x/42", locSelf);
}

// Out of memory a string throws like new (a conversion fails on it) and keeps
// the text it had.
TEST(KC_String, WithoutMemoryBadAllocIsThrownAndTheTextKept)
{
	if (!KC_PoolLimitRuns(0))
		GTEST_SKIP() << "the pool uses the heap in this build";
	std::string locLong(200, 'x');
	KC_String locKept("kept");
	std::vector<KC_String> locTexts;
	locTexts.reserve(100000);
	bool locThrown = false;
	try
	{
		// More than one run of pages holds.
		for (int i = 0; i < 100000; ++i)
			locTexts.push_back(KC_String(locLong.c_str()));
	}
	catch (const std::bad_alloc&)
	{
		locThrown = true;
	}
	bool locAssignThrown = false;
	try
	{
		locKept = locLong.c_str();
	}
	catch (const std::bad_alloc&)
	{
		locAssignThrown = true;
	}
	KC_PoolLimitRuns(SIZE_MAX);
	EXPECT_TRUE(locThrown);
	EXPECT_LT(locTexts.size(), 100000u);
	EXPECT_TRUE(locAssignThrown);
	EXPECT_STREQ("kept", locKept);
	EXPECT_EQ(4, locKept.GetLength());
	locKept = locLong.c_str();
	EXPECT_EQ(200, locKept.GetLength());
}

using KC_StringDeathTest = ::testing::Test;

TEST(KC_StringDeathTest, RequestsOf65535CharactersOrMoreFail)
{
	KC_SetDeathTestStyle();
	std::string locTooLong(65535, 'y');
	EXPECT_DEATH({ KC_String locText(locTooLong.c_str()); }, "aSize >= 0 && aSize < 65535");
	EXPECT_DEATH({ KC_String locText; locText.Format("%s", locTooLong.c_str()); },
	             "aSize >= 0 && aSize < 65535");
	EXPECT_DEATH({ KC_String locText("abc"); locText = locText + locTooLong.c_str(); },
	             "aSize >= 0 && aSize < 65535");
}
