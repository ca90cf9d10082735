#ifndef JUICELOCALIZER_H
#define JUICELOCALIZER_H

#include "KC_String.h"
#include "kc_list.h"

#include <utility>
#include <vector>

// The texts of an instance file's companion ".lang" file, numbered from 0 in
// file order. A LOCTEXT value that is a number picks one of them.
class JuiceLocalizer;

class JuiceLocalizerKeyValue;

class JuiceLocalizer : public KC_List<JuiceLocalizerKeyValue*>
{
public:
	typedef JuiceLocalizerKeyValue KeyValue;

	JuiceLocalizer();
	~JuiceLocalizer() override;

	// Reads the companion file of the instance file aFileName; a missing one
	// leaves the localizer empty.
	bool Read(const KC_String& aFileName);
	// The text of the entry whose index starts aText, when there is one.
	bool GetText(const KC_String& aText, KC_String& aValue) const;
	// GetText for the LOCTEXT value on parse line aLineNumber, counted in the
	// record of what the compilation took from the companion file.
	bool Look(const KC_String& aText, KC_String& aValue, int aLineNumber);

	// What the LOCTEXT values of one compilation made of the companion file.
	struct Use
	{
		// A value of digits alone that found no entry, on parse line myLine.
		struct Miss
		{
			int myLine;
			KC_String myValue;
		};
		// The companion name, whether that file was read, and its entries.
		KC_String myFileName;
		bool myHasFile = false;
		int myEntryCount = 0;
		// Values that took the text of an entry.
		int myFoundCount = 0;
		std::vector<Miss> myMisses;
	};
	const Use& GetUse() const { return myUse; }
	void TakeUse(Use& aUse) { std::swap(aUse, myUse); }

	// The companion name: the text before the last "." followed by ".lang";
	// false when there is no dot after the first character.
	static bool GetCompanionName(const KC_String& aFileName, KC_String& aCompanionName);

private:
	// The entries that Read added, by index; used while the list holds exactly them.
	std::vector<const KeyValue*> myIndex;
	Use myUse;
};

class JuiceLocalizerKeyValue
{
public:
	JuiceLocalizerKeyValue(const KC_String& aKey, const KC_String& aValue)
		: myKey(aKey)
		, myValue(aValue)
	{
	}

	KC_String myKey;
	KC_String myValue;
};

#endif
