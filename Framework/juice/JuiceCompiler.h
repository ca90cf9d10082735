#ifndef JUICECOMPILER_H
#define JUICECOMPILER_H

#include "JuiceLocalizer.h"
#include "KC_String.h"

class JuiceNameSpace;
class JuiceTypeManager;
class JuiceInstanceIgnorer;

// Compiles Juice instance files. Holds no state.
class JuiceCompiler
{
public:
	// Appends the instances of aFileName to aNameSpace. Without a type manager
	// one local to the call is used; without an ignorer every unknown type or
	// member fails the compilation. True when everything compiled and resolved.
	static bool Compile(JuiceNameSpace& aNameSpace, const KC_String& aFileName, JuiceTypeManager* aTypeManager,
		JuiceInstanceIgnorer* anIgnorer);
	// The same; aUse receives what the LOCTEXT values took from the companion
	// ".lang" file (also after a failed compilation).
	static bool Compile(JuiceNameSpace& aNameSpace, const KC_String& aFileName, JuiceTypeManager* aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer::Use* aUse);

private:
	static bool Compile(JuiceNameSpace& aNameSpace, const KC_String& aFileName, JuiceTypeManager* aTypeManager,
		JuiceInstanceIgnorer* anIgnorer, JuiceLocalizer& aLocalizer);
};

#endif
