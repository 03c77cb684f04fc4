#include "common/TaskbarProgress.h"

#include <commctrl.h>

TaskbarProgress::TaskbarProgress()
    : m_imageList(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0)) {
  CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                   m_taskbar.ReceiveVoid());
}

void TaskbarProgress::Attach(HWND hWnd) {
  m_hWnd = hWnd;
  if (!m_taskbar)
    CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_ALL, IID_ITaskbarList3,
                     m_taskbar.ReceiveVoid());
  SetState(TBPF_INDETERMINATE);
}

void TaskbarProgress::SetState(int nState) {
  if (m_taskbar) m_taskbar->SetProgressState(m_hWnd, static_cast<TBPFLAG>(nState));
}

void TaskbarProgress::SetValue(ULONGLONG ullCompleted, ULONGLONG ullTotal) {
  if (m_taskbar) m_taskbar->SetProgressValue(m_hWnd, ullCompleted, ullTotal);
}
