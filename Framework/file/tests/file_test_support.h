#ifndef KF_FILE_TEST_SUPPORT_H
#define KF_FILE_TEST_SUPPORT_H

// Time stamps for the file layer's tests; scratch folders and whole-file
// access come from kc_test_support.h.

#include "kc_test_support.h"
#include "kf_file.h"

#include <ctime>

// The file layer's stamp of a moment of the system clock (UTC).
inline unsigned int StampOf(std::time_t aMoment)
{
	std::tm locParts = *std::gmtime(&aMoment);
	KC_PlatformTime locTime = {locParts.tm_year + 1900, locParts.tm_mon + 1, locParts.tm_mday,
	                           locParts.tm_hour,        locParts.tm_min,     locParts.tm_sec};
	return KF_MakeTimeStamp(locTime);
}

#endif
