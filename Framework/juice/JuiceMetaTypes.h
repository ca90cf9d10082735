#ifndef JUICEMETATYPES_H
#define JUICEMETATYPES_H

#include "KC_String.h"
#include "kc_keytree.h"

class JuiceType;

// The eight meta prototypes by meta name, filled before the program's entry point.
extern KC_KeyTree<KC_String, JuiceType*> ourMetaTypes;

// Registers a meta prototype; a second one of the same name is an assertion failure.
void JuiceRegisterMetaType(const KC_String& aMetaName, JuiceType* aPrototype);

// The meta prototype of that name, or null.
JuiceType* JuiceFindMetaType(const KC_String& aMetaName);

#endif
