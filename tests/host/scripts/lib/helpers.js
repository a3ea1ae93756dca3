// Shared helpers parsed before the main script with --lib.
function expectEqual(actual, expected, what) {
    host.Assert(actual === expected, what + ": expected " + expected + ", got " + actual);
}
var eventsSeen = [];
function ctrl::EVENT_A(w, l) { eventsSeen.push(l); }
