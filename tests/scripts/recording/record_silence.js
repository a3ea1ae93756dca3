// Silence only, default settings: state 1, then state 6 about five seconds later (84
// analysed buffers, 5.6 s of capture); the file holds at most half a second of audio.
var path = RecordTempPath("silence.wav");
Expect(ctrl.OcxBeginRecord("silence.wav", 0), 0, "OcxBeginRecord");
Expect(ctrl.OcxGetRecordState(), 0, "state right after OcxBeginRecord");

Expect(WaitForEnd(60000, "silence"), 6, "end state of silence");
Expect(EventStates(), "1,6", "states of silence");
ExpectEventsConsistent("silence");
// Capture runs at the device's pace: from the first analysed buffer to the 84th is 83
// buffers of 60 ms. Only a lower bound is firm on a loaded machine.
var seconds = (recordEvents[1].at - recordEvents[0].at) / 1000;
host.Assert(seconds > 4.0 && seconds < 30, "state 6 came " + seconds + " s after state 1");
var audio = ExpectCompleteWav(path, "no-voice recording");
host.Assert(audio <= 16000, "no-voice recording holds " + audio + " audio bytes");
ExpectQuiet(1000, "silence");

// A shorter no-voice time reaches the recorder: the next silent recording ends sooner.
recordEvents = [];
Expect(ctrl.OcxSetRecordNoVoiceTime(1200), 1, "OcxSetRecordNoVoiceTime(1200)");
Expect(ctrl.OcxBeginRecord("silence2.wav", 0), 0, "OcxBeginRecord again");
Expect(WaitForEnd(60000, "short no-voice time"), 6, "end state with 1200 ms");
var shortSeconds = (recordEvents[1].at - recordEvents[0].at) / 1000;
host.Assert(shortSeconds < seconds - 2, "with 1200 ms: " + shortSeconds + " s, with the default: " + seconds + " s");
ExpectCompleteWav(RecordTempPath("silence2.wav"), "short no-voice recording");
host.Echo("no voice after " + seconds + " s by default, " + shortSeconds + " s with 1200 ms");
