// Runs after record_notices.js (a CTest fixture) without a control: reads that
// process's lines from the shared log and checks them, in order, with nothing between.
var temp = host.Env("TEMP");
var logPath = temp + "\\NeloRecognition\\NeloRecognition.log";
var offsetFile = temp + "\\nelo-record-notices-log-offset.txt";
host.Assert(host.FileExists(offsetFile), "record_notices.js left no log offset");

// UTF-8 bytes (as hex) to a string.
function DecodeUtf8Hex(hex) {
    var out = "";
    for (var i = 0; i < hex.length; ) {
        var b = parseInt(hex.substr(i, 2), 16);
        i += 2;
        var extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        var cp = extra == 0 ? b : b & (0x3F >> extra);
        for (var k = 0; k < extra; k++, i += 2) cp = cp * 64 + (parseInt(hex.substr(i, 2), 16) & 0x3F);
        out += String.fromCharCode(cp);  // all expected text lies in the basic plane
    }
    return out;
}

function ReadText(path, offset) {
    return DecodeUtf8Hex(host.ReadFileHex(path, offset, host.FileSize(path) - offset));
}

var offset = parseInt(ReadText(offsetFile, 0), 10);
var text = ReadText(logPath, offset);
// That process's lines end with its end banner; anything later belongs to others.
var endBanner = text.indexOf("=============================End=============================");
host.Assert(endBanner >= 0, "no end banner after the offset: " + text);
var lines = text.substring(0, endBanner).split("\r\n");
var errors = [];
for (var i = 0; i < lines.length; i++) {
    var at = lines[i].indexOf("(ERROR)");
    if (at >= 0) errors.push(lines[i].substring(at + 7));
}

var expected = [
    "OcxBeginRecord: param of strFileName is incorrect!",
    "OcxBeginRecord: param of strFileName is incorrect!",
    "OcxBeginRecord: param of strFileName is incorrect!",
    "OcxSetRecordNoVoiceTime: lTimeInMS is incorrect!",
    "OcxSetRecordNoVoiceTime: lTimeInMS is incorrect!",
    "OcxSetRecordTailSilenceTime: lTimeInMS is incorrect!",
    "OcxSetRecordTailSilenceTime: lTimeInMS is incorrect!",
    "OcxSetRecordMaxRecordTime: lTimeInMS is incorrect!",
    "OcxSetRecordMaxRecordTime: lTimeInMS is incorrect!",
    "\u5f55\u97f3 - \u672a\u77e5\u7ed3\u675f",  // 录音 - 未知结束
    "\u5f55\u97f3 - \u672a\u77e5\u56de\u8c03"   // 录音 - 未知回调
];
host.Assert(errors.length == expected.length,
             "expected " + expected.length + " error lines, got " + errors.length + ":\n" + errors.join("\n"));
for (var j = 0; j < expected.length; j++) host.Assert(errors[j] == expected[j], "error line " + j + ": " + errors[j]);
host.DeleteFile(offsetFile);
host.Echo("log lines checked: " + errors.length);
