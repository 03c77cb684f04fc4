#include <windows.h>

#include "app/SetupApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow) {
  return RunSetupApp(hInstance, nCmdShow);
}
