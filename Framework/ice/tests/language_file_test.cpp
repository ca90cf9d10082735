#include "IceLangDecoder.h"
#include "IceLangEncoder.h"
#include "ice_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
void AddKeyValue(IceLangEncoder::KeyValueList& aList, const char* aKey, const char* aValue)
{
	IceLangEncoder::KeyValue* locRecord = new IceLangEncoder::KeyValue;
	locRecord->myKey = aKey;
	locRecord->myValue = aValue;
	aList.Add(locRecord);
}

std::u16string Text(const IceLangDecoder& aDecoder, unsigned int anIndex)
{
	const char16_t* locText = aDecoder.GetString(anIndex);
	return locText ? std::u16string(locText) : std::u16string(u"<null>");
}
}

TEST(IceLangEncoder, WritesMarkKeysTabsAndUtf8Values)
{
	IceLangEncoder::KeyValueList locList;
	AddKeyValue(locList, "g.m", "caf\xE9");
	AddKeyValue(locList, "g.n", "two\\nlines");
	AddKeyValue(locList, "top", "<empty>");
	ASSERT_TRUE(IceLangEncoder::Save(locList, "menu.ice"));
	locList.DeleteAll();

	EXPECT_EQ(std::string("\xEF\xBB\xBFg.m\tcaf\xC3\xA9\r\ng.n\ttwo\\nlines\r\ntop\t<empty>\r\n"),
	          ReadWholeFile("menu.loc"));

	IceLangDecoder locDecoder;
	ASSERT_TRUE(locDecoder.Load("menu.ice"));
	EXPECT_EQ(3u, locDecoder.GetCount());
	EXPECT_EQ(u"caf\u00e9", Text(locDecoder, 0));
	EXPECT_EQ(u"two\nlines", Text(locDecoder, 1));
	EXPECT_EQ(u"", Text(locDecoder, 2));
	EXPECT_EQ(u"<null>", Text(locDecoder, 3));
}

TEST(IceLangEncoder, RefusesLongAndNonAsciiKeysAndWritesNothing)
{
	MessageCapture locLog;
	IceLangEncoder::KeyValueList locLong;
	AddKeyValue(locLong, std::string(256, 'k').c_str(), "v");
	EXPECT_FALSE(IceLangEncoder::Save(locLong, "refused.ice"));
	EXPECT_TRUE(locLog.HasLog("LOG: IceLangEncoder::ValidateKeyValues(): key '" + std::string(256, 'k') +
	                       "' was longer than 255 characters"));
	locLong.DeleteAll();

	IceLangEncoder::KeyValueList locHigh;
	AddKeyValue(locHigh, "ok", "v");
	AddKeyValue(locHigh, "k\xE9y", "v");
	EXPECT_FALSE(IceLangEncoder::Save(locHigh, "refused.ice"));
	EXPECT_TRUE(locLog.HasLog("LOG: IceLangEncoder::ValidateKeyValues(): key 'k\xE9y' contained invalid characters (> 127 ASCII)"));
	locHigh.DeleteAll();
	EXPECT_EQ("", ReadWholeFile("refused.loc", ""));

	IceLangEncoder::KeyValueList locLongest;
	AddKeyValue(locLongest, std::string(255, 'k').c_str(), "v");
	EXPECT_TRUE(IceLangEncoder::ValidateKeyValues(locLongest));
	locLongest.DeleteAll();
}

TEST(IceLangDecoder, ReadsLinesWithTheLineReaderRules)
{
	ASSERT_TRUE(WriteWholeFile("rules.loc", "\xEF\xBB\xBF"
	                                       "  a\tfirst  \r\n"
	                                       "\r\n"
	                                       "// a comment line\r\n"
	                                       "b\t<empty>more\r\n"
	                                       "c\turl http://x\r\n"
	                                       "d\t\xE2\x82\xAC \xF0\x9F\x98\x80\r\n"
	                                       "e\tlast"));
	IceLangDecoder locDecoder;
	ASSERT_TRUE(locDecoder.Load("rules.ice"));
	ASSERT_EQ(5u, locDecoder.GetCount());
	EXPECT_EQ(u"first", Text(locDecoder, 0));
	EXPECT_EQ(u"<empty>more", Text(locDecoder, 1));
	EXPECT_EQ(u"url http:", Text(locDecoder, 2));
	EXPECT_EQ(u"\u20ac \ufffd", Text(locDecoder, 3));
	EXPECT_EQ(u"last", Text(locDecoder, 4));
	EXPECT_EQ(u"<null>", Text(locDecoder, 5));
}

TEST(IceLangDecoder, RefusesUnmarkedFilesAndLinesWithoutTab)
{
	MessageCapture locLog;
	IceLangDecoder locDecoder;
	EXPECT_FALSE(locDecoder.Load("noextension"));
	EXPECT_FALSE(locDecoder.Load(".ice"));
	EXPECT_FALSE(locDecoder.Load("absent.ice"));

	ASSERT_TRUE(WriteWholeFile("unmarked.loc", "a\tb\r\n"));
	EXPECT_FALSE(locDecoder.Load("unmarked.ice"));
	EXPECT_TRUE(locLog.myLogs.empty());

	ASSERT_TRUE(WriteWholeFile("notab.loc", "\xEF\xBB\xBF"
	                                       "a\tb\r\nno tab here\r\n"));
	EXPECT_FALSE(locDecoder.Load("notab.ice"));
	EXPECT_TRUE(locLog.HasLog("LOG: IceLangDecoder::Load(): error in 'notab.loc', found line without a tab delimiter"));
}

TEST(IceLangDecoder, MalformedUtf8FailsTheLoadAndReadsNoFurther)
{
	// A continuation byte without a start, characters cut at the value's end,
	// a start byte of five, and a start followed by no continuation.
	for (const char* locBad : {"a\x80", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xF8\x80", "\xC3z"})
	{
		KC_LocString locText(u"kept");
		EXPECT_FALSE(IceLangDecoder::DecodeValue(locBad, locText)) << locBad;
		EXPECT_EQ(u"kept", std::u16string(locText.GetData())) << locBad;
	}
	KC_LocString locText;
	EXPECT_TRUE(IceLangDecoder::DecodeValue("caf\xC3\xA9", locText));
	EXPECT_EQ(u"caf\u00e9", std::u16string(locText.GetData()));

	MessageCapture locLog;
	ASSERT_TRUE(WriteWholeFile("broken.loc", "\xEF\xBB\xBF"
	                                         "a\tgood\r\nb\tcut \xE2\x82\r\n"));
	IceLangDecoder locDecoder;
	EXPECT_FALSE(locDecoder.Load("broken.ice"));
	EXPECT_TRUE(locLog.HasLog("LOG: IceLangDecoder::Load(): error in 'broken.loc', text 1 is not valid UTF-8"));
	EXPECT_EQ(0u, locDecoder.GetCount());
}
