// Score jobs from a script: 32 jobs over four sessions at once, one event each; failures give
// outcome 2; the score state found from inside the event handler.

var events = [];
var readInHandler = [];
function ctrl::EVENT_SCORE_NOTIFY(wParam, lParam) {
    events.push([wParam, lParam]);
    if (readInHandler.length < 1) readInHandler.push(ctrl.OcxGetScoreState(wParam));
}

FakeEngine([]);
var sessions = [];
for (var k = 0; k < 4; k++) sessions.push(ctrl.OcxStartSession());

// One job first: the handler reads its record, which is queued before the event fires.
Expect(ctrl.OcxScoreSoundByStr(sessions[0], "0102", 0, 0), 1, "first job");
host.Assert(WaitFor(function () { return events.length == 1; }, 30000), "first event");
Expect(readInHandler[0], 1, "state read in the handler");
Expect(ctrl.OcxGetScoreState(sessions[0]), 0, "the handler took the record");

// 32 jobs, every fourth for one session; none reads anything before all are started.
events = [];
for (var i = 0; i < 32; i++) {
    var hex = (i < 16 ? "0" : "") + i.toString(16);
    Expect(ctrl.OcxScoreSoundByStr(sessions[i % 4], hex + "00", i, 0), 1, "job " + i);
}
host.Assert(WaitFor(function () { return events.length >= 32; }, 60000), "32 events, got " + events.length);
host.Sleep(300);
Expect(events.length, 32, "exactly one event per job");
var perSession = {};
for (var j = 0; j < events.length; j++) {
    Expect(events[j][1], 1, "outcome of event " + j);
    perSession[events[j][0]] = (perSession[events[j][0]] || 0) + 1;
}
for (var k2 = 0; k2 < 4; k2++) {
    Expect(perSession[sessions[k2]], 8, "events of session " + sessions[k2]);
    var read = 0;
    while (ctrl.OcxGetScoreState(sessions[k2]) != 0) read++;
    Expect(read, 8, "records of session " + sessions[k2]);
}

// The engine fails: outcome 2, event and record alike.
FakeEngine(["set PsSoundByName 0"]);
events = [];
Expect(ctrl.OcxScoreSoundByName(sessions[1], "missing.wav", 0, 0), 1, "job by name");
host.Assert(WaitFor(function () { return events.length == 1; }, 30000), "failure event");
Expect(events[0][0], sessions[1], "failure event's session");
Expect(events[0][1], 2, "failure outcome");
Expect(ctrl.OcxGetScoreState(sessions[1]), 2, "failure record");

// A refused name starts no job.
Expect(ctrl.OcxScoreSoundByName(sessions[1], "..\\escape.wav", 0, 0), 0, "refused name");
host.Sleep(200);
Expect(events.length, 1, "no event for a refused name");
host.Echo("score_jobs.js: ok");
