// Tanavo.exe: the start-up sequence and the message loop.
#include "app/app.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tanavo::Win32Platform platform(instance);
  tanavo::App app(platform);
  app.Start();
  platform.Run();
  return 0;  // the hidden tool windows are not destroyed one by one
}
