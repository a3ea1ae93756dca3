// Small owners for the automation handles this library touches, so every
// return path releases what it took. Private to the conversions.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace scriptdata {

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { if (m_p) m_p->Release(); }
  T* operator->() const { return m_p; }
  T* Get() const { return m_p; }
  T** Out() { return &m_p; }

 private:
  T* m_p = nullptr;
};

// A VARIANT cleared when it goes out of scope.
class VariantHolder {
 public:
  VariantHolder() { VariantInit(&m_v); }
  VariantHolder(const VariantHolder&) = delete;
  VariantHolder& operator=(const VariantHolder&) = delete;
  ~VariantHolder() { VariantClear(&m_v); }
  VARIANT* Get() { return &m_v; }
  VARIANT& operator*() { return m_v; }
  VARIANT* operator->() { return &m_v; }

 private:
  VARIANT m_v;
};

// SafeArrayAccessData for the lifetime of the object.
class SafeArrayDataLock {
 public:
  explicit SafeArrayDataLock(SAFEARRAY* psa) : m_psa(psa) {
    m_hr = SafeArrayAccessData(psa, &m_pData);
    if (FAILED(m_hr)) m_pData = nullptr;
  }
  SafeArrayDataLock(const SafeArrayDataLock&) = delete;
  SafeArrayDataLock& operator=(const SafeArrayDataLock&) = delete;
  ~SafeArrayDataLock() { if (SUCCEEDED(m_hr)) SafeArrayUnaccessData(m_psa); }
  HRESULT Result() const { return m_hr; }
  void* Data() const { return m_pData; }

 private:
  SAFEARRAY* m_psa;
  void* m_pData = nullptr;
  HRESULT m_hr;
};

}  // namespace scriptdata
