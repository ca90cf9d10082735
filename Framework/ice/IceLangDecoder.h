#ifndef ICELANGDECODER_H
#define ICELANGDECODER_H

#include "kc_locstring.h"

// The localized texts of an Ice file, read from its ".loc" companion and
// served as UTF-16 by number.
class IceLangDecoder
{
public:
	IceLangDecoder();
	~IceLangDecoder();

	// Reads the ".loc" file that belongs to anIceFileName.
	bool Load(const char* anIceFileName);

	unsigned int GetCount() const { return myCount; }
	// Text number anIndex, or NULL when anIndex is not below the count.
	const char16_t* GetString(unsigned int anIndex) const;

	// Converts one UTF-8 value to UTF-16; a backslash followed by n becomes a line
	// feed. False, the result unchanged, for a value that is not UTF-8.
	static bool DecodeValue(const char* aValue, KC_LocString& aResult);

private:
	IceLangDecoder(const IceLangDecoder&);
	IceLangDecoder& operator=(const IceLangDecoder&);

	unsigned int myCount;
	KC_LocString* myStrings;
};

#endif
