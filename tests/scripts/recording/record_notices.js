// Notices the recorder does not send, posted straight to the control's window: unknown
// end codes and classes queue nothing and fire nothing; progress codes pass through with
// all their bits. The log lines they leave are checked by record_log_check.js once this
// process has closed the log. Also leaves the refusal lines of a bad file name and of
// the setters there.
function Post(noticeClass, code) {
    Expect(host.Run("NeloPostRecordNotice.exe " + noticeClass + " " + code, true), 0,
           "posting (" + noticeClass + ", " + code + ")");
}

// Where this process's lines start in the shared log, for the checking script.
var logPath = host.Env("TEMP") + "\\NeloRecognition\\NeloRecognition.log";
host.WriteTextFile(host.Env("TEMP") + "\\nelo-record-notices-log-offset.txt", "" + host.FileSize(logPath));

// ---- Lines 1 to 3: refused file names (nothing starts, no state follows).
var badNames = ["", "..\\escape.wav", "C:\\abs.wav"];
for (var i = 0; i < badNames.length; i++)
    Expect(ctrl.OcxBeginRecord(badNames[i], 0), 1, "OcxBeginRecord(\"" + badNames[i] + "\")");

// ---- Lines 4 to 9: setters with times at or below zero; the auto-stop switch takes any value.
var setters = ["OcxSetRecordNoVoiceTime", "OcxSetRecordTailSilenceTime", "OcxSetRecordMaxRecordTime"];
var refused = [0, -1];
for (var s = 0; s < setters.length; s++)
    for (var v = 0; v < refused.length; v++)
        Expect(ctrl[setters[s]](refused[v]), 0, setters[s] + "(" + refused[v] + ")");
Expect(ctrl.OcxSetRecordAutoStopEN(0), 1, "OcxSetRecordAutoStopEN(0)");
Expect(ctrl.OcxSetRecordAutoStopEN(1), 1, "OcxSetRecordAutoStopEN(1)");
Expect(ctrl.OcxSetRecordNoVoiceTime(5000), 1, "OcxSetRecordNoVoiceTime(5000)");

// ---- Lines 10 and 11: an unknown end and an unknown class; (17, 5) and (17, 0) leave none.
Post(17, "0x40004");
Post(17, 5);
Post(17, 0);
Post(18, 1);
// Progress codes keep their high bits; a known end maps to its state. The last post is a
// barrier: messages are handled in order, so once it is seen the ones before it were too.
Post(17, "0x10002");
Post(17, "0x30004");
host.Assert(WaitFor(function () { return recordEvents.length >= 2; }, 20000), "events for the posted notices");
host.Sleep(300);
Expect(EventStates(), "65538,7", "states from the posted notices");
ExpectEventsConsistent("posted notices");
Expect(ctrl.OcxGetRecordState(), 0, "nothing else was queued");
host.Echo("posted notices: states " + EventStates());
