// The registered module, loaded by COM: a control destroyed and the module
// asked to unload (CoFreeUnusedLibraries) while score jobs and a recording
// are in flight. The module must stay loaded until the last job has ended,
// nothing may crash, and afterwards it unloads.
//
// This executable links the engine test double, so the module's import of
// NeloPS.dll binds to the double already in the process and the score jobs
// can be held inside the engine.
#include <gtest/gtest.h>

#include "FakePs.h"
#include "NeloGuids.h"
#include "SoakSupport.h"

namespace {

using namespace soak;

bool ModuleLoaded() { return GetModuleHandleW(L"NeloRecognition.dll") != nullptr; }

TEST(ModuleUnload, DestroyedControlKeepsTheModuleUntilItsJobsEnd) {
    FakePs_Reset();
    ASSERT_FALSE(ModuleLoaded());
    nelo::ComPtr<IDispatch> control;
    const HRESULT created = CoCreateInstance(CLSID_NeloRecognitionCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                             control.ReceiveVoid());
    if (created == REGDB_E_CLASSNOTREG) GTEST_SKIP() << "NeloRecognition.dll is not registered in this prefix";
    ASSERT_EQ(created, S_OK);
    ASSERT_TRUE(ModuleLoaded());

    const LONG session = Call(control.Get(), L"OcxStartSession");
    ASSERT_GT(FakePs_CountCalls("PsStartSession"), 0) << "the module did not bind to the engine test double";
    FakePs_Hold("PsSoundByName");
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(Call(control.Get(), L"OcxScoreSoundByName",
                       {nelo::Variant::FromI4(session), nelo::Variant::FromString(L"x.wav"), nelo::Variant::FromUI4(0),
                        nelo::Variant::FromI4(0)}), 1);
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByName", 4, 30000));
    Call(control.Get(), L"OcxSetRecordNoVoiceTime", {nelo::Variant::FromI4(300)});
    ASSERT_EQ(Call(control.Get(), L"OcxBeginRecord", {nelo::Variant::FromString(L"u.wav"), nelo::Variant::FromI4(0)}), 0);

    control = nullptr;
    for (int i = 0; i < 5; ++i) {
        CoFreeUnusedLibrariesEx(0, 0);
        PumpUntil([] { return false; }, 100);
    }
    EXPECT_TRUE(ModuleLoaded()) << "unloaded with jobs in flight";

    // The jobs end now; their notifications go to a window that is gone.
    FakePs_Release("PsSoundByName");
    ASSERT_TRUE(PumpUntil([] { return FakePs_InsideCount() == 0; }, 30000));
    // The recording ends by its no-voice time; then nothing holds the module.
    const bool unloaded = PumpUntil([] {
        CoFreeUnusedLibrariesEx(0, 0);
        return !ModuleLoaded();
    }, 60000);
    EXPECT_TRUE(unloaded) << "the module stayed loaded after its last job";
    PumpUntil([] { return false; }, 1000);  // anything still posted would land now
}

}  // namespace
