#include "AnsiText.h"

#include <vector>

int StringToAnsi(const wchar_t* text, char* pszAnsi) {
  if (!pszAnsi) return 0;
  if (!text) text = L"";
  const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0 || needed > kAnsiBufferSize) {
    pszAnsi[0] = '\0';
    return 0;
  }
  const int produced =
      WideCharToMultiByte(CP_ACP, 0, text, -1, pszAnsi, needed, nullptr, nullptr);
  if (produced != needed) {
    pszAnsi[0] = '\0';
    return 0;
  }
  pszAnsi[needed - 1] = '\0';  // the terminator was converted too; this keeps it certain
  return needed;
}

int AnsiToString(const char* psz, std::wstring& out) {
  if (!psz) return 0;
  const int needed = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
  if (needed <= 0) {
    out.clear();
    return 0;
  }
  std::vector<wchar_t> wide(static_cast<size_t>(needed) + 1);
  const int converted = MultiByteToWideChar(CP_ACP, 0, psz, -1, wide.data(), needed);
  if (converted <= 0) {
    out.clear();
    return 0;
  }
  wide[static_cast<size_t>(converted)] = L'\0';
  out.assign(wide.data());
  return converted;
}
