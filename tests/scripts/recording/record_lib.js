// Shared by the recording scripts: following record states by event and by poll,
// speech into the virtual microphone, reading a recording's WAV header back.

function Expect(actual, expected, what) {
    host.Assert(actual === expected, what + ": expected " + expected + ", got " + actual);
}

// Pumps messages until cond() holds or limitMs pass; whether it held.
function WaitFor(cond, limitMs) {
    var end = host.Now() + limitMs;
    while (!cond()) {
        if (host.Now() > end) return cond();
        host.Sleep(20);
    }
    return true;
}

// The control's record-temp folder, where OcxBeginRecord's file lands.
function RecordTempPath(name) {
    return host.Env("TEMP") + "\\NeloRecognition\\_RecordTemp\\" + name;
}

// This folder as the Linux side sees it (host.ScriptDir is a Z: path under Wine).
function LinuxScriptDir() {
    var dir = host.ScriptDir();
    if (/^[Zz]:/.test(dir)) dir = dir.substring(2);
    return dir.replace(/\\/g, "/").replace(/\/$/, "");
}

// Starts speaking `text` into the virtual microphone; returns at once.
function Speak(text) {
    host.Run("/bin/sh " + LinuxScriptDir() + "/speak.sh \"" + text + "\"", false);
}

// Every EVENT_RECORD_NOTIFY as it arrived, with the state the handler polled at that
// moment and the time; onRecordState(state) is the script's hook, if it sets one.
var recordEvents = [];
var onRecordState = null;
function ctrl::EVENT_RECORD_NOTIFY(w, l) {
    var polled = ctrl.OcxGetRecordState();  // queued before the event fires
    recordEvents.push({ w: w, l: l, polled: polled, at: host.Now() });
    if (onRecordState) onRecordState(l);
}

function EventStates() {
    var states = [];
    for (var i = 0; i < recordEvents.length; i++) states.push(recordEvents[i].l);
    return states.join(",");
}

function IsEndState(s) { return s >= 4 && s <= 7; }

// Waits (generously) until the latest state is an end state; returns it.
function WaitForEnd(limitMs, what) {
    var ended = WaitFor(function () {
        return recordEvents.length > 0 && IsEndState(recordEvents[recordEvents.length - 1].l);
    }, limitMs);
    host.Assert(ended, what + ": no end state within " + limitMs + " ms; states " + EventStates());
    return recordEvents[recordEvents.length - 1].l;
}

// Every event carried wParam 0, and its handler polled exactly the state it announced.
function ExpectEventsConsistent(what) {
    for (var i = 0; i < recordEvents.length; i++) {
        Expect(recordEvents[i].w, 0, what + ": wParam of event " + i);
        Expect(recordEvents[i].polled, recordEvents[i].l, what + ": state polled in handler " + i);
    }
}

// Asserts no further event arrives for a while, and nothing is left to poll.
function ExpectQuiet(ms, what) {
    var count = recordEvents.length;
    host.Sleep(ms);
    Expect(recordEvents.length, count, what + ": events after the end (" + EventStates() + ")");
    Expect(ctrl.OcxGetRecordState(), 0, what + ": state left in the queue");
}

function U32(hex, byteOffset) {
    var v = 0;
    for (var i = 3; i >= 0; i--) v = v * 256 + parseInt(hex.substr((byteOffset + i) * 2, 2), 16);
    return v;
}
function U16(hex, byteOffset) {
    return parseInt(hex.substr(byteOffset * 2 + 2, 2), 16) * 256 + parseInt(hex.substr(byteOffset * 2, 2), 16);
}
function Ascii(hex, byteOffset, count) {
    var s = "";
    for (var i = 0; i < count; i++) s += String.fromCharCode(parseInt(hex.substr((byteOffset + i) * 2, 2), 16));
    return s;
}

// A complete recording: 16 kHz mono 16-bit PCM, sizes in the header matching the
// file's length. Returns the number of audio bytes.
function ExpectCompleteWav(path, what) {
    host.Assert(host.FileExists(path), what + ": no file " + path);
    var length = host.FileSize(path);
    host.Assert(length >= 44, what + ": file of " + length + " bytes");
    var h = host.ReadFileHex(path, 0, 44);
    Expect(Ascii(h, 0, 4), "RIFF", what + ": chunk ID");
    Expect(U32(h, 4), length - 8, what + ": chunk size");
    Expect(Ascii(h, 8, 8), "WAVEfmt ", what + ": format");
    Expect(U32(h, 16), 16, what + ": fmt size");
    Expect(U16(h, 20), 1, what + ": PCM");
    Expect(U16(h, 22), 1, what + ": channels");
    Expect(U32(h, 24), 16000, what + ": sample rate");
    Expect(U32(h, 28), 32000, what + ": byte rate");
    Expect(U16(h, 32), 2, what + ": block align");
    Expect(U16(h, 34), 16, what + ": bits");
    Expect(Ascii(h, 36, 4), "data", what + ": data ID");
    Expect(U32(h, 40), length - 44, what + ": data size");
    return length - 44;
}
