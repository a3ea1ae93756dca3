// Scoped SafeArrayAccessData/SafeArrayUnaccessData: the lock never outlives the scope.
#pragma once
#include <windows.h>
#include <oleauto.h>

namespace nelo {

class SafeArrayAccess {
public:
    explicit SafeArrayAccess(SAFEARRAY* psa) : m_psa(psa) {
        m_hr = psa ? SafeArrayAccessData(psa, &m_data) : E_INVALIDARG;
        if (FAILED(m_hr)) m_data = nullptr;
    }
    ~SafeArrayAccess() { if (m_data) SafeArrayUnaccessData(m_psa); }
    SafeArrayAccess(const SafeArrayAccess&) = delete;
    SafeArrayAccess& operator=(const SafeArrayAccess&) = delete;

    HRESULT Result() const { return m_hr; }
    bool Ok() const { return SUCCEEDED(m_hr); }
    template <class T> T* Data() const { return static_cast<T*>(m_data); }

private:
    SAFEARRAY* m_psa;
    void* m_data = nullptr;
    HRESULT m_hr;
};

}  // namespace nelo
