#pragma once

#include <windows.h>

// The whole process after the entry: returns the process exit code.
int RunSetupApp(HINSTANCE hInstance, int nCmdShow);
