// Shared by the scoring scripts: steering the engine test double and reading what it got.

function Expect(got, want, what) {
    host.Assert(got === want, what + ": got " + got + ", want " + want);
}

// Replaces the double's answers with these lines (see the double's configuration text).
function FakeEngine(lines) {
    var path = host.Env("NELO_FAKEPS_CONFIG");
    host.Assert(path != "", "NELO_FAKEPS_CONFIG is set");
    host.WriteTextFile(path, lines.join("\n") + "\n");
}

// The double answers OcxGetOrgText with the last data handed to the engine:
// "<function> <HEX>".
function LastEngineData(session) {
    FakeEngine(["text PsGetOrgText @lastdata"]);
    return ctrl.OcxGetOrgText(session);
}

// Pumps messages until cond() holds; false after ms.
function WaitFor(cond, ms) {
    var end = host.Now() + ms;
    while (!cond()) {
        if (host.Now() > end) return false;
        host.Sleep(20);
    }
    return true;
}
