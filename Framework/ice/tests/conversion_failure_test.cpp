// Runs whole conversions while the pool and the C++ heap fail at the Nth
// allocation: every run fails cleanly or succeeds, and the next conversion
// gives the bytes of an undisturbed one. The heap's operators are replaced in
// this executable alone.
#include "Ice.h"
#include "kc_output.h"
#include "kc_pool.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace
{
bool ourArmed = false;
std::size_t ourCount = 0;
// 0: nothing fails.
std::size_t ourFailAt = 0;
// Only the Nth allocation fails, or the Nth and every later one.
bool ourOnce = false;

bool Fails()
{
	if (!ourArmed)
		return false;
	++ourCount;
	return ourFailAt != 0 && (ourOnce ? ourCount == ourFailAt : ourCount >= ourFailAt);
}

bool PoolFails(std::size_t /*aSize*/)
{
	return Fails();
}

void* Allocate(std::size_t aSize)
{
	return std::malloc(aSize ? aSize : 1);
}
} // namespace

void* operator new(std::size_t aSize)
{
	void* locBlock = Fails() ? NULL : Allocate(aSize);
	if (!locBlock)
		throw std::bad_alloc();
	return locBlock;
}

void* operator new[](std::size_t aSize)
{
	return operator new(aSize);
}

void* operator new(std::size_t aSize, const std::nothrow_t&) noexcept
{
	return Fails() ? NULL : Allocate(aSize);
}

void* operator new[](std::size_t aSize, const std::nothrow_t&) noexcept
{
	return Fails() ? NULL : Allocate(aSize);
}

void operator delete(void* aBlock) noexcept
{
	std::free(aBlock);
}

void operator delete[](void* aBlock) noexcept
{
	std::free(aBlock);
}

void operator delete(void* aBlock, std::size_t) noexcept
{
	std::free(aBlock);
}

void operator delete[](void* aBlock, std::size_t) noexcept
{
	std::free(aBlock);
}

void operator delete(void* aBlock, const std::nothrow_t&) noexcept
{
	std::free(aBlock);
}

void operator delete[](void* aBlock, const std::nothrow_t&) noexcept
{
	std::free(aBlock);
}

namespace
{
// Allocations of the test itself are not counted.
struct Paused
{
	Paused() : myWasArmed(ourArmed) { ourArmed = false; }
	~Paused() { ourArmed = myWasArmed; }
	bool myWasArmed;
};

// The debug output while it lives, which every channel line reaches; the log
// channel is on and has a subscriber, as in autorun's diagnosis.
class Lines : public KC_MessageSubscriber, public KC_DebugListener
{
public:
	Lines() : myOldLogSwitch(ourLogChannelOn)
	{
		ourLogChannelOn = true;
		KC_GetMessagePublisher().Subscribe(KC_LOG_CHANNEL, this);
		KC_AddDebugListener(this);
	}
	~Lines() override
	{
		KC_RemoveDebugListener(this);
		KC_GetMessagePublisher().Unsubscribe(KC_LOG_CHANNEL, this);
		ourLogChannelOn = myOldLogSwitch;
	}
	bool Receive(int, KC_String) override { return true; }
	void Receive(const char* aText) override
	{
		Paused locPause;
		myTexts.push_back(aText);
	}
	bool Has(const std::string& aStart) const
	{
		for (const std::string& locText : myTexts)
		{
			if (locText.compare(0, aStart.size(), aStart) == 0)
				return true;
		}
		return false;
	}
	std::vector<std::string> myTexts;

private:
	bool myOldLogSwitch;
};

const char* const kInputs[][2] = {
	{"menu.fruit",
	 "CLASS Colour\r\n{\r\n\tNUMBER myR\r\n}\r\n\r\n"
	 "CLASS Gui\r\n{\r\n\tLOCTEXT m\r\n\tFILE myBackground\r\n\tColour myChromaKey\r\n\tColour* myRef\r\n"
	 "\tTEXT mya\r\n\tTEXT nwb\r\n}\r\n"},
	// Localized texts from the language file, references, a checksum that two
	// names share, and an unknown member and type for the ignorers.
	{"autorun.juice",
	 "INCLUDE menu.fruit\r\n// texts in autorun.lang\r\n\r\n"
	 "Gui g\r\n{\r\n\tm 0\r\n\tmyBackground \"data\\menu\\bg.tga\"\r\n\tmyChromaKey\r\n\t{\r\n\t\tmyR 255\r\n\t}\r\n"
	 "\tmyRef g.myChromaKey\r\n\tmya one\r\n\tnwb two\r\n\tmyUnknown 5\r\n}\r\n\r\n"
	 "Unknown u\r\n{\r\n\tx 1\r\n}\r\n\r\n"
	 "Gui h\r\n{\r\n\tm 1\r\n\tmyRef g.myChromaKey\r\n\tmyChromaKey\r\n\t{\r\n\t\tmyR 7\r\n\t}\r\n}\r\n"},
	{"autorun.lang", "Hello\r\nGood bye\r\n"},
};
const char* const kOutputs[] = {"autorun.ice",   "autorun.hash",       "autorun.loc",
                                "autorun.juice", "autorun.juice.orig", "autorun.lang", "autorun.lang.orig"};

class ConversionFailure : public ::testing::Test
{
protected:
	void SetUp() override
	{
		std::filesystem::remove_all("oom");
		std::filesystem::create_directory("oom");
		myOldFolder = std::filesystem::current_path();
		std::filesystem::current_path("oom");
	}
	void TearDown() override
	{
		Disarm();
		std::filesystem::current_path(myOldFolder);
	}

	static void Arm(std::size_t aFailAt, bool anOnce)
	{
		ourCount = 0;
		ourFailAt = aFailAt;
		ourOnce = anOnce;
		KC_PoolSetFaultHook(PoolFails);
		ourArmed = true;
	}
	static void Disarm()
	{
		ourArmed = false;
		KC_PoolSetFaultHook(NULL);
	}

	// The inputs alone, as a disc brings them.
	static void Lay()
	{
		for (const auto& locEntry : std::filesystem::directory_iterator("."))
			std::filesystem::remove_all(locEntry.path());
		for (const auto& locInput : kInputs)
			ASSERT_TRUE(WriteWholeFile(locInput[0], locInput[1]));
	}

	// Converts and loads; false when the load failed. An exception that gets
	// out is a failure of the test.
	static bool Convert()
	{
		Ice* locRoot = NULL;
		bool locEscaped = false;
		try
		{
			locRoot = Ice::Load("autorun.ice", true);
		}
		catch (...)
		{
			locEscaped = true;
		}
		Paused locPause;
		EXPECT_FALSE(locEscaped) << "an exception left Ice::Load";
		bool locLoaded = locRoot != NULL;
		delete locRoot;
		return locLoaded;
	}

	static std::map<std::string, std::string> Outputs()
	{
		std::map<std::string, std::string> locFiles;
		for (const char* locName : kOutputs)
			locFiles[locName] = ReadWholeFile(locName);
		return locFiles;
	}

	// Every run under injection, in one mode.
	void RunEveryFailure(bool anOnce)
	{
		Lay();
		std::map<std::string, std::string> locInputs = Outputs();
		Arm(0, anOnce);
		ASSERT_TRUE(Convert());
		std::size_t locAllocations = ourCount;
		Disarm();
		const std::map<std::string, std::string> locExpected = Outputs();
		ASSERT_NE("<missing>", locExpected.at("autorun.loc"));
		ASSERT_NE(locInputs.at("autorun.juice"), locExpected.at("autorun.juice"));
		ASSERT_GT(locAllocations, 100u);
		std::printf("%s: %zu allocations in one conversion\n", anOnce ? "one failure" : "failures from the Nth on",
		            locAllocations);

		int locFailed = 0;
		for (std::size_t locFailAt = 1; locFailAt <= locAllocations; ++locFailAt)
		{
			Lay();
			bool locLoaded;
			{
				Lines locLines;
				Arm(locFailAt, anOnce);
				locLoaded = Convert();
				Disarm();
				if (!locLoaded)
				{
					++locFailed;
					EXPECT_TRUE(locLines.Has("LOG: JuiceToIce::Priv_AssertFileName(): Failed to convert") ||
					            locLines.Has("LOG: Ice::"))
						<< "no message names the failure at allocation " << locFailAt;
				}
			}
			// Each file is as it was or complete; nothing temporary is left.
			std::map<std::string, std::string> locAfter = Outputs();
			for (const auto& locFile : locAfter)
			{
				const std::string& locName = locFile.first;
				EXPECT_TRUE(locFile.second == locInputs.at(locName) || locFile.second == locExpected.at(locName))
					<< locName << " after a failure at allocation " << locFailAt;
			}
			// The text is re-saved exactly when the language file is moved aside:
			// texts that stand inline are never looked up in it again, and indexes
			// never lose it.
			bool locReSaved = locAfter.at("autorun.juice") == locExpected.at("autorun.juice");
			EXPECT_EQ(locReSaved, locAfter.at("autorun.lang") == "<missing>") << "at allocation " << locFailAt;
			EXPECT_EQ(locReSaved, locAfter.at("autorun.lang.orig") != "<missing>") << "at allocation " << locFailAt;
			EXPECT_EQ(locReSaved, locAfter.at("autorun.juice.orig") != "<missing>") << "at allocation " << locFailAt;
			// A load that worked has the converted files (a re-save that failed
			// is logged and the conversion goes on).
			if (locLoaded)
			{
				for (const char* locName : {"autorun.ice", "autorun.hash", "autorun.loc"})
					EXPECT_EQ(locExpected.at(locName), locAfter.at(locName)) << locName << " at allocation " << locFailAt;
			}
			for (const auto& locEntry : std::filesystem::directory_iterator("."))
			{
				std::string locName = locEntry.path().filename().string();
				EXPECT_NE("tmp", locName.substr(locName.size() - 3)) << locName << " at allocation " << locFailAt;
			}
			// The next conversion in the same process.
			Lay();
			EXPECT_TRUE(Convert()) << "after a failure at allocation " << locFailAt;
			EXPECT_EQ(locExpected, Outputs()) << "after a failure at allocation " << locFailAt;
			if (HasFailure())
				return;
		}
		std::printf("%d of the runs failed, the others loaded\n", locFailed);
		EXPECT_GT(locFailed, 0);
	}

	std::filesystem::path myOldFolder;
};
} // namespace

TEST_F(ConversionFailure, EveryAllocationFailingFromThereOn)
{
	RunEveryFailure(false);
}

TEST_F(ConversionFailure, EachAllocationFailingAlone)
{
	RunEveryFailure(true);
}
