#include "kf_sdf.h"

#include "kf_file.h"

// Archive support comes next; until then lookups find nothing.

KF_SDF* KF_SDF::ourFirst = 0;

uint32_t KF_SDFNameChecksum(const char*)
{
	return 1;
}

KF_SDF* KF_SDF::Mount(const char*, bool, bool)
{
	KF_SetLastError(KF_ERROR_NOT_FOUND);
	return 0;
}

bool KF_SDF::Unmount(const char*)
{
	return false;
}

bool KF_SDF::FindEntry(const char*, bool, const char**, KF_SDFEntry*)
{
	return false;
}

bool KF_SDF::OpenEntry(const char*, KF_File*, bool)
{
	KF_SetLastError(KF_ERROR_NOT_FOUND);
	return false;
}

void KF_SDF::GetEntry(unsigned int, KF_SDFEntry*) const
{
}
