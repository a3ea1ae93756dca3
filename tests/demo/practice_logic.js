// The shared practice logic (samples/practice.js, loaded with --lib) against a
// scripted stand-in for the control: which methods it calls with what, how it
// reads packed values, phoneme codes and results, and how it follows the states.
// Run with --no-ctrl; the script arguments are "a", "b", "c" (a real VT_ARRAY
// for neloToArray).

function check(cond, what) { host.Assert(cond, what); }
function same(actual, expected, what) {
    host.Assert(actual === expected, what + ": expected [" + expected + "], got [" + actual + "]");
}

// Phoneme code: symbol bytes from the lowest byte up, stress mark in bits 24-27.
function code(symbol, stress) {
    var c = 0;
    for (var i = 0; i < symbol.length; i++) c |= symbol.charCodeAt(i) << (8 * i);
    return c | (stress << 24);
}

// ---- The stand-in: a lesson "Call Stella now" of three words, results for words 0..2.
function FakeControl() {
    this.calls = [];
    this.session = 77;
    this.text = "Call Stella now";
    this.places = [[0, 4], [5, 6], [12, 3]];
    this.codes = [[code("k", 0), code("O:", 3), code("l", 0)],
                  [code("s", 0), code("t", 0), code("E", 3), code("l", 0), code("@", 1)],
                  [code("n", 0), code("aU", 3)]];
    this.wordResults = [[91, 120, 400, 1], [65, 420, 900, 1], [0, 0, 0, 0]];  // score, start, end, read
    this.phonemeScores = [[90, 95, 88], [70, 60, 80, 55, 40], []];
    this.beginResult = 0;
    this.scoreResult = 1;
    this.playResult = 0;
    this.fileData = [1, 171, 255, 0, 16];
}
FakeControl.prototype.log = function (text) { this.calls.push(text); };
FakeControl.prototype.OcxStartSession = function () { this.log("start"); return this.session; };
FakeControl.prototype.OcxEndSession = function (s) { this.log("end " + s); return 1; };
FakeControl.prototype.OcxGetFileData = function (dir, name) { this.log("file " + dir + " " + name); return this.fileData; };
FakeControl.prototype.OcxLoadNetByStr = function (s, hex) { this.log("net " + s + " " + hex); return 1; };
FakeControl.prototype.OcxNetIsExist = function (s) { return 1; };
FakeControl.prototype.OcxGetOrgText = function (s) { return this.text; };
FakeControl.prototype.OcxGetTextSplitCount = function (s) { return this.places.length; };
FakeControl.prototype.OcxGetTextSplitItem = function (s, i) { return this.places[i][0] | (this.places[i][1] << 16); };
FakeControl.prototype.OcxGetPhoneticItem = function (s, i, p) { return this.codes[i]; };
FakeControl.prototype.OcxGetSessionErrCode = function (s) { return 12; };
FakeControl.prototype.OcxGetSessionErrInfo = function (c) { return "sound too short"; };
FakeControl.prototype.OcxBeginRecord = function (name, t) { this.log("begin " + name + " " + t); return this.beginResult; };
FakeControl.prototype.OcxStopRecord = function () { this.log("stoprec"); return 1; };
FakeControl.prototype.OcxCancelRecord = function () { this.log("cancel"); };
FakeControl.prototype.OcxScoreSoundByName = function (s, name, off, len) {
    this.log("score " + s + " " + name + " " + off + " " + len);
    return this.scoreResult;
};
FakeControl.prototype.OcxGetSentenceResult = function (s, t) { return 10 + t; };
FakeControl.prototype.OcxGetRange = function (s) { return 0 | (2 << 16); };
FakeControl.prototype.OcxGetWordResult = function (s, i, t) { return this.wordResults[i][t]; };
FakeControl.prototype.OcxGetResPhonemeCount = function (s, i) { return this.phonemeScores[i].length; };
FakeControl.prototype.OcxGetResPhonemeItem = function (s, i, p) { return this.phonemeScores[i][p]; };
FakeControl.prototype.OcxPlaySoundByFile = function (dir, name) { this.log("play " + dir + " " + name); return this.playResult; };
FakeControl.prototype.OcxStopSound = function () { this.log("stopsound"); return 1; };
FakeControl.prototype.OcxGetPlayStatus = function (item) { return item == 0 ? 3000 : 1500; };

function RecordingView() { this.events = []; }
RecordingView.prototype.status = function (t) { };
RecordingView.prototype.progress = function (t) { this.events.push("progress " + t); };
RecordingView.prototype.recordState = function (s, name) { this.events.push("state " + s); };
RecordingView.prototype.lessonReady = function (l) { this.events.push("lesson"); this.lesson = l; };
RecordingView.prototype.results = function (r) { this.events.push("results"); this.result = r; };
RecordingView.prototype.playState = function (c, what) { this.events.push("play " + c + " " + what); };
RecordingView.prototype.failed = function (t) { this.events.push("failed " + t); };

function lastCall(ctrl) { return ctrl.calls[ctrl.calls.length - 1]; }

// ---- Pure helpers
same(neloBytesToHex([0, 15, 16, 171, 255]), "000F10ABFF", "hex of bytes");
same(neloBytesToHex([]), "", "hex of nothing");
same(neloUnpackPair(5 | (6 << 16)).second, 6, "high half");
same(neloUnpackPair(-1).first, 65535, "-1 unpacks to two 65535s");
same(neloPhonemeText(code("O:", 3)), "'O:", "primary stress mark");
same(neloPhonemeText(code("@", 1)), "-@", "unstressed mark");
same(neloPhonemeText(code("aU", 0)), "aU", "no mark");
same(neloPhonemeText(code("tS", 2)), ",tS", "secondary mark");
same(neloScoreColour(80, true), neloScoreColour(100, true), "80 and 100 share a colour");
check(neloScoreColour(79, true) != neloScoreColour(80, true), "79 and 80 differ");
check(neloScoreColour(59, true) != neloScoreColour(60, true), "59 and 60 differ");
check(neloScoreColour(100, false) != neloScoreColour(100, true), "a word not read is never shown as scored");
// A real VT_ARRAY from the host (its script arguments) and a plain array.
same(neloToArray(host.Arguments()).join(), "a,b,c", "VT_ARRAY to a script array");
same(neloToArray([1, 2]).join(), "1,2", "a script array passes");
same(neloToArray(undefined), null, "VT_EMPTY");

// ---- Lesson
var ctrl = new FakeControl(), view = new RecordingView();
var p = new NeloPractice(ctrl, view);
check(p.openLesson("x.nelo"), "the lesson opens");
same(ctrl.calls.join("|"), "file 1 x.nelo|start|net 77 01ABFF0010", "lesson read from Resources, loaded as hex");
same(view.lesson.words.length, 3, "three words");
same(view.lesson.words[1].text, "Stella", "word text from the packed place");
same(view.lesson.words[1].phonemes.join(" "), "s t 'E l -@", "phonemes of a word");

// A second lesson ends the first session.
ctrl.calls = [];
p.openLesson("y.nelo");
same(ctrl.calls[1], "end 77", "the earlier session ends first");

// ---- A recording that ends after speech is scored once, with the whole file.
ctrl.calls = []; view.events = [];
check(p.startRecording("take1.wav"), "recording starts");
same(ctrl.calls.join("|"), "begin take1.wav 0", "OcxBeginRecord with the name");
p.tick();
check(view.events[0].indexOf("waiting for the microphone") > 0, "live line before the first state: " + view.events[0]);
p.onRecordNotify(0, 1);
p.onRecordNotify(0, 2);
p.tick();
check(view.events[3].indexOf("voice found") > 0, "live line names the latest state: " + view.events[3]);
same(ctrl.calls.length, 1, "nothing scored before the end");
p.onRecordNotify(0, 4);
same(lastCall(ctrl), "score 77 take1.wav 0 0", "scored at the end, whole file");
check(!p.recording && p.hasRecording && p.scoring, "recording over, scoring");

// Outcomes of other sessions are not ours.
p.onScoreNotify(5, 1);
check(p.scoring && p.result === null, "another session's outcome is ignored");
p.onScoreNotify(77, NELO_SCORE_SCORED);
check(!p.scoring, "scoring over");
var r = view.result;
same(r.sentence.overall, 10, "sentence type 0");
same(r.sentence.speechMs, 18, "sentence type 8");
same(r.words.length, 3, "every word of the range 0..2, its end included");
same(r.words[1].score, 65, "word score");
same(r.words[1].start + "-" + r.words[1].end, "420-900", "word span");
same(r.words[1].phonemes[4].text + "=" + r.words[1].phonemes[4].score, "-@=40", "phoneme symbol and score");
same(r.words[2].read, false, "a word not read");
same(r.words[2].colour, neloScoreColour(0, false), "its colour");
same(r.words[0].colour, neloScoreColour(91, true), "a good word's colour");
var lines = neloResultLines(r).join("\n");
check(lines.indexOf("Stella") > 0 && lines.indexOf("-@ 40") > 0 && lines.indexOf("overall") > 0, "table text:\n" + lines);

// ---- Ends without a usable recording are not scored; a failed score says why.
var ends = [[5, false], [6, true], [7, true]];
for (var i = 0; i < ends.length; i++) {
    ctrl.calls = [];
    p.startRecording("t.wav");
    p.onRecordNotify(0, 1);
    p.onRecordNotify(0, ends[i][0]);
    same(p.hasRecording, ends[i][1], "state " + ends[i][0] + " leaves a file");
    same(lastCall(ctrl).indexOf("score") == 0, ends[i][0] == 7, "state " + ends[i][0] + " scores");
}
view.events = [];
p.onScoreNotify(77, NELO_SCORE_FAILED);
check(p.result === null && view.events[0].indexOf("sound too short") > 0, "failure text: " + view.events[0]);

// ---- Refusals reach the view and leave the state as it was.
ctrl.beginResult = 1; view.events = [];
check(!p.startRecording("u.wav"), "a refused OcxBeginRecord");
check(!p.recording && view.events[0].indexOf("failed") == 0, "not recording, failure shown");
ctrl.beginResult = 0;
var fresh = new NeloPractice(new FakeControl(), new RecordingView());
check(!fresh.playRecording() && fresh.ctrl.calls.length == 0, "nothing to play before a recording");
check(!fresh.score() && fresh.ctrl.calls.length == 0, "nothing to score without a lesson");
fresh.ctrl.fileData = undefined;
check(!fresh.openLesson("missing.nelo") && fresh.session == 0, "a missing lesson file opens no session");

// ---- Playback: the right folder, the stop event ends it, a new play stops the old one.
ctrl.calls = []; view.events = [];
p.startRecording("take2.wav");
p.onRecordNotify(0, 4);
p.onScoreNotify(77, 1);
ctrl.calls = [];
check(p.playRecording(), "plays the recording");
same(lastCall(ctrl), "play 0 take2.wav", "record-temp folder");
check(p.playReference("ref.wav"), "plays the reference");
same(ctrl.calls.join("|"), "play 0 take2.wav|stopsound|play 1 ref.wav", "the recording stops first; Resources folder");
view.events = [];
p.tick();
same(view.events[0], "progress playing the reference 1.5 / 3.0 s", "live line while playing");
p.onPlayNotify(0, NELO_PLAY_STOPPED);
same(p.playing, "", "stopped");
same(view.events[1], "play 1 reference", "play state with what stopped");

host.Echo("practice_logic.js ok");
