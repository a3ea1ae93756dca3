// The memory blocks a script fills piece by piece before opening them as a sound.
//
// A handle is an opaque positive token, never the block's address: a page must not learn
// heap addresses, and a 64-bit address does not fit the 32-bit handle scripts hold. Tokens
// come from one counter shared by every control of the process, so a handle of one control
// (or one released a moment ago) does not name a block of another control by chance; a
// token is issued again only after the counter has gone round all 2^31 values, and never
// while a block of this list still holds it.
//
// Pure: no window, device or file call, so tests drive it with exact data.
#pragma once
#include <windows.h>

#include <cstddef>
#include <list>
#include <memory>

#include "ControlTypes.h"

class CMemoryBlockList {
public:
    // The smallest token: handles look like the large numbers scripts have always seen,
    // never like a small index.
    static constexpr LONG kFirstHandle = 0x00010000;

    // Uses the process-wide counter.
    CMemoryBlockList();
    // Uses `counter` (tests place it where the interesting values are).
    explicit CMemoryBlockList(volatile LONG* counter);
    CMemoryBlockList(const CMemoryBlockList&) = delete;
    CMemoryBlockList& operator=(const CMemoryBlockList&) = delete;

    // Appends a block of `nSize` uninitialised bytes and returns its handle. nSize must be
    // above 0. Memory exhaustion leaves by std::bad_alloc with the list unchanged.
    LONG Add(ULONG nSize);

    // The live block with this handle, or null. Handles of 0 and below never match.
    tagMEMORYBLOCK* Find(LONG handle);

    // Frees the block's storage and forgets it; false when no live block has the handle.
    bool Remove(LONG handle);

    // Frees every block, newest first.
    void RemoveAll();

    std::size_t GetCount() const { return m_blocks.size(); }
    bool IsEmpty() const { return m_blocks.empty(); }

private:
    struct Entry {
        LONG nHandle;
        std::unique_ptr<BYTE[]> storage;
        tagMEMORYBLOCK block;  // block.pBuf points into storage
    };

    LONG NextToken();
    std::list<Entry>::iterator Locate(LONG handle);

    volatile LONG* m_pCounter;
    std::list<Entry> m_blocks;  // creation order
};

// Copies as much of `data` as fits at `nPos` of the block: the bytes past its end are
// dropped, a write never reaches beyond the block. Returns the number copied. nPos at or
// past the end copies nothing.
ULONG CopyIntoBlock(tagMEMORYBLOCK& block, ULONG nPos, const BYTE* data, ULONG length);
