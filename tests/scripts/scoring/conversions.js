// Script data conversions through JScript: hex strings pair by pair, arrays and values
// refused by shape; results the type library does not list, reached by name.

FakeEngine([]);
var s = ctrl.OcxStartSession();
host.Assert(s != 0, "a session");

// ---- Hex strings: each pair read as wcstol reads it in base 16.
var hexCases = [
    ["0A1bFF", "0A1BFF"], ["ABC", "AB"], ["G1", "00"], ["1G", "01"], [" 5", "05"],
    ["-1", "FF"], ["+F", "0F"], ["00ff", "00FF"]
];
for (var i = 0; i < hexCases.length; i++) {
    FakeEngine(["text PsGetOrgText @lastdata"]);
    Expect(ctrl.OcxLoadNetByStr(s, hexCases[i][0]), 1, "load '" + hexCases[i][0] + "'");
    Expect(ctrl.OcxGetOrgText(s), "PsLoadNet " + hexCases[i][1], "bytes of '" + hexCases[i][0] + "'");
}
// An empty string still reaches the engine, with no bytes.
Expect(ctrl.OcxLoadNetByStr(s, ""), 1, "empty network string");
Expect(LastEngineData(s), "PsLoadNet null", "no bytes: a null pointer with count 0");
// An e-code by string: 16 digits are 8 bytes; 14 are refused before the engine.
Expect(ctrl.OcxSetECodeByStr(s, "0102030405060708"), 1, "e-code of 8 bytes");
Expect(LastEngineData(s), "PsSetECode 0102030405060708", "e-code bytes");
Expect(ctrl.OcxSetECodeByStr(s, "01020304050607"), 0, "e-code of 7 bytes");
Expect(LastEngineData(s), "PsSetECode 0102030405060708", "7 bytes never reach the engine");
Expect(ctrl.OcxSetECodeByStr(s, ""), 1, "empty e-code clears");
Expect(LastEngineData(s), "PsSetECode null", "no e-code");

// ---- Branch A (enumerable objects): a plain JScript array has no enumerator under these
// engines, and Wine's Scripting.Dictionary hands this conversion no elements (seen here);
// the conversion's own tests drive branch A with a collection of their own.
FakeEngine(["text PsGetOrgText @lastdata"]);
Expect(ctrl.OcxLoadNetByStr(s, "EE"), 1, "marker");
Expect(ctrl.OcxLoadNet(s, [1, 2, 3]), 0, "JScript array");
Expect(ctrl.OcxGetOrgText(s), "PsLoadNet EE", "the engine did not see the refused array");
// Non-array arguments.
Expect(ctrl.OcxLoadNet(s, 5), 0, "a number");
Expect(ctrl.OcxLoadNet(s, "0102"), 0, "a string");
Expect(ctrl.OcxSetECode(s, 7), 0, "e-code from a number");
Expect(ctrl.OcxScoreSoundByBuf(s, 7, 0, 0), 0, "score from a number");

// ---- Results that only the dispatch table lists, reached by name.
FakeEngine(["set PsGetResPhonemeCount 4", "set PsGetResPhonemeItem 21474836487"]);  // 5 << 32 | 7
Expect(ctrl.OcxGetResPhonemeCount(s, 1), 4, "phoneme count by name");
Expect(ctrl.OcxGetResPhonemeItem(s, 1, 2), 5, "phoneme item: the upper half");
FakeEngine(["set PsGetResPhonemeCount -1", "set PsGetResPhonemeItem -1"]);
Expect(ctrl.OcxGetResPhonemeCount(s, 1), -1, "phoneme count failure");
Expect(ctrl.OcxGetResPhonemeItem(s, 1, 2), -1, "phoneme item failure");

// ---- Packed pairs and the phonetic list as a script sees them.
FakeEngine(["pair PsGetRange 3 10", "pair PsGetTextSplitItemW 70000 2", "codes"]);
Expect(ctrl.OcxGetRange(s), 655363, "range");
Expect(ctrl.OcxGetTextSplitItem(s, 0), 135536, "split item");
Expect(new VBArray(ctrl.OcxGetPhoneticItem(s, 0, 0)).toArray().length, 0, "no phonetic items: an empty array");
FakeEngine(["codes 7 8 9"]);
var items = new VBArray(ctrl.OcxGetPhoneticItem(s, 0, 0)).toArray();
Expect(items.length, 3, "three items");
Expect(items[2], 9, "third item");
FakeEngine(["set PsGetPhoneticItem -1"]);
Expect(ctrl.OcxGetPhoneticItem(s, 0, 0), undefined, "failure: VT_EMPTY");

Expect(ctrl.OcxEndSession(s), 1, "end session");
host.Echo("conversions.js: ok");
