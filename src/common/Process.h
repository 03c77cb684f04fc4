#pragma once

#include <windows.h>

#include <string>

// Other processes: find and end them, open documents, run the downloaded
// installer and start the installed product. Nothing here logs or shows a
// message; the setup window logs around the calls.

// First process in the system's list whose image name equals name (case-sensitive).
bool FindProcessByName(const std::wstring& strName, DWORD& dwProcessId);
// True when the process was told to end; does not wait for it.
bool KillProcessById(DWORD dwProcessId);
void ShellOpen(HWND hWnd, const std::wstring& strTarget);
// The installer's command line (without its own path).
std::wstring BuildInstallerCommandLine(const std::wstring& strInstallFolder,
                                       const std::wstring& strProgressFile);
// Runs the installer and waits for it to end. False when it could not be
// started at all, so a missing installer never reads as a finished install.
bool RunSilentInstaller(const std::wstring& strInstallerPath, const std::wstring& strInstallFolder,
                        const std::wstring& strProgressFile);
// With bWithCurrentRights the product inherits the setup program's rights;
// otherwise it is started as the interactive user, never elevated.
void RunProgram(const std::wstring& strPath, bool bWithCurrentRights);

// The de-elevated start used when wdc.dll cannot do it: our own token with
// the Administrators group deny-only. False when no process was created.
bool RunProgramAsNormalUser(const std::wstring& strPath);
