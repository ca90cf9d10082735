// Writing a file whole through a temporary file and a replacing rename.
#include "zw_files.h"

#include <cerrno>
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

bool ZW_BackupFile(const char* aPath) {
  FILE* locSource = fopen(aPath, "rb");
  if (!locSource) {
    return errno == ENOENT;
  }
  std::string locBackup = std::string(aPath) + ".bak";
  std::string locTemp = locBackup + ".tmp";
  FILE* locTarget = fopen(locTemp.c_str(), "wb");
  bool locOk = locTarget != nullptr;
  char locBuffer[65536];
  while (locOk) {
    size_t n = fread(locBuffer, 1, sizeof(locBuffer), locSource);
    if (n == 0) {
      locOk = !ferror(locSource);
      break;
    }
    locOk = fwrite(locBuffer, 1, n, locTarget) == n;
  }
  fclose(locSource);
  if (locTarget) {
    locOk = fflush(locTarget) == 0 && locOk;
    locOk = fclose(locTarget) == 0 && locOk;
  }
  if (locOk) {
    locOk = ReplaceFile(locTemp.c_str(), locBackup.c_str());
  }
  if (!locOk) {
    remove(locTemp.c_str());
  }
  return locOk;
}
