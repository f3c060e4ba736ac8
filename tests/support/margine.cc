#include "support/margine.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace calvetra::test {

bool sotto_wine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

int margine_tempo() { return sotto_wine() ? 2 : 1; }

}  // namespace calvetra::test
