// With the auto-stop off, a recording with voice does not end by tail silence: only by
// stop, cancel or the maximum time.
Expect(ctrl.OcxSetRecordAutoStopEN(0), 1, "OcxSetRecordAutoStopEN(0)");
Expect(ctrl.OcxSetRecordTailSilenceTime(600), 1, "OcxSetRecordTailSilenceTime(600)");

// ---- Ended by stop, long after the speech and its tail silence.
Expect(ctrl.OcxBeginRecord("no-autostop.wav", 0), 0, "OcxBeginRecord");
host.Assert(WaitFor(function () { return recordEvents.length >= 1; }, 30000), "no state 1");
Expect(host.Run("/bin/sh " + LinuxScriptDir() + "/speak.sh \"Please read this sentence aloud.\"", true), 0, "speaking");
host.Assert(WaitFor(function () { return recordEvents.length >= 2; }, 10000), "no voice onset: " + EventStates());
host.Sleep(3000);  // five times the tail-silence time: with auto-stop on it would have ended
Expect(EventStates(), "1,2", "states before the stop");
Expect(ctrl.OcxStopRecord(), 1, "OcxStopRecord");
Expect(WaitForEnd(30000, "stop without auto-stop"), 7, "end state");
host.Assert(ExpectCompleteWav(RecordTempPath("no-autostop.wav"), "recording without auto-stop") > 3 * 32000,
            "the recording should hold the speech and the silence after it");
ExpectQuiet(1000, "stop without auto-stop");

// ---- Ended by the maximum time.
recordEvents = [];
Expect(ctrl.OcxSetRecordMaxRecordTime(1500), 1, "OcxSetRecordMaxRecordTime(1500)");
Expect(ctrl.OcxBeginRecord("max-time.wav", 0), 0, "OcxBeginRecord max-time.wav");
host.Assert(WaitFor(function () { return recordEvents.length >= 1; }, 30000), "no state 1");
Speak("The quick brown fox jumps over the lazy dog.");
Expect(WaitForEnd(30000, "maximum time"), 7, "end state at the maximum time");
Expect(EventStates(), "1,2,7", "states at the maximum time");
ExpectEventsConsistent("maximum time");
ExpectCompleteWav(RecordTempPath("max-time.wav"), "recording at the maximum time");
host.Echo("auto-stop off: ended by stop and by the maximum time");
