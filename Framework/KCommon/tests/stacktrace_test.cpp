#include "kc_stacktrace.h"
#include "test_support.h"

#include <gtest/gtest.h>
