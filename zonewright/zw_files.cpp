// Writing a file whole through a temporary file and a replacing rename.
#include "zw_files.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Replaces aTarget with aSource; a read-only target stays.
bool ReplaceFile(const char* aSource, const char* aTarget) {
#ifdef _WIN32
  DWORD locAttributes = GetFileAttributesA(aTarget);
  if (locAttributes != INVALID_FILE_ATTRIBUTES && (locAttributes & FILE_ATTRIBUTE_READONLY)) {
    return false;
  }
  return MoveFileExA(aSource, aTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  struct stat locStat;
  if (stat(aTarget, &locStat) == 0 && !(locStat.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) {
    return false;
  }
  return rename(aSource, aTarget) == 0;
#endif
}

}  // namespace

bool ZW_WriteFileWhole(const char* aPath, const char* aBytes, size_t aSize) {
  std::string locTemp = std::string(aPath) + ".tmp";
  FILE* locFile = fopen(locTemp.c_str(), "wb");
  if (!locFile) {
    return false;
  }
  bool locOk = fwrite(aBytes, 1, aSize, locFile) == aSize;
  locOk = fflush(locFile) == 0 && locOk;
  locOk = fclose(locFile) == 0 && locOk;
  if (locOk) {
    locOk = ReplaceFile(locTemp.c_str(), aPath);
  }
  if (!locOk) {
    remove(locTemp.c_str());
  }
  return locOk;
}
