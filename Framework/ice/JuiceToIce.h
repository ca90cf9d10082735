#ifndef JUICETOICE_H
#define JUICETOICE_H

#include "IceLangEncoder.h"
#include "KC_String.h"

#include <cstdio>

class JuiceNameSpace;
class JuiceType;

// Keeps an Ice file in step with the Juice text it is made from, and writes
// the ".hash" report of every name and its checksum beside it.
class JuiceToIce
{
public:
	// Makes sure that anIceName ("x.ice") is current with "x.juice", converting when
	// the text is newer, the Ice file is missing, or it does not load.
	static bool Priv_AssertFileName(KC_String& anIceName);

	// 1: the Ice file is current (or has no Juice text); 0: convert; -1: neither exists.
	static int IsFileNewer(const KC_String& anIceName, const KC_String& aJuiceName);

	static bool Priv_ConvertJuiceToIce(JuiceNameSpace& aNameSpace, const KC_String& anIceName);

	// Writes the member record of anInstance and, recursively, of its members.
	// aParentPath is the dotted path of its parent, empty at top level.
	static bool ConvertJuiceToIce(FILE* aHandle, JuiceType* anInstance, IceLangEncoder::KeyValueList& aLocalizer,
	                              const KC_String& aParentPath);

	// Compiles aJuiceName and writes anIceName from it. When LOCTEXT values
	// were read from the companion ".lang" file, the text is re-saved with
	// them inline (ReSaveText).
	static bool Priv_ConvertJuiceFile(const KC_String& aJuiceName, const KC_String& anIceName);

	// The re-save of the last Priv_ConvertJuiceFile: whether one was tried and
	// done, and under which names the replaced text and the companion file
	// are kept.
	struct ReSave
	{
		bool myTried = false;
		bool myDone = false;
		KC_String myJuiceName;
		KC_String myOriginalName;
		KC_String myLanguageName;
		KC_String myKeptLanguageName;
	};
	static const ReSave& GetLastReSave() { return ourReSave; }
	static void Priv_ResetLastReSave() { ourReSave = ReSave(); }

	// When set, told of each stage that a conversion has passed: "compiled",
	// "re-saved" (when it re-saved the text), "written" and "freed" (the Juice
	// tree gone), for measurements.
	static void (*ourStageObserver)(const char* aStage);

	// The name under which a re-save keeps aName: the first of aName + ".orig",
	// ".orig2", ... that no file on disk has; empty when none is free.
	static KC_String GetFreeKeptName(const KC_String& aName);

private:
	// Writes aNameSpace back to aJuiceName after keeping the text there under a
	// name of its own and moving aLanguageName aside, so that no text is
	// looked up in it again; a failure leaves both files as they were.
	static void ReSaveText(JuiceNameSpace& aNameSpace, const KC_String& aJuiceName, const KC_String& aLanguageName);

	static ReSave ourReSave;

	// Priv_ConvertJuiceToIce once it is known whether the namespace holds localized texts.
	// Out of memory it fails and removes the files it was writing.
	static bool WriteIceFiles(JuiceNameSpace& aNameSpace, const KC_String& anIceName, bool aLocalized);
	// The writing itself; aFile is the open Ice file while there is one.
	static bool WriteIceFiles(JuiceNameSpace& aNameSpace, const KC_String& anIceName, bool aLocalized, FILE*& aFile,
		IceLangEncoder::KeyValueList& aKeyValues);
};

#endif
