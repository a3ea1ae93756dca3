// Shared by the playback scripts: test sounds, folder paths, waiting with the message pump.

// A 16 kHz mono 16-bit PCM WAV of a 440 Hz tone lasting ms milliseconds, as hex digits.
function ToneWavHex(ms) {
    var samples = 16 * ms;
    var dataBytes = samples * 2;
    var out = [];
    function u32(v) { for (var i = 0; i < 4; i++) { out.push(hex2(v & 255)); v = Math.floor(v / 256); } }
    function u16(v) { out.push(hex2(v & 255)); out.push(hex2((v >> 8) & 255)); }
    function ascii(s) { for (var i = 0; i < s.length; i++) out.push(hex2(s.charCodeAt(i))); }
    ascii("RIFF"); u32(36 + dataBytes); ascii("WAVE");
    ascii("fmt "); u32(16); u16(1); u16(1); u32(16000); u32(32000); u16(2); u16(16);
    ascii("data"); u32(dataBytes);
    for (var n = 0; n < samples; n++) {
        var s = Math.round(8000 * Math.sin(2 * Math.PI * 440 * n / 16000));
        if (s < 0) s += 65536;
        u16(s);
    }
    return out.join("");
}

function hex2(b) { return (b < 16 ? "0" : "") + b.toString(16); }

// The control's record-temp folder (the working folder is in the user's temporary folder).
function RecordTempPath(name) {
    return host.Env("TEMP") + "\\NeloRecognition\\_RecordTemp\\" + name;
}

// A new file in the record-temp folder holding a tone; its name.
function ToneFile(ms) {
    var name = ctrl.OcxCreateFile();
    host.Assert(name != "", "OcxCreateFile gave no name");
    host.WriteFileHex(RecordTempPath(name), ToneWavHex(ms));
    return name;
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

function Expect(actual, expected, what) {
    host.Assert(actual === expected, what + ": expected " + expected + ", got " + actual);
}

// Play-notify events as the script saw them.
var playEvents = [];
function ctrl::EVENT_PLAY_NOTIFY(w, l) {
    playEvents.push({ w: w, l: l });
}

// Waits for the next play event (generous: the machine may be loaded) and checks it.
function ExpectOneStopEvent(before, what) {
    host.Assert(WaitFor(function () { return playEvents.length > before; }, 20000), what + ": no EVENT_PLAY_NOTIFY");
    host.Sleep(400);  // four poll ticks: a second notice would have arrived by now
    Expect(playEvents.length, before + 1, what + ": events");
    Expect(playEvents[before].w, 0, what + ": wParam");
    Expect(playEvents[before].l, 1, what + ": lParam");
}
