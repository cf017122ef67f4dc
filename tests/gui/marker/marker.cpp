// A program that does nothing but leave the file tanavo-marker-ran.txt
// beside itself when it runs: the Wine tests hide it in an attachment to see
// that an attachment is never run. No C runtime, so that it stays small.
#include <windows.h>

extern "C" void __stdcall MarkerMain() {
  char path[MAX_PATH + 32];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != '\\') --n;
  const char kName[] = "tanavo-marker-ran.txt";
  for (DWORD i = 0; i < sizeof kName; ++i) path[n + i] = kName[i];
  HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  ExitProcess(0);
}
