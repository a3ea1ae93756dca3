// Events reach JScript handlers bound as `function ctrl::EVENT_X(w, l)`:
// fired synchronously from inside a method call, and posted from a worker
// thread and delivered while the script waits in host.Sleep.
var got = [];
function ctrl::EVENT_A(w, l) { got.push("A:" + w + ":" + l); }
function ctrl::EVENT_B(w, l) { got.push("B:" + w + ":" + l); }

host.Assert(ctrl.SinkCount() == 1, "the host advises exactly one sink, got " + ctrl.SinkCount());
host.Assert(ctrl.Add(2, 3) == 5, "method calls go through to the object");
// Without --activate the object is only created, as by a script's CreateObject.
host.Assert(ctrl.InPlaceActive() == 0 && ctrl.AmbientUserMode() == -1, "not activated, no client site");

// Synchronous: the handler has run before Fire returns.
host.Assert(ctrl.Fire(1, 7, -3) == 1, "Fire reached one sink");
host.Assert(got.join() == "A:7:-3", "synchronous EVENT_A, got " + got.join());
// The full unsigned range of wParam arrives intact.
ctrl.Fire(2, 4000000000, 5);
host.Assert(got[1] == "B:4000000000:5", "EVENT_B with a large wParam, got " + got[1]);

// Posted from a thread: nothing arrives until the script pumps.
ctrl.PostFromThread(1, 9, 100, 3, 20);
var start = host.Now();
while (got.length < 5 && host.Now() - start < 30000) host.Sleep(10);
host.Assert(got.slice(2).join() == "A:9:100,A:9:101,A:9:102", "posted events in order, got " + got.join());
host.Echo("events.js ok");
