' Runs after lib/helpers.vbs: its Subs, globals and event handler are live.
ctrl.Fire 1, 0, 42
ExpectEqual eventsSeen, "42;", "the library's handler"
host.Echo "uses_lib.vbs ok"
