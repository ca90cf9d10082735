#include "juice_test_support.h"

#include "JuiceNameSpace.h"
#include "JuiceType.h"

#include <cstdio>

bool NameSpacesEqual(JuiceNameSpace& aFirst, JuiceNameSpace& aSecond)
{
	if (aFirst.Count() != aSecond.Count())
		return false;
	KC_ListLink<JuiceType*>* locOther = aSecond.myFirstLink;
	for (JuiceType* locType : aFirst)
	{
		if (locType->GetName() != locOther->myItem->GetName() || !locType->IsEqual(locOther->myItem))
			return false;
		locOther = locOther->myNextLink;
	}
	return true;
}
