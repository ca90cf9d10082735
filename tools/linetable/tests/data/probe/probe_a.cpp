#include "probe.h"

int First(int aValue)
{
	return Twice(aValue) + Thrice(aValue);
}
