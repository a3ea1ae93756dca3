// The module lock that DllCanUnloadNow consults, worker jobs that hold it, and the
// class factory's server lock.
#include <gtest/gtest.h>

#include "ClassFactory.h"
#include "Module.h"
#include "UniqueHandle.h"
#include "WorkerThread.h"

namespace {

// Waits (pumping nothing; these tests need no messages) until cond holds or the limit passes.
template <class Cond>
bool WaitUntil(Cond cond, DWORD limitMs = 20000) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (!cond()) {
        if (GetTickCount64() > end) return false;
        Sleep(5);
    }
    return true;
}

class BlockingJob : public nelo::WorkerThread {
public:
    BlockingJob(HANDLE started, HANDLE release, volatile LONG* destroyed)
        : m_started(started), m_release(release), m_destroyed(destroyed) {}
    ~BlockingJob() override { InterlockedIncrement(m_destroyed); }

protected:
    void Run() override {
        SetEvent(m_started);
        WaitForSingleObject(m_release, 30000);
    }

private:
    HANDLE m_started, m_release;
    volatile LONG* m_destroyed;
};

TEST(WorkerThread, AJobHoldsTheModuleUntilItHasFinishedAndDeletesItself) {
    ASSERT_TRUE(WaitUntil([] { return nelo::GetModuleLockCount() == 0; }));
    nelo::UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    nelo::UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    volatile LONG destroyed = 0;
    ASSERT_TRUE(nelo::WorkerThread::Start(new BlockingJob(started.Get(), release.Get(), &destroyed)));
    ASSERT_EQ(WaitForSingleObject(started.Get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(nelo::CanUnloadModuleNow(), S_FALSE);
    EXPECT_EQ(nelo::WorkerThread::RunningCount(), 1);
    SetEvent(release.Get());
    EXPECT_TRUE(WaitUntil([] { return nelo::CanUnloadModuleNow() == S_OK; }));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(nelo::WorkerThread::RunningCount(), 0);
}

TEST(WorkerThread, StartingNothingFails) { EXPECT_FALSE(nelo::WorkerThread::Start(nullptr)); }

HRESULT CreateNothing(REFIID, void** ppv) { *ppv = nullptr; return E_NOINTERFACE; }

TEST(ClassFactory, ServerLockAndFactoryReferencesHoldTheModule) {
    const CLSID clsid = {0x5a1e0f11, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};
    nelo::ClassFactory factory(clsid, &CreateNothing);
    nelo::ClassFactory* const factories[] = {&factory};
    ASSERT_EQ(nelo::CanUnloadModuleNow(), S_OK);

    IClassFactory* cf = nullptr;
    ASSERT_EQ(nelo::GetClassObjectFrom(factories, 1, clsid, IID_IClassFactory, reinterpret_cast<void**>(&cf)), S_OK);
    EXPECT_EQ(nelo::CanUnloadModuleNow(), S_FALSE);
    EXPECT_EQ(cf->LockServer(TRUE), S_OK);
    cf->Release();
    EXPECT_EQ(nelo::CanUnloadModuleNow(), S_FALSE);  // the server lock still holds it
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);
    EXPECT_EQ(nelo::CanUnloadModuleNow(), S_OK);

    void* obj = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.CreateInstance(reinterpret_cast<IUnknown*>(&factory), IID_IUnknown, &obj),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(obj, nullptr);
    const CLSID other = {0x5a1e0f12, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};
    EXPECT_EQ(nelo::GetClassObjectFrom(factories, 1, other, IID_IClassFactory, &obj), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
