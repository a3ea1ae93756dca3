// Runs after lib/helpers.js: its functions, globals and event handler are live.
expectEqual(typeof expectEqual, "function", "the library's function");
ctrl.Fire(1, 0, 42);
expectEqual(eventsSeen.join(), "42", "the library's handler");
host.Echo("uses_lib.js ok");
