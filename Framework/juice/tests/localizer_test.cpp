#include "JuiceCompiler.h"
#include "JuiceLocalizer.h"
#include "JuiceNameSpace.h"
#include "JuiceType.h"
#include "juice_test_support.h"
#include "kc_listiterator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(JuiceLocalizer, CompanionName)
{
	KC_String locName;
	ASSERT_TRUE(JuiceLocalizer::GetCompanionName("data/menu.juice", locName));
	EXPECT_STREQ("data/menu.lang", locName);
	ASSERT_TRUE(JuiceLocalizer::GetCompanionName("a.b.juice", locName));
	EXPECT_STREQ("a.b.lang", locName);
	// The last dot, even when it belongs to a folder.
	ASSERT_TRUE(JuiceLocalizer::GetCompanionName("maps.old/menu", locName));
	EXPECT_STREQ("maps.lang", locName);
	EXPECT_FALSE(JuiceLocalizer::GetCompanionName("menu", locName));
	EXPECT_FALSE(JuiceLocalizer::GetCompanionName(".juice", locName));
}

TEST(JuiceLocalizer, ReadsEntriesInFileOrder)
{
	JuiceLocalizer locLocalizer;
	ASSERT_TRUE(locLocalizer.Read("data/loc/menu.juice"));
	ASSERT_EQ(3, locLocalizer.Count());
	EXPECT_STREQ("zero", locLocalizer.GetFirst()->myKey);
	EXPECT_STREQ("Zero text\twith tab", locLocalizer.GetFirst()->myValue);

	KC_String locValue = "unchanged";
	EXPECT_TRUE(locLocalizer.GetText("1", locValue));
	EXPECT_STREQ("no tab here", locValue);
	EXPECT_TRUE(locLocalizer.GetText("2 apples", locValue));
	EXPECT_STREQ("Two", locValue);
	locValue = "unchanged";
	EXPECT_FALSE(locLocalizer.GetText("3", locValue));
	EXPECT_FALSE(locLocalizer.GetText("99999999999999999999", locValue));
	EXPECT_FALSE(locLocalizer.GetText("x1", locValue));
	EXPECT_FALSE(locLocalizer.GetText("", locValue));
	EXPECT_FALSE(locLocalizer.GetText("-1", locValue));
	EXPECT_STREQ("unchanged", locValue);

	// No companion file: an empty localizer, and no failure.
	JuiceLocalizer locEmpty;
	EXPECT_TRUE(locEmpty.Read("data/text_values.juice"));
	EXPECT_EQ(0, locEmpty.Count());
	EXPECT_FALSE(locEmpty.GetText("0", locValue));
	EXPECT_FALSE(locEmpty.Read("data/noextension"));
}

TEST(JuiceLocalizer, LocTextValuesComeFromTheCompanion)
{
	MessageCapture locCapture;
	JuiceNameSpace locNameSpace;
	ASSERT_TRUE(JuiceCompiler::Compile(locNameSpace, "data/loc/menu.juice", NULL, NULL)) << locCapture.AllErrors();
	EXPECT_STREQ("Zero text\twith tab", locNameSpace.FindInstance("first", false)->GetValue());
	EXPECT_STREQ("no tab here", locNameSpace.FindInstance("second", false)->GetValue());
	EXPECT_STREQ("Two", locNameSpace.FindInstance("third", false)->GetValue());
	EXPECT_STREQ("apples", locNameSpace.FindInstance("2", false)->GetValue());
	EXPECT_STREQ("9", locNameSpace.FindInstance("outside", false)->GetValue());
	EXPECT_STREQ("hello", locNameSpace.FindInstance("word", false)->GetValue());
	EXPECT_STREQ("12", locNameSpace.FindInstance("digits", false)->GetValue());

	JuiceNameSpace locFolder;
	ASSERT_TRUE(JuiceCompiler::Compile(locFolder, "data/loc.dir/menu", NULL, NULL)) << locCapture.AllErrors();
	EXPECT_STREQ("from the folder name", locFolder.FindInstance("a", false)->GetValue());
}

TEST(JuiceLocalizer, TextsByIndexInLongFilesAndAfterTheListChanges)
{
	std::string locText;
	for (int locIndex = 0; locIndex < 300; ++locIndex)
		locText += "key" + std::to_string(locIndex) + "\ttext " + std::to_string(locIndex) + "\r\n";
	ASSERT_TRUE(WriteWholeFile("long.lang", locText));
	JuiceLocalizer locLocalizer;
	ASSERT_TRUE(locLocalizer.Read("long.juice"));
	ASSERT_EQ(300, locLocalizer.Count());
	KC_String locValue;
	for (int locIndex : {0, 1, 150, 299})
	{
		ASSERT_TRUE(locLocalizer.GetText(KC_String(std::to_string(locIndex).c_str()), locValue));
		EXPECT_EQ("text " + std::to_string(locIndex), std::string(locValue.GetText()));
	}
	EXPECT_FALSE(locLocalizer.GetText("300", locValue));

	// Entries added or taken away through the list are found where they stand.
	locLocalizer.Add(new JuiceLocalizer::KeyValue("extra", "added"));
	ASSERT_TRUE(locLocalizer.GetText("300", locValue));
	EXPECT_STREQ("added", locValue);
	KC_ListIterator<JuiceLocalizer::KeyValue*> locIterator(&locLocalizer);
	locIterator.First();
	delete locIterator.Get();
	locIterator.Remove();
	ASSERT_TRUE(locLocalizer.GetText("0", locValue));
	EXPECT_STREQ("text 1", locValue);
	ASSERT_TRUE(locLocalizer.GetText("299", locValue));
	EXPECT_STREQ("added", locValue);
	std::remove("long.lang");
}
