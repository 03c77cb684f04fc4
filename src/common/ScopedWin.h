#pragma once

// Owners of platform handles: non-copyable, movable, closed in the destructor.
// Owning types are named C<Thing>; borrowed handles stay raw (HWND, HDC from
// BeginPaint) or carry a "Handle" suffix, as in WTL's CFont and CFontHandle.
#include <windows.h>
// After windows.h, which the system headers below build on.
#include <commctrl.h>
#include <objbase.h>

#include <utility>

template <typename T, typename Traits>
class CScopedHandle {
 public:
  CScopedHandle() = default;
  explicit CScopedHandle(T h) : m_h(h) {}
  ~CScopedHandle() { Reset(); }
  CScopedHandle(const CScopedHandle&) = delete;
  CScopedHandle& operator=(const CScopedHandle&) = delete;
  CScopedHandle(CScopedHandle&& other) noexcept : m_h(other.Detach()) {}
  CScopedHandle& operator=(CScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  T Get() const { return m_h; }
  operator T() const { return m_h; }
  bool IsValid() const { return m_h != Traits::Invalid(); }
  T Detach() { return std::exchange(m_h, Traits::Invalid()); }
  void Reset(T h = Traits::Invalid()) {
    if (m_h != Traits::Invalid()) Traits::Close(m_h);
    m_h = h;
  }
  // For APIs that fill a handle through an out parameter.
  T* Receive() {
    Reset();
    return &m_h;
  }

 private:
  T m_h = Traits::Invalid();
};

// One line per handle type.
// clang-format off
#define NORLET_HANDLE_TRAITS(Name, T, invalid, close)   \
  struct Name {                                         \
    static T Invalid() { return invalid; }              \
    static void Close(T h) { close; }                   \
  }

NORLET_HANDLE_TRAITS(CKernelTraits, HANDLE, nullptr, ::CloseHandle(h));
NORLET_HANDLE_TRAITS(CFileTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle(h));
NORLET_HANDLE_TRAITS(CLibraryTraits, HMODULE, nullptr, ::FreeLibrary(h));
NORLET_HANDLE_TRAITS(CRegKeyTraits, HKEY, nullptr, ::RegCloseKey(h));
NORLET_HANDLE_TRAITS(CFindTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose(h));
NORLET_HANDLE_TRAITS(CGdiObjectTraits, HGDIOBJ, nullptr, ::DeleteObject(h));
NORLET_HANDLE_TRAITS(CFontTraits, HFONT, nullptr, ::DeleteObject(h));
NORLET_HANDLE_TRAITS(CBitmapTraits, HBITMAP, nullptr, ::DeleteObject(h));
NORLET_HANDLE_TRAITS(CBrushTraits, HBRUSH, nullptr, ::DeleteObject(h));
NORLET_HANDLE_TRAITS(CPenTraits, HPEN, nullptr, ::DeleteObject(h));
NORLET_HANDLE_TRAITS(CRgnTraits, HRGN, nullptr, ::DeleteObject(h));
NORLET_HANDLE_TRAITS(CMemDCTraits, HDC, nullptr, ::DeleteDC(h));
NORLET_HANDLE_TRAITS(CIconTraits, HICON, nullptr, ::DestroyIcon(h));
NORLET_HANDLE_TRAITS(CCursorTraits, HCURSOR, nullptr, ::DestroyCursor(h));
NORLET_HANDLE_TRAITS(CGlobalTraits, HGLOBAL, nullptr, ::GlobalFree(h));
NORLET_HANDLE_TRAITS(CImageListTraits, HIMAGELIST, nullptr, ::ImageList_Destroy(h));
// WinHTTP and WinINet both call their handle HINTERNET (void*), and their
// headers cannot meet in one unit: each closer is defined beside its stack
// (common/ScopedWinHttp.cpp, common/ScopedWinInet.cpp).
struct CWinHttpTraits { static void* Invalid() { return nullptr; } static void Close(void* h); };
struct CWinInetTraits { static void* Invalid() { return nullptr; } static void Close(void* h); };

using CHandle = CScopedHandle<HANDLE, CKernelTraits>;          // process, thread, event, mutex
using CFileHandle = CScopedHandle<HANDLE, CFileTraits>;       // CreateFile, Toolhelp snapshot
using CLibrary = CScopedHandle<HMODULE, CLibraryTraits>;      // LoadLibraryEx
using CRegKey = CScopedHandle<HKEY, CRegKeyTraits>;
using CFindFile = CScopedHandle<HANDLE, CFindTraits>;
using CGdiObject = CScopedHandle<HGDIOBJ, CGdiObjectTraits>;
using CFont = CScopedHandle<HFONT, CFontTraits>;
using CBitmap = CScopedHandle<HBITMAP, CBitmapTraits>;
using CBrush = CScopedHandle<HBRUSH, CBrushTraits>;
using CPen = CScopedHandle<HPEN, CPenTraits>;
using CRgn = CScopedHandle<HRGN, CRgnTraits>;
using CMemDC = CScopedHandle<HDC, CMemDCTraits>;              // CreateCompatibleDC
using CIcon = CScopedHandle<HICON, CIconTraits>;
using CCursor = CScopedHandle<HCURSOR, CCursorTraits>;
using CGlobal = CScopedHandle<HGLOBAL, CGlobalTraits>;
using CImageList = CScopedHandle<HIMAGELIST, CImageListTraits>;
using CWinHttpHandle = CScopedHandle<void*, CWinHttpTraits>;  // WinHttpOpen/Connect/OpenRequest
using CInternetHandle = CScopedHandle<void*, CWinInetTraits>; // InternetOpen/Connect/OpenRequest

// Borrowed handles, never closed by their holder.
using CFontHandle = HFONT;
using CBitmapHandle = HBITMAP;
// clang-format on

// Releases a DC obtained with GetDC/GetWindowDC.
class CWindowDC {
 public:
  explicit CWindowDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
  ~CWindowDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
  }
  CWindowDC(const CWindowDC&) = delete;
  CWindowDC& operator=(const CWindowDC&) = delete;
  operator HDC() const { return m_hDC; }

 private:
  HWND m_hWnd;
  HDC m_hDC;
};

// Selects an object into a DC and puts the previous one back.
class CSelectObject {
 public:
  CSelectObject(HDC hDC, HGDIOBJ hObj) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObj)) {}
  ~CSelectObject() {
    if (m_hOld) ::SelectObject(m_hDC, m_hOld);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;

 private:
  HDC m_hDC;
  HGDIOBJ m_hOld;
};

// Saves the whole DC state (clip region, modes, colours) and restores it.
class CSaveDC {
 public:
  explicit CSaveDC(HDC hDC) : m_hDC(hDC), m_nSaved(::SaveDC(hDC)) {}
  ~CSaveDC() {
    if (m_nSaved) ::RestoreDC(m_hDC, m_nSaved);
  }
  CSaveDC(const CSaveDC&) = delete;
  CSaveDC& operator=(const CSaveDC&) = delete;

 private:
  HDC m_hDC;
  int m_nSaved;
};

// Enters a critical section for the scope.
class CCritSecLock {
 public:
  explicit CCritSecLock(CRITICAL_SECTION& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
  ~CCritSecLock() { ::LeaveCriticalSection(&m_cs); }
  CCritSecLock(const CCritSecLock&) = delete;
  CCritSecLock& operator=(const CCritSecLock&) = delete;

 private:
  CRITICAL_SECTION& m_cs;
};

// Owns one reference to a COM interface.
template <typename T>
class CComPtrT {
 public:
  CComPtrT() = default;
  ~CComPtrT() { Release(); }
  CComPtrT(const CComPtrT&) = delete;
  CComPtrT& operator=(const CComPtrT&) = delete;
  T* operator->() const { return m_p; }
  T* Get() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  void** ReceiveVoid() {
    Release();
    return reinterpret_cast<void**>(&m_p);
  }
  void Release() {
    if (m_p) m_p->Release();
    m_p = nullptr;
  }

 private:
  T* m_p = nullptr;
};

// Balances CoInitialize on this thread.
class CComInit {
 public:
  CComInit() : m_hr(::CoInitialize(nullptr)) {}
  ~CComInit() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  CComInit(const CComInit&) = delete;
  CComInit& operator=(const CComInit&) = delete;

 private:
  HRESULT m_hr;
};
