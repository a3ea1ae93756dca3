#include "MemoryBlockList.h"

#include <cstring>
#include <new>

namespace {

// Shared by every control of the process (see the header for why).
volatile LONG g_nMemoryBlockCounter = 0;

// Tokens run over [kFirstHandle, 0x7FFFFFFF].
const DWORD kTokenRange = static_cast<DWORD>(0x7FFFFFFF - CMemoryBlockList::kFirstHandle) + 1;

}  // namespace

CMemoryBlockList::CMemoryBlockList() : m_pCounter(&g_nMemoryBlockCounter) {}

CMemoryBlockList::CMemoryBlockList(volatile LONG* counter) : m_pCounter(counter) {}

LONG CMemoryBlockList::NextToken() {
    for (;;) {
        // Unsigned so that the counter's wrap from the largest to the smallest LONG is
        // just the next number.
        const DWORD raw = static_cast<DWORD>(InterlockedIncrement(m_pCounter));
        const LONG token = kFirstHandle + static_cast<LONG>(raw % kTokenRange);
        // After a full round the token may still belong to one of our blocks: skip it. The
        // list can never hold the whole range, so this ends.
        if (Locate(token) == m_blocks.end()) return token;
    }
}

std::list<CMemoryBlockList::Entry>::iterator CMemoryBlockList::Locate(LONG handle) {
    if (handle <= 0) return m_blocks.end();
    for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it)
        if (it->nHandle == handle) return it;
    return m_blocks.end();
}

LONG CMemoryBlockList::Add(ULONG nSize) {
    // Storage and node are made before the list changes, so a failure changes nothing.
    std::unique_ptr<BYTE[]> storage(new BYTE[nSize]);
    std::list<Entry> node;
    node.push_back(Entry{0, std::move(storage), tagMEMORYBLOCK{nullptr, nSize}});
    Entry& entry = node.back();
    entry.block.pBuf = entry.storage.get();
    entry.nHandle = NextToken();
    const LONG handle = entry.nHandle;
    m_blocks.splice(m_blocks.end(), node);
    return handle;
}

tagMEMORYBLOCK* CMemoryBlockList::Find(LONG handle) {
    auto it = Locate(handle);
    return it == m_blocks.end() ? nullptr : &it->block;
}

bool CMemoryBlockList::Remove(LONG handle) {
    auto it = Locate(handle);
    if (it == m_blocks.end()) return false;
    m_blocks.erase(it);
    return true;
}

void CMemoryBlockList::RemoveAll() {
    while (!m_blocks.empty()) m_blocks.pop_back();
}

ULONG CopyIntoBlock(tagMEMORYBLOCK& block, ULONG nPos, const BYTE* data, ULONG length) {
    if (nPos >= block.nSize || !data) return 0;
    const ULONG room = block.nSize - nPos;
    const ULONG count = length < room ? length : room;
    std::memcpy(block.pBuf + nPos, data, count);
    return count;
}
