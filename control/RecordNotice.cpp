#include "RecordNotice.h"

RecordNoticeDecision DecideRecordNotice(WPARAM noticeClass, LPARAM code) {
    if (noticeClass != REC_NOTICE_CLASS_RECORD) return {RecordNoticeDecision::LogOnly, 0, L"录音 - 未知回调"};
    // Codes are 32-bit values; only those bits travel, whatever the width of LPARAM.
    const DWORD value = static_cast<DWORD>(code);
    const DWORD low = value & 0xFFFF;
    if (low == 0 || low >= 5) return {RecordNoticeDecision::Ignore, 0, nullptr};
    if (low <= 3) return {RecordNoticeDecision::Queue, value, nullptr};
    switch (value & 0xFFFF0000u) {  // low == 4: an end notice; the reason is in the high half
        case 0x00000: return {RecordNoticeDecision::Queue, RECORD_STATE_END_SILENCE, nullptr};
        case 0x10000: return {RecordNoticeDecision::Queue, RECORD_STATE_CANCELLED, nullptr};
        case 0x20000: return {RecordNoticeDecision::Queue, RECORD_STATE_NO_VOICE, nullptr};
        case 0x30000: return {RecordNoticeDecision::Queue, RECORD_STATE_STOPPED, nullptr};
        default: return {RecordNoticeDecision::LogOnly, 0, L"录音 - 未知结束"};
    }
}
