// File methods end to end: temporary files, removal, reading back, hostile names.

function Bytes(v) { return v === undefined ? undefined : new VBArray(v).toArray(); }

var a = ctrl.OcxCreateFile(), b = ctrl.OcxCreateFile();
host.Assert(a != b, "two names differ: " + a + " " + b);
var names = [a, b];
for (var i = 0; i < 2; i++) {
    host.Assert(/^SND[0-9A-Fa-f]+\.tmp$/.test(names[i]), "temporary name " + names[i]);
    host.Assert(host.FileExists(RecordTempPath(names[i])), names[i] + " exists");
    Expect(host.FileSize(RecordTempPath(names[i])), 0, names[i] + " size");
}

Expect(ctrl.OcxRemoveFile(a), 1, "remove");
host.Assert(!host.FileExists(RecordTempPath(a)), "removed file gone");
Expect(ctrl.OcxRemoveFile(a), 0, "remove twice");

Expect(ctrl.OcxGetFileData(2, b), undefined, "nDirType 2");
Expect(ctrl.OcxGetFileData(0, "no-such-file.wav"), undefined, "missing file");
Expect(Bytes(ctrl.OcxGetFileData(0, b)).length, 0, "empty file gives an empty array");

// A recording: header bytes then samples, element by element.
var hex = ToneWavHex(50);
host.WriteFileHex(RecordTempPath(b), hex);
var got = Bytes(ctrl.OcxGetFileData(0, b));
Expect(got.length, hex.length / 2, "recording length");
var text = "";
for (var k = 0; k < got.length; k++) text += hex2(got[k]);
Expect(text, hex, "recording bytes");

// Names that leave the folder: the log one level up is neither read nor deleted.
var logPath = host.Env("TEMP") + "\\NeloRecognition\\NeloRecognition.log";
host.Assert(host.FileExists(logPath), "the log exists");
var hostile = ["..\\NeloRecognition.log", "../NeloRecognition.log", logPath, "C:\\windows\\win.ini", "NUL", "x:y", ""];
for (var j = 0; j < hostile.length; j++) {
    Expect(ctrl.OcxGetFileData(0, hostile[j]), undefined, "read " + hostile[j]);
    Expect(ctrl.OcxGetFileData(1, hostile[j]), undefined, "read from resources " + hostile[j]);
    Expect(ctrl.OcxRemoveFile(hostile[j]), 0, "remove " + hostile[j]);
    Expect(ctrl.OcxOpenSoundByFile(0, hostile[j]), 1, "open " + hostile[j]);
}
host.Assert(host.FileExists(logPath), "the log survived");

host.Echo("files: all checks passed");
