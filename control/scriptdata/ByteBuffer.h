// The bytes a conversion produced, owned by whoever holds this.
//
// Conversions hand out storage made with array new, which the receiver frees
// with array delete; this holder does that freeing so no path can forget it,
// and Detach() passes the storage on where a receiver (a score job) must own it.
#pragma once

#include <windows.h>

#include <memory>

class CByteBuffer {
 public:
  CByteBuffer() = default;
  CByteBuffer(BYTE* bytes, ULONG size) : m_pBytes(bytes), m_nSize(bytes ? size : 0) {}

  BYTE* Get() const { return m_pBytes.get(); }
  ULONG Size() const { return m_nSize; }
  bool Empty() const { return m_nSize == 0; }

  // Takes ownership of array-new storage, freeing what was held before.
  void Reset(BYTE* bytes = nullptr, ULONG size = 0) {
    m_pBytes.reset(bytes);
    m_nSize = bytes ? size : 0;
  }

  // Gives the storage to the caller, who frees it with array delete.
  BYTE* Detach() {
    m_nSize = 0;
    return m_pBytes.release();
  }

 private:
  std::unique_ptr<BYTE[]> m_pBytes;
  ULONG m_nSize = 0;
};
