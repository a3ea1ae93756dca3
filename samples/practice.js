// Speech practice with the NeloRecognition control: record a learner reading a
// sentence, score the recording, show the sentence, word and phoneme results,
// and play the recording and the teacher's reference.
//
// This one file is the logic of the sample page (samples/practice.html) and of
// the demo (tools/demo/demo.js): the page includes it with <script src>, the
// demo's script host loads it with --lib. It is plain JScript (no features
// newer than the third edition), so every ActiveX-capable host runs it.
//
// It talks to the control only through `ctrl` and to the screen only through
// `view`, an object of the caller's with these methods (each optional):
//   view.status(text)             a line about what just happened
//   view.progress(text)           the live line while recording or playing
//   view.recordState(state, name) a record state as it arrives (1..7)
//   view.lessonReady(lesson)      { text, words: [{ text, phonemes: [...] }] }
//   view.results(result)          see readResults below
//   view.playState(code, what)    a play-state code (1: the sound stopped)
//   view.failed(text)             something went wrong; the text says what
// The caller wires the control's three events to onRecordNotify, onScoreNotify
// and onPlayNotify, and calls tick() a few times a second for the live line.

// ---- Values of the control's interface
var NELO_DIR_RECORD_TEMP = 0;   // nDirType: the record-temp folder of the working folder
var NELO_DIR_RESOURCES = 1;     // nDirType: the Resources folder next to the module

var NELO_RECORD_STATE_NAMES = {
    1: "capturing",
    2: "voice found",
    3: "state 3",
    4: "ended after the speech (tail silence)",
    5: "cancelled",
    6: "ended without voice",
    7: "stopped (by request or at the maximum time)"
};

var NELO_SCORE_SCORED = 1;      // EVENT_SCORE_NOTIFY lParam: results are ready
var NELO_SCORE_FAILED = 2;      // the engine could not score the sound

var NELO_PLAY_STOPPED = 1;      // EVENT_PLAY_NOTIFY lParam: playback ended or was stopped
var NELO_PLAY_ITEM_LENGTH = 0;  // OcxGetPlayStatus items, milliseconds
var NELO_PLAY_ITEM_POSITION = 1;

// OcxGetSentenceResult types and their labels, in the order the table shows them.
var NELO_SENTENCE_ITEMS = [
    { type: 0, key: "overall", label: "overall" },
    { type: 1, key: "accuracy", label: "accuracy" },
    { type: 2, key: "fluency", label: "fluency" },
    { type: 3, key: "completeness", label: "completeness" },
    { type: 4, key: "rate", label: "speaking rate (% of the reference)" },
    { type: 5, key: "pauses", label: "pauses the reference does not have" },
    { type: 6, key: "speechStart", label: "speech starts (ms)" },
    { type: 7, key: "speechEnd", label: "speech ends (ms)" },
    { type: 8, key: "speechMs", label: "speech found (ms)" }
];
// OcxGetWordResult types.
var NELO_WORD_SCORE = 0, NELO_WORD_START = 1, NELO_WORD_END = 2, NELO_WORD_READ = 3;

// ---- Pure helpers (no control, no screen): also what the tests drive directly.

// An array the control returns (a VT_ARRAY that JScript sees as a VBArray) as a
// JScript array; a JScript array passes unchanged; nothing (VT_EMPTY) gives null.
function neloToArray(value) {
    if (value === undefined || value === null) return null;
    if (value instanceof Array) return value;
    return new VBArray(value).toArray();
}

// Bytes as the hexadecimal string the control's ...ByStr methods take.
function neloBytesToHex(bytes) {
    var digits = "0123456789ABCDEF", parts = [];
    for (var i = 0; i < bytes.length; i++) {
        var b = bytes[i] & 0xFF;
        parts[i] = digits.charAt(b >> 4) + digits.charAt(b & 15);
    }
    return parts.join("");
}

// The two 16-bit halves of a packed result (OcxGetTextSplitItem, OcxGetRange).
function neloUnpackPair(packed) {
    return { first: packed & 0xFFFF, second: (packed >>> 16) & 0xFFFF };
}

// A phoneme code: up to three symbol characters, first in the lowest byte, and
// the stress mark in bits 24-27 (0 none, 1 unstressed, 2 secondary, 3 primary).
function neloPhonemeText(code) {
    var text = "";
    for (var shift = 0; shift < 24; shift += 8) {
        var c = (code >>> shift) & 0xFF;
        if (c == 0) break;
        text += String.fromCharCode(c);
    }
    var marks = ["", "-", ",", "'"];
    return (marks[(code >>> 24) & 0xF] || "") + text;
}

// The colour a score is shown in (table cells on the page, word spans in the
// demo's picture): green from 80, amber from 60, red below; grey for a word
// that was not read. "RRGGBB".
function neloScoreColour(score, read) {
    if (!read) return "9E9E9E";
    if (score >= 80) return "2E7D32";
    if (score >= 60) return "F9A825";
    return "C62828";
}

function neloPad(text, width, right) {
    text = String(text);
    while (text.length < width) text = right ? " " + text : text + " ";
    return text;
}

// The results as lines of plain text: the sentence's values, then one row a
// word with its phonemes and their scores.
function neloResultLines(result) {
    var lines = [], i, j;
    lines.push("Sentence: \"" + result.text + "\"");
    for (i = 0; i < NELO_SENTENCE_ITEMS.length; i++) {
        var item = NELO_SENTENCE_ITEMS[i];
        lines.push("  " + neloPad(item.label, 38) + neloPad(result.sentence[item.key], 6, true));
    }
    lines.push("");
    lines.push("  " + neloPad("word", 14) + neloPad("score", 6, true) + "  " + neloPad("read", 6) +
               neloPad("from ms", 8, true) + neloPad("to ms", 8, true) + "  phonemes (score)");
    for (i = 0; i < result.words.length; i++) {
        var w = result.words[i], phonemes = [];
        for (j = 0; j < w.phonemes.length; j++)
            phonemes.push(w.phonemes[j].text + " " + w.phonemes[j].score);
        lines.push("  " + neloPad(w.text, 14) + neloPad(w.score, 6, true) + "  " + neloPad(w.read ? "yes" : "no", 6) +
                   neloPad(w.start, 8, true) + neloPad(w.end, 8, true) + "  " + phonemes.join(", "));
    }
    return lines;
}

// ---- The practice itself

function NeloPractice(ctrl, view) {
    this.ctrl = ctrl;
    this.view = view || {};
    this.session = 0;
    this.lesson = null;          // { text, words } once a lesson is loaded
    this.recordingName = "";     // file name in the record-temp folder
    this.recording = false;      // between OcxBeginRecord and the end state
    this.recordStartedAt = 0;
    this.recordStates = [];      // every state of the current recording, in order
    this.hasRecording = false;   // an end state that leaves a complete file arrived
    this.scoring = false;
    this.result = null;          // the last results (readResults)
    this.playing = "";           // what is playing: "", "recording" or "reference"
    this.autoScore = true;       // score as soon as a recording is complete
}

NeloPractice.prototype.say = function (what, a, b) {
    if (this.view[what]) this.view[what](a, b);
};

NeloPractice.prototype.fail = function (text) {
    this.say("failed", text);
    return false;
};

// The engine's explanation of the session's last error.
NeloPractice.prototype.engineError = function () {
    var code = this.ctrl.OcxGetSessionErrCode(this.session);
    var info = this.ctrl.OcxGetSessionErrInfo(code);
    return "engine error " + code + (info ? ": " + info : "");
};

// Starts a session and loads the lesson from its bytes, given as a hexadecimal
// string. JScript cannot hand an array back to the control (it passes arrays by
// value, which the control refuses), so pages load lessons as strings.
NeloPractice.prototype.openLessonHex = function (hex) {
    var ctrl = this.ctrl;
    this.closeLesson();
    this.session = ctrl.OcxStartSession();
    if (this.session == 0) return this.fail("no engine session (OcxStartSession)");
    if (ctrl.OcxLoadNetByStr(this.session, hex) != 1 || ctrl.OcxNetIsExist(this.session) != 1)
        return this.fail("the lesson was refused: " + this.engineError());
    return this.readLesson();
};

// Loads a lesson file from the Resources folder next to the control's module.
NeloPractice.prototype.openLesson = function (fileName) {
    var bytes = neloToArray(this.ctrl.OcxGetFileData(NELO_DIR_RESOURCES, fileName));
    if (bytes === null) return this.fail("no lesson \"" + fileName + "\" in the Resources folder");
    return this.openLessonHex(neloBytesToHex(bytes));
};

NeloPractice.prototype.readLesson = function () {
    var ctrl = this.ctrl, s = this.session;
    var text = ctrl.OcxGetOrgText(s);
    var count = ctrl.OcxGetTextSplitCount(s);
    if (count < 0) return this.fail("the lesson has no words: " + this.engineError());
    var words = [];
    for (var i = 0; i < count; i++) {
        var packed = ctrl.OcxGetTextSplitItem(s, i);
        var place = neloUnpackPair(packed);
        var codes = neloToArray(ctrl.OcxGetPhoneticItem(s, i, 0)) || [];
        var phonemes = [];
        for (var j = 0; j < codes.length; j++) phonemes.push(neloPhonemeText(codes[j]));
        words.push({ text: packed == -1 ? "?" : text.substr(place.first, place.second), phonemes: phonemes });
    }
    this.lesson = { text: text, words: words };
    this.say("lessonReady", this.lesson);
    return true;
};

NeloPractice.prototype.closeLesson = function () {
    if (this.session != 0) this.ctrl.OcxEndSession(this.session);
    this.session = 0;
    this.lesson = null;
};

// Starts a recording into `fileName` in the record-temp folder. The states
// arrive through onRecordNotify.
NeloPractice.prototype.startRecording = function (fileName) {
    this.stopSound();
    this.recordingName = fileName;
    this.recordStates = [];
    this.hasRecording = false;
    this.result = null;
    if (this.ctrl.OcxBeginRecord(fileName, 0) != 0) return this.fail("the recording could not start (see the log)");
    this.recording = true;
    this.recordStartedAt = new Date().getTime();
    this.say("status", "recording into " + fileName + "; read the sentence aloud");
    return true;
};

NeloPractice.prototype.stopRecording = function () {
    if (!this.recording) return false;
    return this.ctrl.OcxStopRecord() == 1;
};

NeloPractice.prototype.cancelRecording = function () {
    if (this.recording) this.ctrl.OcxCancelRecord();
};

NeloPractice.prototype.onRecordNotify = function (wParam, lParam) {
    var state = lParam;
    this.recordStates.push(state);
    this.say("recordState", state, NELO_RECORD_STATE_NAMES[state] || "state " + state);
    if (state == 4 || state == 5 || state == 6 || state == 7) {
        this.recording = false;
        // 4, 6 and 7 leave a complete file; 5 leaves none.
        this.hasRecording = state != 5;
        if (state == 6) this.say("status", "no voice was heard; check the microphone and try again");
        else if (this.hasRecording && this.autoScore) this.score();
    }
};

// Scores the last recording against the lesson; the outcome arrives through onScoreNotify.
NeloPractice.prototype.score = function () {
    if (this.session == 0) return this.fail("load a lesson first");
    if (!this.hasRecording) return this.fail("record first");
    this.result = null;
    if (this.ctrl.OcxScoreSoundByName(this.session, this.recordingName, 0, 0) != 1)
        return this.fail("scoring could not start (see the log)");
    this.scoring = true;
    this.say("status", "scoring " + this.recordingName);
    return true;
};

NeloPractice.prototype.onScoreNotify = function (wParam, lParam) {
    if (wParam != this.session) return;  // another session's outcome
    this.scoring = false;
    if (lParam != NELO_SCORE_SCORED) {
        this.fail("the recording could not be scored: " + this.engineError());
        return;
    }
    this.result = this.readResults();
    this.say("results", this.result);
};

// { text, sentence: { overall, ... }, words: [{ text, score, start, end, read,
//   colour, phonemes: [{ text, score }] }] }
NeloPractice.prototype.readResults = function () {
    var ctrl = this.ctrl, s = this.session, i, j;
    var result = { text: this.lesson.text, sentence: {}, words: [] };
    for (i = 0; i < NELO_SENTENCE_ITEMS.length; i++)
        result.sentence[NELO_SENTENCE_ITEMS[i].key] = ctrl.OcxGetSentenceResult(s, NELO_SENTENCE_ITEMS[i].type);
    var range = neloUnpackPair(ctrl.OcxGetRange(s));
    for (i = range.first; i <= range.second && i < this.lesson.words.length; i++) {  // the range includes its end
        var lessonWord = this.lesson.words[i];
        var word = {
            text: lessonWord.text,
            score: ctrl.OcxGetWordResult(s, i, NELO_WORD_SCORE),
            start: ctrl.OcxGetWordResult(s, i, NELO_WORD_START),
            end: ctrl.OcxGetWordResult(s, i, NELO_WORD_END),
            read: ctrl.OcxGetWordResult(s, i, NELO_WORD_READ) == 1,
            phonemes: []
        };
        word.colour = neloScoreColour(word.score, word.read);
        // The scored phonemes follow the word's first pronunciation; their symbols come
        // from the lesson, their scores from the result (by name: not in the type library).
        var count = ctrl.OcxGetResPhonemeCount(s, i);
        for (j = 0; j < count; j++)
            word.phonemes.push({
                text: j < lessonWord.phonemes.length ? lessonWord.phonemes[j] : "?",
                score: ctrl.OcxGetResPhonemeItem(s, i, j)
            });
        result.words.push(word);
    }
    return result;
};

// Plays the last recording (record-temp folder) or a file of the Resources folder.
NeloPractice.prototype.playRecording = function () {
    if (!this.hasRecording) return this.fail("record first");
    return this.play(NELO_DIR_RECORD_TEMP, this.recordingName, "recording");
};

NeloPractice.prototype.playReference = function (fileName) {
    return this.play(NELO_DIR_RESOURCES, fileName, "reference");
};

NeloPractice.prototype.play = function (dirType, fileName, what) {
    this.stopSound();
    if (this.ctrl.OcxPlaySoundByFile(dirType, fileName) != 0)
        return this.fail("cannot play the " + what + " " + fileName + " (see the log)");
    this.playing = what;
    this.say("status", "playing the " + what + " (" + this.ctrl.OcxGetPlayStatus(NELO_PLAY_ITEM_LENGTH) + " ms)");
    return true;
};

NeloPractice.prototype.stopSound = function () {
    if (this.playing) this.ctrl.OcxStopSound();  // its stop arrives as play state 1
};

NeloPractice.prototype.onPlayNotify = function (wParam, lParam) {
    var what = this.playing;
    if (lParam == NELO_PLAY_STOPPED) this.playing = "";
    this.say("playState", lParam, what);
};

// The live line: time since the recording started and its latest state, or the
// playing sound's position.
NeloPractice.prototype.tick = function () {
    if (this.recording) {
        var seconds = (new Date().getTime() - this.recordStartedAt) / 1000;
        var last = this.recordStates.length ? this.recordStates[this.recordStates.length - 1] : 0;
        this.say("progress", "recording " + seconds.toFixed(1) + " s, " +
                 (last ? NELO_RECORD_STATE_NAMES[last] : "waiting for the microphone"));
    } else if (this.playing) {
        var length = this.ctrl.OcxGetPlayStatus(NELO_PLAY_ITEM_LENGTH);
        // The last poll before the stop may read a little past the end.
        var position = Math.min(this.ctrl.OcxGetPlayStatus(NELO_PLAY_ITEM_POSITION), length);
        this.say("progress", "playing the " + this.playing + " " + (position / 1000).toFixed(1) + " / " +
                 (length / 1000).toFixed(1) + " s");
    }
};
