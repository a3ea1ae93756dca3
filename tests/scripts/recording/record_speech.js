// A spoken sentence into the virtual microphone: states 1, 2, 4 in order, by event and
// by poll, and the recording is a complete WAV by the time state 4 arrives.
var name = "speech.wav";
var path = RecordTempPath(name);
var sizeAtEnd = -1;

onRecordState = function (state) {
    if (state == 1) Speak("Please read this sentence aloud after the tone.");
    if (state == 4) sizeAtEnd = ExpectCompleteWav(path, "file read in the state 4 handler");
};

Expect(ctrl.OcxBeginRecord(name, 0), 0, "OcxBeginRecord");
Expect(ctrl.OcxGetRecordState(), 0, "state right after OcxBeginRecord");

var end = WaitForEnd(60000, "speech");
Expect(EventStates(), "1,2,4", "states of a spoken sentence");
ExpectEventsConsistent("speech");
// The sentence lasts about 2.5 s; the file holds it (less the dropped tail) and the
// half second before the onset.
host.Assert(sizeAtEnd > 32000, "recording of " + sizeAtEnd + " audio bytes is too short for a sentence");
ExpectQuiet(1000, "speech");
host.Echo("speech recorded: " + sizeAtEnd + " audio bytes, states " + EventStates());
