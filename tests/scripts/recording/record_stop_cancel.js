// Stop and cancel: before any recording stop does nothing; stop after the onset gives 7
// and a complete file; cancel during a recording gives 5 and no file; and either one
// called right after OcxBeginRecord still reaches the recording it was meant for.

// ---- Before any recording (a fresh process: the recorder has no worker yet).
Expect(ctrl.OcxStopRecord(), 1, "OcxStopRecord before any recording");
ExpectQuiet(1500, "stop before any recording");

// ---- Stop after the voice onset.
onRecordState = function (state) {
    if (state == 1) Speak("The quick brown fox jumps over the lazy dog.");
    if (state == 2) Expect(ctrl.OcxStopRecord(), 1, "OcxStopRecord after the onset");
};
Expect(ctrl.OcxBeginRecord("stopped.wav", 0), 0, "OcxBeginRecord stopped.wav");
Expect(WaitForEnd(60000, "stop after onset"), 7, "end state of a stopped recording");
Expect(EventStates(), "1,2,7", "states of a stopped recording");
ExpectEventsConsistent("stop after onset");
host.Assert(ExpectCompleteWav(RecordTempPath("stopped.wav"), "stopped recording") > 0, "stopped recording is empty");
ExpectQuiet(1000, "stop after onset");
// Let the sentence finish, so it does not reach the next recording.
host.Sleep(4000);

// ---- Cancel during a recording.
recordEvents = [];
onRecordState = function (state) {
    if (state == 1) ctrl.OcxCancelRecord();
};
Expect(ctrl.OcxBeginRecord("cancelled.wav", 0), 0, "OcxBeginRecord cancelled.wav");
Expect(WaitForEnd(60000, "cancel"), 5, "end state of a cancelled recording");
Expect(EventStates(), "1,5", "states of a cancelled recording");
ExpectEventsConsistent("cancel");
host.Assert(!host.FileExists(RecordTempPath("cancelled.wav")), "a cancelled recording left a file");
ExpectQuiet(1000, "cancel");

// ---- Cancel and stop right after OcxBeginRecord: the request is made on the record
// thread, and these wait for it, so they are not wiped out by its start.
onRecordState = null;
recordEvents = [];
Expect(ctrl.OcxBeginRecord("cancelled-at-once.wav", 0), 0, "OcxBeginRecord cancelled-at-once.wav");
ctrl.OcxCancelRecord();
Expect(WaitForEnd(30000, "cancel at once"), 5, "end state of a recording cancelled at once");
Expect(EventStates(), "5", "states of a recording cancelled at once");
ExpectQuiet(1000, "cancel at once");

recordEvents = [];
Expect(ctrl.OcxBeginRecord("stopped-at-once.wav", 0), 0, "OcxBeginRecord stopped-at-once.wav");
Expect(ctrl.OcxStopRecord(), 1, "OcxStopRecord at once");
Expect(WaitForEnd(30000, "stop at once"), 7, "end state of a recording stopped at once");
Expect(EventStates(), "7", "states of a recording stopped at once");
Expect(ExpectCompleteWav(RecordTempPath("stopped-at-once.wav"), "recording stopped at once"), 0,
       "audio bytes of a recording stopped before its first buffer");
ExpectQuiet(1000, "stop at once");
host.Echo("stop and cancel: done");
