// End to end, as a page's JScript would: the control starts with empty queues, and a
// notification posted to its window (as its worker threads post them) arrives as an event
// whose state the handler can read from the queue.
var records = [];
var scores = [];

function ctrl::EVENT_RECORD_NOTIFY(wParam, lParam) {
    records.push({ w: wParam, l: lParam, queued: ctrl.OcxGetRecordState() });
}

function ctrl::EVENT_SCORE_NOTIFY(wParam, lParam) {
    scores.push({ w: wParam, l: lParam, queued: ctrl.OcxGetScoreState(wParam) });
}

function waitFor(what, limitMs) {
    var end = host.Now() + limitMs;
    while (!what() && host.Now() < end) host.Sleep(20);
    return what();
}

host.Assert(ctrl.OcxGetRecordState() == 0, "record queue starts empty");
host.Assert(ctrl.OcxGetPlayState() == 0, "play queue starts empty");
host.Assert(ctrl.OcxGetResPhonemeCount(1, 0) == ctrl.OcxGetResPhonemeCount(1, 0), "DISPID 28 callable by name");

// 1125 with class 17 and code 2 is a voice-onset notice: record state 2.
host.Assert(host.Run("NeloPostNotify.exe 1125 17 2", true) == 0, "the control's window was found");
host.Assert(waitFor(function () { return records.length == 1; }, 20000), "EVENT_RECORD_NOTIFY arrived");
host.Assert(records[0].w == 0 && records[0].l == 2, "record event (0, 2), got (" + records[0].w + ", " + records[0].l + ")");
host.Assert(records[0].queued == 2, "state 2 queued before the event fired");
host.Assert(ctrl.OcxGetRecordState() == 0, "queue read empty again");

// 1127 with session 5 and outcome 1: a score notification.
host.Assert(host.Run("NeloPostNotify.exe 1127 5 1", true) == 0, "posted the score notice");
host.Assert(waitFor(function () { return scores.length == 1; }, 20000), "EVENT_SCORE_NOTIFY arrived");
host.Assert(scores[0].w == 5 && scores[0].l == 1 && scores[0].queued == 1, "score event (5, 1) with its state");
host.Echo("notify_events.js: ok");
