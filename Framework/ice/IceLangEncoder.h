#ifndef ICELANGENCODER_H
#define ICELANGENCODER_H

#include "KC_String.h"
#include "kc_list.h"
#include "kc_pool.h"

// Writes the ".loc" language file of an Ice file: a byte-order mark, then one
// line per localized text: key, tab, value as UTF-8, CR LF.
class IceLangEncoder
{
public:
	struct KeyValue
	{
		KC_String myKey;
		KC_String myValue;

		KC_POOLED_OBJECT
	};
	typedef KC_List<KeyValue*> KeyValueList;

	// Keys are at most 255 bytes, all below 128.
	static bool ValidateKeyValues(const KeyValueList& aList);
	// Writes the list to anIceFileName's ".loc" file.
	static bool Save(const KeyValueList& aList, const char* anIceFileName);
};

#endif
