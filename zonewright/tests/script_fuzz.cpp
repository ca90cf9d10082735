// Fuzz target: arbitrary bytes as a command line and as a script file.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "zw_console.h"
#include "zw_platform_double.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  ZW_ResetAll();
  std::string locLine(reinterpret_cast<const char*>(aData), aSize);
  ZW_Execute(locLine.c_str());
  for (size_t i = 0; i < aSize && i < 64; i++) {
    ZW_ConsoleKey(aData[i]);
  }
  char locPath[] = "/tmp/zw_fuzz_script_XXXXXX";
  int locFd = mkstemp(locPath);
  if (locFd < 0) {
    return 0;
  }
  if (write(locFd, aData, aSize) == (ssize_t)aSize) {
    ZW_RunScript(locPath);
  }
  close(locFd);
  unlink(locPath);
  return 0;
}
