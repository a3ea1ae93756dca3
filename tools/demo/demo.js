// The demo: one practice round through the control, exactly as a page runs it
// (the logic is samples/practice.js, loaded before this file with --lib), with
// the console as the page.
//
//   NeloHost.exe --lib samples\practice.js tools\demo\demo.js [name=value ...]
//
//   lesson=demo.nelo                the lesson, in the Resources folder next to the module
//   reference=demo-reference.wav    the teacher's reading, in the Resources folder
//   learner=/path/learner.wav       (Linux test environment) a reading played into the
//                                   virtual microphone; without it, a person reads
//   out=C:\folder                   where the picture goes (default: the working folder)
//   picture-tool=NeloWavePicture.exe
//   recording=learner.wav           the recording's name in the record-temp folder
//
// Exit code 0 when the whole round worked, 1 otherwise.

var options = {
    lesson: "demo.nelo",
    reference: "demo-reference.wav",
    learner: "",
    out: "",
    "picture-tool": "NeloWavePicture.exe",
    recording: "learner.wav"
};
for (var a = 0; a < host.ArgCount(); a++) {
    var arg = host.Arg(a), eq = arg.indexOf("=");
    if (eq < 1 || options[arg.substr(0, eq)] === undefined) {
        host.Echo("demo: unknown argument " + arg);
        host.Quit(2);
    }
    options[arg.substr(0, eq)] = arg.substr(eq + 1);
}

// ---- The console as the page

// Lines starting "  ~ " are the live line: run-demo.sh redraws them in place on a
// terminal. Elsewhere each is a line of its own, so a new one is printed only when
// the state in it changes or half a second has passed.
var lastProgress = "", lastProgressAt = -1e9;
function sameApartFromNumbers(a, b) { return a.replace(/[0-9.]+/g, "#") == b.replace(/[0-9.]+/g, "#"); }
var consoleView = {
    status: function (text) { host.Echo("  " + text); },
    progress: function (text) {
        if (text == lastProgress) return;
        if (sameApartFromNumbers(text, lastProgress) && host.Now() - lastProgressAt < 500) return;
        lastProgress = text;
        lastProgressAt = host.Now();
        host.Echo("  ~ " + text);
    },
    recordState: function (state, name) {
        host.Echo("  record state " + state + ": " + name);
        if (state == 1) speakIntoMicrophone();
    },
    lessonReady: function (lesson) {
        host.Echo("  sentence: \"" + lesson.text + "\"");
        for (var i = 0; i < lesson.words.length; i++)
            host.Echo("    " + i + " " + lesson.words[i].text + "  /" + lesson.words[i].phonemes.join(" ") + "/");
    },
    results: function (result) {
        var lines = neloResultLines(result);
        for (var i = 0; i < lines.length; i++) host.Echo("  " + lines[i]);
    },
    playState: function (code, what) {
        host.Echo("  play state " + code + (code == NELO_PLAY_STOPPED ? ": the " + what + " stopped" : ""));
    },
    failed: function (text) { host.Echo("  FAILED: " + text); }
};

var practice = new NeloPractice(ctrl, consoleView);
practice.autoScore = false;  // the demo scores as a step of its own

function ctrl::EVENT_RECORD_NOTIFY(wParam, lParam) { practice.onRecordNotify(wParam, lParam); }
function ctrl::EVENT_SCORE_NOTIFY(wParam, lParam) { practice.onScoreNotify(wParam, lParam); }
function ctrl::EVENT_PLAY_NOTIFY(wParam, lParam) { practice.onPlayNotify(wParam, lParam); }

// The learner: on Windows a person reads into the microphone; in the Linux test
// environment a synthesised reading is played into the virtual one, once capture runs.
var learnerStarted = false;
function speakIntoMicrophone() {
    if (learnerStarted) return;
    learnerStarted = true;
    if (!options.learner) {
        host.Echo("  >>> read aloud now: \"" + practice.lesson.text + "\"");
        return;
    }
    host.Echo("  (the learner reads: playing " + options.learner + " into the virtual microphone)");
    host.Run("/usr/bin/paplay --device=micsink '" + options.learner.replace(/'/g, "'\\''") + "'", false);
}

// ---- Steps

function step(title) {
    host.Echo("");
    host.Echo("== " + title);
}

function stop(text) {
    host.Echo("demo: " + text);
    host.Quit(1);
}

// Pumps events (host.Sleep) and redraws the live line until `done` holds.
function waitUntil(done, limitMs, what) {
    var start = host.Now();
    while (!done()) {
        if (host.Now() - start > limitMs) stop("gave up waiting for " + what + " after " + limitMs / 1000 + " s");
        host.Sleep(100);
        practice.tick();
    }
}

function quoted(path) { return "\"" + path + "\""; }

host.Echo("Nelo speech practice demo (engine version " + ctrl.OcxGetEngineVer() + ")");

step("1. Lesson " + options.lesson + " from the Resources folder");
if (!practice.openLesson(options.lesson)) stop("no lesson");

step("2. Recording");
// Shorter than the default 2 s of silence ends a recording, so the demo does not wait long.
if (ctrl.OcxSetRecordTailSilenceTime(1200) != 1) stop("the tail-silence setting was refused");
if (!practice.startRecording(options.recording)) stop("the recording did not start");
waitUntil(function () { return !practice.recording; }, 60000, "the end of the recording");
if (!practice.hasRecording) stop("no complete recording (states " + practice.recordStates.join(", ") + ")");

step("3. Scoring with OcxScoreSoundByName");
if (!practice.score()) stop("scoring did not start");
waitUntil(function () { return !practice.scoring; }, 60000, "the score");
if (!practice.result) stop("no results");

step("4. Playing the recording, then the reference");
if (!practice.playRecording()) stop("cannot play the recording");
waitUntil(function () { return !practice.playing; }, 60000, "the end of the recording's playback");
if (!practice.playReference(options.reference)) stop("cannot play the reference");
waitUntil(function () { return !practice.playing; }, 60000, "the end of the reference's playback");

step("5. Picture of the recording");
var tempDir = host.Env("TMP") || host.Env("TEMP");
var workDir = tempDir.replace(/\\$/, "") + "\\NeloRecognition";
var recordingPath = workDir + "\\_RecordTemp\\" + options.recording;
var outDir = (options.out || workDir).replace(/\\$/, "");
var picturePath = outDir + "\\" + options.recording.replace(/\.[^.\\]*$/, "") + ".png";
var spans = [];
for (var w = 0; w < practice.result.words.length; w++) {
    var word = practice.result.words[w];
    if (word.start >= 0 && word.end >= word.start) spans.push(word.start + "-" + word.end + ":" + word.colour);
}
var drawn = host.Run(quoted(options["picture-tool"]) + " " + quoted(recordingPath) + " " + quoted(picturePath) + " " +
                     spans.join(" "), true);
if (drawn != 0) stop("the picture tool failed with exit code " + drawn);
host.Echo("  word colours: green from 80, amber from 60, red below 60, grey for a word not read");

practice.closeLesson();
host.Echo("");
host.Echo("Done.");
host.Echo("  log:       " + workDir + "\\NeloRecognition.log");
host.Echo("  recording: " + recordingPath);
host.Echo("  picture:   " + picturePath);
