#ifndef JUICE_TEST_SUPPORT_H
#define JUICE_TEST_SUPPORT_H

#include "test_support.h"

#include <string>
#include <vector>

class JuiceNameSpace;
class JuiceType;

// Instances of both namespaces pairwise equal, and as many.
bool NameSpacesEqual(JuiceNameSpace& aFirst, JuiceNameSpace& aSecond);

#endif
