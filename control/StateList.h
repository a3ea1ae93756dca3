// The control's state lists: new entries at the head, the oldest at the tail. Record and
// play states are read oldest first (a FIFO); score states are looked up by session,
// newest first. Unbounded: codes stay until read or until new work empties the list.
#pragma once
#include <windows.h>
#include <deque>

template <class T>
class CStateList {
public:
    void AddHead(const T& item) { m_items.push_front(item); }
    void RemoveAll() { m_items.clear(); }
    size_t GetCount() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }

    // Removes the oldest entry into out; false when the list is empty.
    bool RemoveTail(T& out) {
        if (m_items.empty()) return false;
        out = m_items.back();
        m_items.pop_back();
        return true;
    }

    // Removes the newest entry that matches into out; false when none does.
    template <class Pred>
    bool RemoveFirstFromHead(Pred matches, T& out) {
        for (auto it = m_items.begin(); it != m_items.end(); ++it) {
            if (matches(*it)) {
                out = *it;
                m_items.erase(it);
                return true;
            }
        }
        return false;
    }

    template <class Fn>
    void ForEach(Fn fn) {
        for (auto& item : m_items) fn(item);
    }

private:
    std::deque<T> m_items;  // front = head (newest)
};

// A queue read: the oldest code, or 0 when nothing is queued (no handler queues 0).
inline DWORD TakeOldestState(CStateList<DWORD>& list) {
    DWORD code = 0;
    return list.RemoveTail(code) ? code : 0;
}
