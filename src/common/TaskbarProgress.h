#pragma once

#include <shobjidl.h>
#include <windows.h>

#include "common/ScopedWin.h"

// The progress indicator on the setup window's taskbar button. Where the
// system has no taskbar list (as under Wine) every call quietly does nothing.
// Used on the UI thread only; COM is initialised on the creating thread.
class TaskbarProgress {
 public:
  TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  void Attach(HWND hWnd);
  void SetState(int nState);
  void SetValue(ULONGLONG ullCompleted, ULONGLONG ullTotal);
  bool IsAvailable() const { return static_cast<bool>(m_taskbar); }

 private:
  CComInit m_com;
  CImageList m_imageList;
  CComPtrT<ITaskbarList3> m_taskbar;
  HWND m_hWnd = nullptr;
};
