#include "EngineText.h"

#include "NeloPS.h"
#include "log/Log.h"
#include "scriptdata/ScriptData.h"

void LogEngineFailure(const wchar_t* function, LONG nSession) {
    LogError(FormatMessageText(L"%s Failed! ERRCODE[%d]", function, PsGetSessionErrCode(nSession)));
}

bool ReadTwoCallText(const std::function<int(char*, int)>& call, std::wstring& text) {
    const int n = call(nullptr, 0);
    // A negative length would make a buffer of no size at all, or a huge one: a failure.
    if (n < 0 || n == INT_MAX) return false;
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    if (call(buffer.data(), n + 1) != 0) return false;
    buffer[n] = '\0';
    text.clear();
    AnsiToString(buffer.data(), text);
    return true;
}

bool ReadTwoCallCodes(const std::function<int(ULONG*, int)>& call, std::vector<ULONG>& values) {
    const int n = call(nullptr, 0);
    // Only -1 is named as failure; any other negative count would size no array either.
    if (n < 0) return false;
    values.assign(static_cast<size_t>(n), 0);
    return call(values.data(), n) == 0;
}
