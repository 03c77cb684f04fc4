// The only translation unit that includes spdlog.
#include "log/Log.h"

#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/base_sink.h>
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "common/FolderTree.h"
#include "common/ScopedWin.h"
#include "common/TextConv.h"
#include "log/LogPaths.h"

namespace {

constexpr ULONGLONG kMaxFileSize = 10ull * 1024 * 1024;
constexpr const char kFatalText[] = "***Fatal Error Check,Please Fix it!***";
constexpr const wchar_t kFatalTextW[] = L"***Fatal Error Check,Please Fix it!***";

// Appends records straight to one file; when a write leaves the file at
// 10 MiB or more it becomes "<name>.1" (replacing an older backup) and a new
// empty file is begun. The wide path keeps folders outside the ANSI code page.
class CRollingFileSink final : public spdlog::sinks::base_sink<std::mutex> {
 public:
  explicit CRollingFileSink(std::wstring strPath) : m_strPath(std::move(strPath)) { Open(); }

 protected:
  void sink_it_(const spdlog::details::log_msg& msg) override {
    if (!m_hFile.IsValid()) return;
    spdlog::memory_buf_t buf;
    formatter_->format(msg, buf);
    DWORD dwWritten = 0;
    WriteFile(m_hFile, buf.data(), static_cast<DWORD>(buf.size()), &dwWritten, nullptr);
    m_ullSize += dwWritten;
    if (m_ullSize >= kMaxFileSize) RollOver();
  }
  void flush_() override {}

 private:
  void Open() {
    m_hFile.Reset(CreateFileW(m_strPath.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (m_hFile.IsValid() && GetFileSizeEx(m_hFile, &size))
      m_ullSize = static_cast<ULONGLONG>(size.QuadPart);
  }
  void Close() {
    m_hFile.Reset();
    m_ullSize = 0;
  }
  void RollOver() {
    Close();
    std::wstring strBackup = m_strPath + L".1";
    MoveFileExW(m_strPath.c_str(), strBackup.c_str(), MOVEFILE_REPLACE_EXISTING);
    Open();
  }

  std::wstring m_strPath;
  CFileHandle m_hFile;
  ULONGLONG m_ullSize = 0;
};

// The set-up lock is constant-initialised, so it exists before any thread logs.
std::mutex g_setupLock;
std::shared_ptr<spdlog::logger> g_logger;

std::wstring ExecutableFolder() {
  wchar_t szPath[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, szPath, MAX_PATH);
  std::wstring strPath = szPath;
  size_t nSlash = strPath.rfind(L'\\');
  return nSlash == std::wstring::npos ? std::wstring() : strPath.substr(0, nSlash);
}

// Caller holds g_setupLock.
void SetUpLocked(const wchar_t* pszFileName, const wchar_t* pszFolder) {
  const std::string& strBase = logpaths::ModuleBaseName();
  if (g_logger) return;
  std::wstring strFolder = (pszFolder && *pszFolder) ? pszFolder : ExecutableFolder() + L"\\Log";
  CreateFolderTree(strFolder);
  std::wstring strFile = (pszFileName && *pszFileName)
                             ? pszFileName
                             : MultiByteToWideString(CP_ACP, strBase) + L".log";
  auto sink = std::make_shared<CRollingFileSink>(strFolder + L"\\" + strFile);
  sink->set_formatter(std::make_unique<spdlog::pattern_formatter>(
      "%Y-%m-%d %H:%M:%S,%e %v", spdlog::pattern_time_type::local, "\r\n "));
  auto logger = std::make_shared<spdlog::logger>(strBase, sink);
  logger->set_level(spdlog::level::debug);
  logger->flush_on(spdlog::level::off);
  g_logger = std::move(logger);
}

void EnsureSetUp() {
  std::lock_guard<std::mutex> lock(g_setupLock);
  SetUpLocked(nullptr, nullptr);
}

void Emit(int nLevel, const std::string& strMessage) {
  EnsureSetUp();
  if (strMessage.empty()) return;
  static const spdlog::level::level_enum kLevels[] = {spdlog::level::debug, spdlog::level::info,
                                                      spdlog::level::warn, spdlog::level::err};
  if (nLevel < LOG_DEBUG || nLevel > LOG_ERROR) return;
  g_logger->log(kLevels[nLevel], spdlog::string_view_t(strMessage.data(), strMessage.size()));
}

std::string LastPathComponent(const char* pszPath) {
  std::string str = pszPath ? pszPath : "";
  size_t nSlash = str.find_last_of("\\/");
  return nSlash == std::string::npos ? str : str.substr(nSlash + 1);
}

std::wstring LastPathComponent(const wchar_t* pszPath) {
  std::wstring str = pszPath ? pszPath : L"";
  size_t nSlash = str.find_last_of(L"\\/");
  return nSlash == std::wstring::npos ? str : str.substr(nSlash + 1);
}

// Measures first, so a message has no size limit. False on a formatter fault.
// Both widths use the system C runtime's formatter, so formats mean what they
// mean on Windows (%s wide in wide formats, %I64d) and an argument it cannot
// render (a wide string without a narrow form) is reported, not dropped.
bool FormatA(std::string& strOut, const char* pszFormat, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = _vscprintf(pszFormat, copy);
  va_end(copy);
  if (n < 0) return false;
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  if (_vsnprintf(buf.data(), buf.size(), pszFormat, args) < 0) return false;
  strOut.assign(buf.data(), static_cast<size_t>(n));
  return true;
}

bool FormatW(std::wstring& strOut, const wchar_t* pszFormat, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = _vscwprintf(pszFormat, copy);
  va_end(copy);
  if (n < 0) return false;
  std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
  if (_vsnwprintf(buf.data(), buf.size(), pszFormat, args) < 0) return false;
  strOut.assign(buf.data(), static_cast<size_t>(n));
  return true;
}

}  // namespace

void InitLog(const wchar_t* pszFileName, const wchar_t* pszFolder) {
  std::lock_guard<std::mutex> lock(g_setupLock);
  SetUpLocked(pszFileName, pszFolder);
}

void WriteLogA(const char* pszFunction, const char* pszSourceFile, int nLine, int nLevel,
               const char* pszFormat, ...) {
  if (!pszFormat || !*pszFormat) return;
  std::string strMessage;
  va_list args;
  va_start(args, pszFormat);
  bool bOk = FormatA(strMessage, pszFormat, args);
  va_end(args);
  if (!bOk) {
    std::string strFunction = logpaths::QualifiedFunctionName(pszFunction ? pszFunction : "");
    char szLine[16];
    snprintf(szLine, sizeof(szLine), "%d", nLine);
    strMessage = "[" + LastPathComponent(pszSourceFile) + ":" + szLine + "][" + strFunction + "] " +
                 kFatalText;
  }
  Emit(nLevel, strMessage);
}

void WriteLogW(const wchar_t* pszFunction, const wchar_t* pszSourceFile, int nLine, int nLevel,
               const wchar_t* pszFormat, ...) {
  if (!pszFormat || !*pszFormat) return;
  std::wstring strMessage;
  va_list args;
  va_start(args, pszFormat);
  bool bOk = FormatW(strMessage, pszFormat, args);
  va_end(args);
  if (!bOk) {
    wchar_t szLine[16];
    _snwprintf(szLine, 16, L"%d", nLine);
    strMessage = L"[" + LastPathComponent(pszSourceFile) + L":" + szLine + L"][" +
                 (pszFunction ? pszFunction : L"") + L"] " + kFatalTextW;
  }
  Emit(nLevel, WideToMultiByteString(CP_OEMCP, strMessage));
}

std::wstring LogWidenFunction(const char* pszFunction) {
  std::string strName = logpaths::QualifiedFunctionName(pszFunction ? pszFunction : "");
  return MultiByteToWideString(CP_ACP, strName);
}
