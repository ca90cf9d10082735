#ifndef JUICELOCALIZER_H
#define JUICELOCALIZER_H

#include "KC_String.h"
#include "kc_list.h"

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

	// The companion name: the text before the last "." followed by ".lang";
	// false when there is no dot after the first character.
	static bool GetCompanionName(const KC_String& aFileName, KC_String& aCompanionName);

private:
	// The entries that Read added, by index; used while the list holds exactly them.
	std::vector<const KeyValue*> myIndex;
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
