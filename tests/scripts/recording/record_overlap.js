// A second OcxBeginRecord while one runs is not refused: the recorder ends the running
// one (cancelled while capturing), its end reaches the script, then the new one runs.
// The script learns how each recording ended.
Expect(ctrl.OcxSetRecordNoVoiceTime(20000), 1, "a long no-voice time");

// ---- While capturing: the first recording ends as cancelled, without a file.
onRecordState = function (state) {
    if (state == 1 && recordEvents.length == 1) Expect(ctrl.OcxBeginRecord("second.wav", 0), 0, "second OcxBeginRecord");
};
Expect(ctrl.OcxBeginRecord("first.wav", 0), 0, "first OcxBeginRecord");
host.Assert(WaitFor(function () { return recordEvents.length >= 3; }, 60000), "states so far: " + EventStates());
Expect(EventStates(), "1,5,1", "first captures, is cancelled, the second captures");
ExpectEventsConsistent("overlap");
host.Assert(!host.FileExists(RecordTempPath("first.wav")), "the replaced recording left a file");
ctrl.OcxCancelRecord();
Expect(WaitForEnd(30000, "second recording"), 5, "the second recording's end");
Expect(EventStates(), "1,5,1,5", "all states");
ExpectQuiet(1000, "overlap");

// ---- Two begins at once: they reach the recorder in the order they were made, so the
// later one is the recording that runs.
onRecordState = null;
recordEvents = [];
Expect(ctrl.OcxBeginRecord("third.wav", 0), 0, "third OcxBeginRecord");
Expect(ctrl.OcxBeginRecord("fourth.wav", 0), 0, "fourth OcxBeginRecord");
host.Assert(WaitFor(function () { return recordEvents.length >= 2; }, 60000), "states so far: " + EventStates());
Expect(EventStates(), "5,1", "the third is replaced before capturing, the fourth captures");
Expect(ctrl.OcxStopRecord(), 1, "OcxStopRecord");
Expect(WaitForEnd(30000, "fourth recording"), 7, "the fourth recording's end");
ExpectCompleteWav(RecordTempPath("fourth.wav"), "the recording that ran");
host.Assert(!host.FileExists(RecordTempPath("third.wav")), "the replaced recording left a file");
ExpectQuiet(1000, "two begins");
host.Echo("overlapping recordings: each end reported");
