// Events re-enter the script while it is inside host.Sleep, including a
// handler's own Sleep: a nested event runs to completion inside the outer
// handler's wait, and everything arrives once, in posting order.
var log = [];
var depth = 0, maxDepth = 0;
function ctrl::EVENT_A(w, l) {
    depth++;
    maxDepth = Math.max(maxDepth, depth);
    log.push("enter " + l);
    // The first handler waits long enough for the next posts to arrive inside it.
    if (l == 0) {
        var start = host.Now();
        while (log.length < 3 && host.Now() - start < 30000) host.Sleep(10);
    }
    log.push("leave " + l);
    depth--;
}

ctrl.PostFromThread(1, 0, 0, 2, 30);
var start = host.Now();
while (log.length < 4 && host.Now() - start < 30000) host.Sleep(10);
host.Assert(log.join() == "enter 0,enter 1,leave 1,leave 0", "nested delivery, got " + log.join());
host.Assert(maxDepth == 2, "the second event ran inside the first handler");

// The script may call the object from inside a handler, and that call may fire again.
var inner = [];
function ctrl::EVENT_B(w, l) {
    inner.push(l);
    if (l < 3) ctrl.Fire(2, 0, l + 1);
}
ctrl.Fire(2, 0, 1);
host.Assert(inner.join() == "1,2,3", "synchronous re-entry from a handler, got " + inner.join());
host.Echo("reentrancy.js ok");
