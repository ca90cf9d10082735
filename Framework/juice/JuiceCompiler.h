#ifndef JUICECOMPILER_H
#define JUICECOMPILER_H

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
};

#endif
