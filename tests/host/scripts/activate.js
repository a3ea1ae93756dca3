// --activate: the object is in-place active in the host's window and was
// told it runs in user mode; events still arrive.
host.Assert(ctrl.InPlaceActive() == 1, "in-place active");
host.Assert(ctrl.WindowParented() == 1, "its window is a child of the host's page window");
host.Assert(ctrl.AmbientUserMode() == 1, "ambient UserMode is TRUE");
var got = 0;
function ctrl::EVENT_A(w, l) { got = l; }
ctrl.PostFromThread(1, 0, 5, 1, 10);
var start = host.Now();
while (got == 0 && host.Now() - start < 30000) host.Sleep(10);
host.Assert(got == 5, "posted event while active, got " + got);
host.Echo("activate.js ok");
