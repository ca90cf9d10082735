#include "icetool_lib.h"

#include "icetool_channels.h"

#include "Ice.h"
#include "JuiceCompiler.h"
#include "JuiceInstanceIgnorer.h"
#include "JuiceLocalizer.h"
#include "JuiceNameSpace.h"
#include "JuiceToIce.h"
#include "ParseTool.h"
#include "kc_output.h"
#include "kd_imageheader.h"
#include "kf_file.h"
#include "kf_sdf.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace
{
const char ourErrorPrefix[] = "ERROR: ";
const char ourLogPrefix[] = "LOG: ";

// Keeps every error and log line while in scope, without their prefixes and
// line ends; both channels are on meanwhile.
class MessageRecorder : public IceToolChannelListener
{
public:
	struct Line
	{
		bool myIsError;
		std::string myText;
	};

	bool Receive(int aKey, KC_String aValue) override
	{
		std::string locText = static_cast<const char*>(aValue);
		const char* locPrefix = aKey == KC_ERROR_CHANNEL ? ourErrorPrefix : ourLogPrefix;
		if (locText.compare(0, std::strlen(locPrefix), locPrefix) == 0)
			locText.erase(0, std::strlen(locPrefix));
		while (!locText.empty() && (locText.back() == '\n' || locText.back() == '\r'))
			locText.pop_back();
		myLines.push_back(Line{aKey == KC_ERROR_CHANNEL, locText});
		return true;
	}

	std::vector<Line> myLines;
};

// Enters a folder for the lifetime of the object, as the menu runs in the
// folder of its definition.
class FolderVisit
{
public:
	explicit FolderVisit(const std::string& aFolder)
	{
		std::error_code locError;
		myOld = std::filesystem::current_path(locError);
		myEntered = !aFolder.empty() && !locError;
		if (myEntered)
		{
			std::filesystem::current_path(aFolder, locError);
			myEntered = !locError;
		}
	}
	~FolderVisit()
	{
		std::error_code locError;
		if (myEntered)
			std::filesystem::current_path(myOld, locError);
	}
	bool Failed(const std::string& aFolder) const { return !aFolder.empty() && !myEntered; }

private:
	std::filesystem::path myOld;
	bool myEntered;
};

// The scratch folder in use, for the interruption handler: a fixed buffer,
// since the handler may not allocate.
char ourScratchPath[4096];
const char* const ourScratchFiles[] = {"autorun.ice", "autorun.icetmp", "autorun.hash", "autorun.hashtmp",
                                       "autorun.loc", "autorun.loctmp"};

// Ctrl+C or a termination request during a check: the scratch folder and the
// files that a conversion writes there go, then the signal ends the process.
extern "C" void RemoveScratchAndEnd(int aSignal)
{
	if (ourScratchPath[0])
	{
		char locName[4096 + 32];
		for (const char* locFile : ourScratchFiles)
		{
			std::snprintf(locName, sizeof(locName), "%s/%s", ourScratchPath, locFile);
			std::remove(locName);
		}
#ifdef _WIN32
		_rmdir(ourScratchPath);
#else
		rmdir(ourScratchPath);
#endif
	}
	std::signal(aSignal, SIG_DFL);
	std::raise(aSignal);
}

// A folder of its own under the system's temporary folder, removed with
// everything in it, also when the check is interrupted. Its name holds the
// process id and a random number, and it is made only when no other has it.
class ScratchFolder
{
public:
	ScratchFolder()
	{
		std::error_code locError;
		std::filesystem::path locBase = std::filesystem::temp_directory_path(locError);
		if (locError)
			return;
		std::random_device locRandom;
		for (int locTry = 0; locTry < 100 && myPath.empty(); ++locTry)
		{
			std::filesystem::path locCandidate =
				locBase / ("icetool-check-" + std::to_string(ProcessId()) + "-" + std::to_string(locRandom()));
			if (std::filesystem::create_directory(locCandidate, locError))
				myPath = locCandidate.string();
		}
		if (myPath.empty() || myPath.size() >= sizeof(ourScratchPath))
			return;
		std::memcpy(ourScratchPath, myPath.c_str(), myPath.size() + 1);
		myOldInterrupt = std::signal(SIGINT, RemoveScratchAndEnd);
		myOldTerminate = std::signal(SIGTERM, RemoveScratchAndEnd);
		myHandling = true;
	}
	~ScratchFolder()
	{
		if (myHandling)
		{
			std::signal(SIGINT, myOldInterrupt);
			std::signal(SIGTERM, myOldTerminate);
			ourScratchPath[0] = 0;
		}
		std::error_code locError;
		if (!myPath.empty())
			std::filesystem::remove_all(myPath, locError);
	}
	const std::string& GetPath() const { return myPath; }

private:
	static long ProcessId()
	{
#ifdef _WIN32
		return static_cast<long>(_getpid());
#else
		return static_cast<long>(getpid());
#endif
	}

	std::string myPath;
	bool myHandling = false;
	void (*myOldInterrupt)(int) = SIG_DFL;
	void (*myOldTerminate)(int) = SIG_DFL;
};

// A message of the form "(FILE, line N) TEXT" split into its parts.
bool SplitParseError(const std::string& aText, std::string* aFile, int* aLine, std::string* aMessage)
{
	if (aText.empty() || aText[0] != '(')
		return false;
	size_t locMark = aText.find(", line ");
	if (locMark == std::string::npos)
		return false;
	size_t locDigits = locMark + 7;
	size_t locEnd = aText.find(") ", locDigits);
	if (locEnd == std::string::npos || locEnd == locDigits)
		return false;
	*aFile = aText.substr(1, locMark - 1);
	*aLine = std::atoi(aText.substr(locDigits, locEnd - locDigits).c_str());
	*aMessage = aText.substr(locEnd + 2);
	return true;
}

// The messages of the parse tool about a file's encoding or line ends:
// "ParseTool::Open(): 'FILE' line N ends ..." or "ParseTool::Open(): 'FILE' is UTF-16 text ..."
// (no line: 0).
bool SplitLineEndError(const std::string& aText, std::string* aFile, unsigned int* aLine)
{
	const char locStart[] = "ParseTool::Open(): '";
	if (aText.compare(0, sizeof(locStart) - 1, locStart) != 0)
		return false;
	size_t locMark = aText.find("' line ", sizeof(locStart) - 1);
	if (locMark != std::string::npos && aText.find(" without a ", locMark) != std::string::npos)
	{
		*aLine = static_cast<unsigned int>(std::strtoul(aText.c_str() + locMark + 7, NULL, 10));
	}
	else
	{
		locMark = aText.find("' is UTF-16 text", sizeof(locStart) - 1);
		if (locMark == std::string::npos)
			return false;
		*aLine = 0;
	}
	*aFile = aText.substr(sizeof(locStart) - 1, locMark - (sizeof(locStart) - 1));
	return true;
}

class Checker
{
public:
	Checker(const std::string& aFolder, const std::string& aJuiceName, std::FILE* aReport)
		: myFolder(aFolder), myJuiceName(aJuiceName), myReport(aReport), myErrors(0)
	{
	}

	int GetErrorCount() const { return myErrors; }

	// file:line: message, with the file named as the user reaches it.
	void Report(const std::string& aFile, unsigned int aLine, const std::string& aMessage)
	{
		std::string locFile = aFile;
		if (!myFolder.empty() && !std::filesystem::path(aFile).is_absolute())
			locFile = myFolder + "/" + aFile;
		if (aLine > 0)
			std::fprintf(myReport, "%s:%u: %s\n", locFile.c_str(), aLine, aMessage.c_str());
		else
			std::fprintf(myReport, "%s: %s\n", locFile.c_str(), aMessage.c_str());
		std::fflush(myReport);
		++myErrors;
	}

	// The errors of a compilation. A message without a place (the type model's
	// own) takes the place of the parse error that follows it.
	void ReportCompilerErrors(const std::vector<MessageRecorder::Line>& aLines)
	{
		std::vector<std::string> locUnplaced;
		for (const MessageRecorder::Line& locLine : aLines)
		{
			if (!locLine.myIsError)
			{
				WarnAboutIgnored(locLine.myText);
				continue;
			}
			std::string locFile;
			std::string locMessage;
			int locParseLine = 0;
			unsigned int locLineNumber = 0;
			if (SplitParseError(locLine.myText, &locFile, &locParseLine, &locMessage))
			{
				locLineNumber = ParseTool::PhysicalLine(locFile.c_str(), locParseLine);
			}
			else if (SplitLineEndError(locLine.myText, &locFile, &locLineNumber))
			{
				locMessage = locLine.myText;
			}
			else
			{
				locUnplaced.push_back(locLine.myText);
				continue;
			}
			for (const std::string& locEarlier : locUnplaced)
				Report(locFile, locLineNumber, locEarlier);
			locUnplaced.clear();
			Report(locFile, locLineNumber, locMessage);
		}
		for (const std::string& locEarlier : locUnplaced)
			Report(myJuiceName, 0, locEarlier);
	}

	// The menu skips members and instances that its types do not declare; a
	// misspelt name is then silently without effect. Not an error.
	void WarnAboutIgnored(const std::string& aLog)
	{
		const char locMember[] = "JuiceType::Assign(): User indicated that member '";
		const char locInstance[] = "JuiceCompiler::Compile(): User indicated that instance '";
		std::string locText;
		if (aLog.compare(0, sizeof(locMember) - 1, locMember) == 0)
			locText = "member '" + aLog.substr(sizeof(locMember) - 1);
		else if (aLog.compare(0, sizeof(locInstance) - 1, locInstance) == 0)
			locText = "instance '" + aLog.substr(sizeof(locInstance) - 1);
		else
			return;
		size_t locEnd = locText.rfind(" should be ignored");
		if (locEnd != std::string::npos)
			locText.erase(locEnd);
		std::fprintf(myReport, "%s: warning: %s is ignored: the type files do not declare it\n",
		             Shown(myJuiceName).c_str(), locText.c_str());
		std::fflush(myReport);
	}

	// A LOCTEXT of digits alone that finds no entry keeps the digits as its
	// text; an author almost always meant an index. Not an error.
	void WarnAboutMisses(const JuiceLocalizer::Use& aUse)
	{
		std::string locLanguage = Shown(static_cast<const char*>(aUse.myFileName));
		for (const JuiceLocalizer::Use::Miss& locMiss : aUse.myMisses)
		{
			std::string locWhere = Shown(myJuiceName);
			unsigned int locLine = ParseTool::PhysicalLine(myJuiceName.c_str(), locMiss.myLine);
			if (locLine > 0)
				locWhere += ":" + std::to_string(locLine);
			if (aUse.myHasFile && aUse.myEntryCount == 0)
				std::fprintf(myReport,
				             "%s: warning: the LOCTEXT value %s is no index into '%s', which has no entries: the "
				             "digits are the text\n",
				             locWhere.c_str(), locMiss.myValue.GetText(), locLanguage.c_str());
			else if (aUse.myHasFile)
				std::fprintf(myReport,
				             "%s: warning: the LOCTEXT value %s is no index into '%s', whose entries are 0 to %d: "
				             "the digits are the text\n",
				             locWhere.c_str(), locMiss.myValue.GetText(), locLanguage.c_str(), aUse.myEntryCount - 1);
			else
				std::fprintf(myReport,
				             "%s: warning: the LOCTEXT value %s finds no '%s' to be an index into: the digits are "
				             "the text\n",
				             locWhere.c_str(), locMiss.myValue.GetText(), locLanguage.c_str());
		}
		std::fflush(myReport);
	}

	void Run()
	{
		JuiceNameSpace locNameSpace;
		EverythingIgnorer locIgnorer;
		JuiceLocalizer::Use locUse;
		bool locCompiled = false;
		{
			MessageRecorder locRecorder;
			locCompiled = JuiceCompiler::Compile(locNameSpace, myJuiceName.c_str(), NULL, &locIgnorer, &locUse);
			ReportCompilerErrors(locRecorder.myLines);
		}
		WarnAboutMisses(locUse);
		if (!locCompiled)
		{
			if (myErrors == 0)
				Report(myJuiceName, 0, "does not compile");
			return;
		}
		if (locUse.myFoundCount > 0)
		{
			std::string locLanguage = static_cast<const char*>(locUse.myFileName);
			std::string locKept = static_cast<const char*>(JuiceToIce::GetFreeKeptName(myJuiceName.c_str()));
			std::string locKeptLanguage = static_cast<const char*>(JuiceToIce::GetFreeKeptName(locUse.myFileName));
			std::fprintf(myReport,
			             "%s: note: takes %d text%s from '%s': a conversion re-saves it with the texts inline, "
			             "keeps this text as '%s' and '%s' as '%s'\n",
			             Shown(myJuiceName).c_str(), locUse.myFoundCount, locUse.myFoundCount == 1 ? "" : "s",
			             Shown(locLanguage).c_str(), Shown(locKept).c_str(), Shown(locLanguage).c_str(),
			             Shown(locKeptLanguage).c_str());
			std::fflush(myReport);
		}

		// The conversion writes into a folder of its own, never beside the definition.
		ScratchFolder locScratch;
		if (locScratch.GetPath().empty())
		{
			Report(myJuiceName, 0, "no temporary folder for the trial conversion");
			return;
		}
		std::string locIceName = (std::filesystem::path(locScratch.GetPath()) / "autorun.ice").string();
		Ice* locRoot = NULL;
		{
			MessageRecorder locRecorder;
			bool locConverted = JuiceToIce::Priv_ConvertJuiceToIce(locNameSpace, locIceName.c_str());
			if (locConverted)
				locRoot = Ice::Load(locIceName.c_str(), false);
			if (!locRoot)
			{
				for (const MessageRecorder::Line& locLine : locRecorder.myLines)
				{
					if (locLine.myText.find("converting namespace to") == std::string::npos)
						Report(myJuiceName, 0, locLine.myText);
				}
				if (myErrors == 0)
					Report(myJuiceName, 0, "does not convert to a loadable Ice file");
				return;
			}
		}
		CheckMenu(locRoot);
		delete locRoot;
	}

private:
	std::string Shown(const std::string& aFile) const { return myFolder.empty() ? aFile : myFolder + "/" + aFile; }

	// The members the menu cannot start without, looked up as the menu does.
	void CheckMenu(Ice* aRoot)
	{
		Ice* locButtons = aRoot->GetMember("myGui.myButtons");
		if (!locButtons)
		{
			Report(myJuiceName, 0, "missing member 'myGui.myButtons'");
		}
		else
		{
			unsigned int locCount = locButtons->GetCount(true);
			for (unsigned int locIndex = 0; locIndex < locCount; ++locIndex)
				CheckButton(locButtons->GetMember(locIndex), locIndex);
		}
		Ice* locBackground = aRoot->GetMember("myGui.myBackgroundBitmap");
		const char* locName = locBackground ? locBackground->GetValue() : NULL;
		if (!locName)
			Report(myJuiceName, 0, "missing member 'myGui.myBackgroundBitmap'");
		else if (!BitmapLoads(locName))
			Report(myJuiceName, 0, std::string("the background bitmap '") + locName + "' does not load");
	}

	void CheckButton(Ice* aButton, unsigned int anIndex)
	{
		std::string locWhere = "button " + std::to_string(anIndex) + " of myGui.myButtons: ";
		if (!aButton)
		{
			Report(myJuiceName, 0, locWhere + "does not load");
			return;
		}
		for (const char* locMember : {"myBitmap", "myPressedBitmap", "myHoverBitmap", "myDisabledBitmap"})
		{
			Ice* locPicture = aButton->GetMember(locMember);
			const char* locName = locPicture ? locPicture->GetValue() : NULL;
			if (!locName)
				Report(myJuiceName, 0, locWhere + "missing member '" + locMember + "'");
			else if (!BitmapLoads(locName))
				Report(myJuiceName, 0, locWhere + "bitmap '" + locName + "' (" + locMember + ") does not load");
		}
		if (!aButton->GetMember("myRequirementsToBeEnabled"))
			Report(myJuiceName, 0, locWhere + "missing member 'myRequirementsToBeEnabled'");
	}

	// What the display layer accepts: a BMP file on disk, a TGA file on disk or
	// in a mounted archive, each with a header that its loader takes.
	static bool BitmapLoads(const std::string& aName)
	{
		std::string locExtension = aName.size() > 4 ? aName.substr(aName.size() - 4) : std::string();
		for (char& locChar : locExtension)
			locChar = static_cast<char>(std::tolower(static_cast<unsigned char>(locChar)));
		KF_File locFile;
		if (locExtension == ".bmp")
		{
			// The system's loader reads from disk only: an archived entry does not count.
			if (KF_SDF::FindEntry(aName.c_str(), true, NULL, NULL) || !std::filesystem::is_regular_file(aName) ||
			    !locFile.Open(aName.c_str(), OPEN_READ))
				return false;
			KD_BmpHeader locHeader;
			bool locOk = locFile.GetData() &&
			             KD_ReadBmpHeader(locFile.GetData(), locFile.GetSize(), locFile.GetSize(), &locHeader);
			locFile.Close();
			return locOk;
		}
		if (locExtension != ".tga" || !locFile.Open(aName.c_str(), OPEN_READ))
			return false;
		KD_TgaHeader locHeader;
		uint32_t locOffset = 0;
		uint32_t locSize = 0;
		bool locOk = locFile.GetData() && KD_ReadTgaHeader(locFile.GetData(), locFile.GetSize(), locFile.GetSize(),
		                                                   &locHeader, &locOffset, &locSize) == KD_TGA_OK;
		locFile.Close();
		return locOk;
	}

	std::string myFolder;
	std::string myJuiceName;
	std::FILE* myReport;
	int myErrors;
};
}

std::string ICE_DefinitionNameNote(const char* aJuiceName)
{
	std::string locName = std::filesystem::path(aJuiceName).filename().string();
	std::string locLower = locName;
	for (char& locChar : locLower)
		locChar = static_cast<char>(std::tolower(static_cast<unsigned char>(locChar)));
	if (locLower == "autorun.juice")
		return std::string();
	return std::string(aJuiceName) + ": note: the menu loads only a definition named 'autorun.juice' (compiled to "
	       "'autorun.ice'); '" + locName + "' is checked as if it had that name\n";
}

int ICE_Check(const char* aJuiceName, std::FILE* aReport)
{
	std::filesystem::path locPath(aJuiceName);
	std::string locFolder = locPath.parent_path().string();
	std::string locFile = locPath.filename().string();
	Checker locChecker(locFolder, locFile, aReport);
	FolderVisit locVisit(locFolder);
	if (locVisit.Failed(locFolder))
	{
		std::fprintf(aReport, "%s: no such folder\n", locFolder.c_str());
		return 1;
	}
	// The menu's archive, mounted as the menu mounts it: a file on disk wins.
	bool locMounted = std::filesystem::is_regular_file("autorun.sdf") && KF_SDF::Mount("autorun.sdf", false);
	locChecker.Run();
	if (locMounted)
		KF_SDF::Unmount("autorun.sdf");
	return locChecker.GetErrorCount();
}
