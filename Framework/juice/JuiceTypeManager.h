#ifndef JUICETYPEMANAGER_H
#define JUICETYPEMANAGER_H

#include "KC_String.h"
#include "kc_list.h"

class JuiceType;
class ParseTool;

// The registry of declared types: one prototype and one reference prototype
// per type, starting with the five built-ins.
class JuiceTypeManager
{
public:
	JuiceTypeManager();
	~JuiceTypeManager();

	// Empties the lists and declares the built-in types again.
	void Reset();

	JuiceType* FindType(const KC_String& aTypeName) const;
	JuiceType* FindReferenceType(const KC_String& aTypeName) const;

	// Declares a type from a meta type; the new prototype, or null.
	JuiceType* DefineType(ParseTool& aParseTool, const KC_String& aMetaName, const KC_String& aTypeName,
		const KC_String& aDefaultValue);

	// Compiles a type file into this manager; a file is read once per Reset.
	bool Compile(const KC_String& aFileName);

	const KC_List<JuiceType*>& GetTypes() const { return myTypes; }
	const KC_List<JuiceType*>& GetReferenceTypes() const { return myReferenceTypes; }

	// Type files may include each other at most this deep.
	static const int ourMaxIncludeDepth = 16;

private:
	JuiceTypeManager(const JuiceTypeManager&);
	JuiceTypeManager& operator=(const JuiceTypeManager&);

	void Empty();

	KC_List<KC_String> myDeclaredTypeNames;
	KC_List<JuiceType*> myTypes;
	KC_List<JuiceType*> myReferenceTypes;
	KC_List<KC_String> myCompiledFiles;
	int myIncludeDepth;
};

#endif
