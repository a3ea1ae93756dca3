#include "RecordNotifyProc.h"

#include "ControlTypes.h"
#include "RecordJobTable.h"

int32_t PSREC_API RecordNotifyProc(void* pUser, int32_t nClass, int32_t nCode) {
    const HWND target = RecordJobs().TakeNoticeTarget(reinterpret_cast<UINT_PTR>(pUser), nClass, nCode);
    // Only the 32 bits of class and code travel, whatever the width of the message words.
    // A window destroyed meanwhile makes the post fail harmlessly.
    if (target)
        PostMessageW(target, WM_RECORD_NOTIFY, static_cast<WPARAM>(static_cast<uint32_t>(nClass)),
                     static_cast<LPARAM>(static_cast<uint32_t>(nCode)));
    return 0;
}
