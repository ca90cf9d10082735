// Writing a user's file whole: the complete bytes go to a temporary file
// beside the target, which then replaces the target.
#pragma once

#include <cstddef>

// False, with the target left as it was, when any step fails; a target that
// is read-only is not replaced.
bool ZW_WriteFileWhole(const char* aPath, const char* aBytes, size_t aSize);

// Keeps the present file as "<file>.bak" (one generation, written whole).
// True when it is kept, or when there is no file to keep.
bool ZW_BackupFile(const char* aPath);
