// Writing files whole through temporary files and renames.
#include "zw_files.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

enum NameState { NAME_FREE, NAME_WRITABLE, NAME_READ_ONLY, NAME_NOT_A_FILE };

NameState StateOf(const char* aPath) {
#ifdef _WIN32
  DWORD locAttributes = GetFileAttributesA(aPath);
  if (locAttributes == INVALID_FILE_ATTRIBUTES) {
    DWORD locError = GetLastError();
    return locError == ERROR_FILE_NOT_FOUND || locError == ERROR_PATH_NOT_FOUND ? NAME_FREE : NAME_NOT_A_FILE;
  }
  if (locAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return NAME_NOT_A_FILE;
  }
  return (locAttributes & FILE_ATTRIBUTE_READONLY) ? NAME_READ_ONLY : NAME_WRITABLE;
#else
  struct stat locStat;
  if (stat(aPath, &locStat) != 0) {
    return NAME_FREE;
  }
  if (!S_ISREG(locStat.st_mode)) {
    return NAME_NOT_A_FILE;
  }
  return (locStat.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) ? NAME_WRITABLE : NAME_READ_ONLY;
#endif
}

// Replaces aTarget with aSource; a read-only target stays.
bool ReplaceFile(const char* aSource, const char* aTarget) {
  if (StateOf(aTarget) == NAME_READ_ONLY) {
    return false;
  }
#ifdef _WIN32
  return MoveFileExA(aSource, aTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return rename(aSource, aTarget) == 0;
#endif
}

// Renames aSource to aTarget, which must not exist.
bool MoveToFreeName(const char* aSource, const char* aTarget) {
#ifdef _WIN32
  return MoveFileExA(aSource, aTarget, MOVEFILE_WRITE_THROUGH) != 0;
#else
  return StateOf(aTarget) == NAME_FREE && rename(aSource, aTarget) == 0;
#endif
}

bool WriteBytes(const char* aPath, const char* aBytes, size_t aSize) {
  FILE* locFile = fopen(aPath, "wb");
  if (!locFile) {
    return false;
  }
  bool locOk = fwrite(aBytes, 1, aSize, locFile) == aSize;
  locOk = fflush(locFile) == 0 && locOk;
  locOk = fclose(locFile) == 0 && locOk;
  if (!locOk) {
    remove(aPath);
  }
  return locOk;
}

bool CopyWhole(const char* aSource, const char* aTarget) {
  FILE* locSource = fopen(aSource, "rb");
  if (!locSource) {
    return false;
  }
  FILE* locTarget = fopen(aTarget, "wb");
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
  if (!locOk) {
    remove(aTarget);
  }
  return locOk;
}

// The names around one file of a set.
struct Names {
  std::string file, temp, backup, backupAside, original, originalTemp;
  bool present = false;       // the file exists now
  bool keepOriginal = false;  // ... and has no ".orig" yet
  bool backupPresent = false;
};

}  // namespace

bool ZW_WriteFileWhole(const char* aPath, const char* aBytes, size_t aSize) {
  std::string locTemp = std::string(aPath) + ".tmp";
  if (!WriteBytes(locTemp.c_str(), aBytes, aSize)) {
    return false;
  }
  if (!ReplaceFile(locTemp.c_str(), aPath)) {
    remove(locTemp.c_str());
    return false;
  }
  return true;
}

bool ZW_ReplaceFilesKept(const ZW_NewFile* aFiles, int aCount, ZW_KeepFailure* aFailure) {
  std::vector<Names> locNames((size_t)aCount);
  std::vector<std::string> locTemps;  // removed whatever the outcome
  auto Fail = [&](ZW_KeepStep aStep, int aFile) {
    for (const std::string& t : locTemps) {
      remove(t.c_str());
    }
    aFailure->step = aStep;
    aFailure->file = aFile;
    return false;
  };
  // Everything that writes bytes, before any file is renamed.
  for (int i = 0; i < aCount; i++) {
    Names& n = locNames[(size_t)i];
    n.file = aFiles[i].path;
    n.temp = n.file + ".tmp";
    n.backup = n.file + ".bak";
    n.backupAside = n.file + ".bak.old";
    n.original = n.file + ".orig";
    n.originalTemp = n.file + ".orig.tmp";
    NameState locFile = StateOf(n.file.c_str());
    if (locFile == NAME_READ_ONLY || locFile == NAME_NOT_A_FILE) {
      return Fail(ZW_KEEP_WRITE, i);
    }
    NameState locBackup = StateOf(n.backup.c_str());
    if (locBackup == NAME_READ_ONLY || locBackup == NAME_NOT_A_FILE) {
      return Fail(ZW_KEEP_BACKUP, i);
    }
    n.present = locFile == NAME_WRITABLE;
    n.backupPresent = locBackup == NAME_WRITABLE;
    n.keepOriginal = n.present && StateOf(n.original.c_str()) == NAME_FREE;
    locTemps.push_back(n.temp);
    if (!WriteBytes(n.temp.c_str(), aFiles[i].bytes, aFiles[i].size)) {
      return Fail(ZW_KEEP_WRITE, i);
    }
    if (n.keepOriginal) {
      locTemps.push_back(n.originalTemp);
      if (!CopyWhole(n.file.c_str(), n.originalTemp.c_str())) {
        return Fail(ZW_KEEP_ORIGINAL, i);
      }
    }
    // What an earlier export left when it stopped halfway.
    remove(n.backupAside.c_str());
  }
  // The renames, each onto a free name so that it can be taken back: the
  // originals and backups of every file first, then the files.
  std::vector<std::pair<std::string, std::string>> locDone;
  auto Move = [&](const std::string& aFrom, const std::string& aTo) {
    if (!MoveToFreeName(aFrom.c_str(), aTo.c_str())) {
      return false;
    }
    locDone.push_back({aFrom, aTo});
    return true;
  };
  auto Undo = [&](ZW_KeepStep aStep, int aFile) {
    for (size_t i = locDone.size(); i-- > 0;) {
      MoveToFreeName(locDone[i].second.c_str(), locDone[i].first.c_str());
    }
    return Fail(aStep, aFile);
  };
  for (int i = 0; i < aCount; i++) {
    Names& n = locNames[(size_t)i];
    if (n.keepOriginal && !Move(n.originalTemp, n.original)) {
      return Undo(ZW_KEEP_ORIGINAL, i);
    }
    if (n.backupPresent && !Move(n.backup, n.backupAside)) {
      return Undo(ZW_KEEP_BACKUP, i);
    }
    if (n.present && !Move(n.file, n.backup)) {
      return Undo(ZW_KEEP_WRITE, i);
    }
  }
  for (int i = 0; i < aCount; i++) {
    if (!Move(locNames[(size_t)i].temp, locNames[(size_t)i].file)) {
      return Undo(ZW_KEEP_WRITE, i);
    }
  }
  for (const Names& n : locNames) {
    remove(n.backupAside.c_str());
  }
  aFailure->step = ZW_KEEP_DONE;
  aFailure->file = -1;
  return true;
}
