// The hostile values a page can hand to any parameter: integers at the edges,
// handles that were valid once, strings of every awkward kind and file names
// that try to leave the control's folders, and VARIANTs of wrong types,
// by-reference chains, arrays (lying ones included) and misbehaving objects.
// The catalogue owns every value and whatever a value points at.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace robust {

struct HostileValue {
    std::string name;   // printed when a call misbehaves
    VARIANT value;      // as the caller passes it (owned by the catalogue)
    bool isFileName;    // a name that must never reach outside the folders
};

class ArgumentCatalogue {
public:
    // `outsidePaths`: absolute paths of sentinel files outside the two folders,
    // offered in their plain, "\\?\" and UNC spellings. `validOnce`: handles
    // (sessions, memory blocks) that are no longer valid; `validNow`: live ones.
    ArgumentCatalogue(const std::vector<std::wstring>& outsidePaths, const std::vector<LONG>& validOnce,
                      const std::vector<LONG>& validNow);
    ~ArgumentCatalogue();
    ArgumentCatalogue(const ArgumentCatalogue&) = delete;
    ArgumentCatalogue& operator=(const ArgumentCatalogue&) = delete;

    const std::vector<HostileValue>& Values() const { return m_values; }
    std::vector<const HostileValue*> FileNames() const;

private:
    void AddInt(const std::string& name, LONG v);
    void AddString(const std::string& name, const std::wstring& text, bool isFileName);
    void AddRaw(const std::string& name, const VARIANT& v);  // takes ownership
    VARIANT* Keep(const VARIANT& v);                          // storage a by-ref value points at
    void AddArrays();
    void AddByRef();
    void AddObjects();

    std::vector<HostileValue> m_values;
    std::deque<VARIANT> m_referenced;   // targets of by-reference values (stable addresses)
    std::deque<LONG> m_longs;
    std::deque<BSTR> m_bstrs;
};

// The value a parameter gets while another one is under test: well-formed, so
// the call goes as deep as it can.
void MakeBenignArgument(VARTYPE declared, LONG validHandle, VARIANT& out);

}  // namespace robust
