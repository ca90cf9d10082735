#ifndef JUICEINSTANCEIGNORER_H
#define JUICEINSTANCEIGNORER_H

#include "KC_String.h"
#include "kc_keytree.h"
#include "kc_list.h"

class ParseTool;

// Lets a compilation skip instances of unknown types and unknown members.
// Subclasses decide; this class remembers their answers and does the skipping.
class JuiceInstanceIgnorer
{
public:
	JuiceInstanceIgnorer();
	virtual ~JuiceInstanceIgnorer();
	// 0: ignore this instance and every later one of the type; 1: this instance
	// only; anything else: do not ignore.
	virtual int Sub_OkToIgnoreInstanceOfType(const KC_String& aTypeName, const KC_String& anInstanceName) = 0;
	// True: ignore this member here and in every later instance of the type.
	virtual bool Sub_OkToIgnoreMember(const KC_String& aTypeName, const KC_String& anInstanceName,
		const KC_String& aMemberName) = 0;

	bool OkToIgnoreInstanceOfType(const KC_String& aTypeName, const KC_String& anInstanceName);
	bool OkToIgnoreMember(const KC_String& aMemberName, const KC_String& aTypeName, const KC_String& anInstanceName);
	// Skips the block that follows the current line, if any.
	bool SkipInstance(ParseTool& aParseTool);
	// The ignored member names of a type, created empty on first use.
	KC_List<KC_String>* GetIgnoredMembers(const KC_String& aTypeName);

protected:
	KC_List<KC_String> myIgnoredTypes;
	KC_KeyTree<KC_String, KC_List<KC_String>*> myIgnoredMembers;

private:
	JuiceInstanceIgnorer(const JuiceInstanceIgnorer&);
	JuiceInstanceIgnorer& operator=(const JuiceInstanceIgnorer&);
};

// Ignores every unknown type and member.
class EverythingIgnorer : public JuiceInstanceIgnorer
{
public:
	int Sub_OkToIgnoreInstanceOfType(const KC_String& aTypeName, const KC_String& anInstanceName) override;
	bool Sub_OkToIgnoreMember(const KC_String& aTypeName, const KC_String& anInstanceName,
		const KC_String& aMemberName) override;
};

#endif
