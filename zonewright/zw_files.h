// Writing a user's files whole: the complete bytes go to a temporary file
// beside each target, which then replaces it; the versions replaced are kept.
#pragma once

#include <cstddef>

// False, with the target left as it was, when any step fails; a target that
// is read-only is not replaced.
bool ZW_WriteFileWhole(const char* aPath, const char* aBytes, size_t aSize);

// One file of a set that is replaced together, and its new bytes.
struct ZW_NewFile {
  const char* path;
  const char* bytes;
  size_t size;
};

// What could not be done, for the file of that index in the set.
enum ZW_KeepStep {
  ZW_KEEP_DONE,
  ZW_KEEP_WRITE,     // the file: its new bytes, or its replacement
  ZW_KEEP_BACKUP,    // "<file>.bak"
  ZW_KEEP_ORIGINAL   // "<file>.orig"
};

struct ZW_KeepFailure {
  ZW_KeepStep step;
  int file;
};

// Replaces every file of the set with its new bytes, or none. Each present
// file becomes "<file>.bak" (the version that this replacement replaced);
// one without a "<file>.orig" is first copied to "<file>.orig", which is
// never replaced or removed. All new bytes and copies are written to
// temporary files before any file is renamed, and every rename is taken back
// when a later one fails: on failure the files, their ".bak" and their
// ".orig" are as they were, and aFailure says what failed.
bool ZW_ReplaceFilesKept(const ZW_NewFile* aFiles, int aCount, ZW_KeepFailure* aFailure);
