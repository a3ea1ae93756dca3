' Script data conversions through VBScript: array variables passed by reference (branch B),
' elements converted by the automation rules, shapes refused; a buffer scored on a job.

Sub Expect(got, want, what)
    host.Assert got = want, what & ": got " & got & ", want " & want
End Sub

Sub FakeEngine(text)
    host.WriteTextFile host.Env("NELO_FAKEPS_CONFIG"), text & vbLf
End Sub

Function LastEngineData(s)
    FakeEngine "text PsGetOrgText @lastdata"
    LastEngineData = ctrl.OcxGetOrgText(s)
End Function

FakeEngine ""
s = ctrl.OcxStartSession()
host.Assert s <> 0, "a session"

' A dynamic array variable: by reference to an array of VARIANTs.
a = Array(1, 2, 255)
Expect ctrl.OcxLoadNet(s, a), 1, "Array(1, 2, 255)"
Expect LastEngineData(s), "PsLoadNet 0102FF", "bytes of Array(1, 2, 255)"

' A fixed-size array variable adds one more reference.
Dim f(2)
f(0) = 16 : f(1) = 0 : f(2) = 128
Expect ctrl.OcxLoadNet(s, f), 1, "Dim f(2)"
Expect LastEngineData(s), "PsLoadNet 100080", "bytes of f"

' Elements by the automation rules: a numeric string converts, out of range fails.
b = Array("200", 7)
Expect ctrl.OcxLoadNet(s, b), 1, "string element"
Expect LastEngineData(s), "PsLoadNet C807", "'200' is 200"
FakeEngine "text PsGetOrgText @lastdata"
Expect ctrl.OcxLoadNetByStr(s, "EE"), 1, "marker"
bad1 = Array(1, 256)
bad2 = Array(-1)
bad3 = Array("x1")
Expect ctrl.OcxLoadNet(s, bad1), 0, "256"
Expect ctrl.OcxLoadNet(s, bad2), 0, "-1"
Expect ctrl.OcxLoadNet(s, bad3), 0, "not a number"
Expect ctrl.OcxGetOrgText(s), "PsLoadNet EE", "refused arrays never reach the engine"

' Shapes: two dimensions, an array expression (by value), a number.
Dim m(1, 1)
m(0, 0) = 1 : m(0, 1) = 2 : m(1, 0) = 3 : m(1, 1) = 4
Expect ctrl.OcxLoadNet(s, m), 0, "two dimensions"
Expect ctrl.OcxLoadNet(s, Array(1, 2)), 0, "an array expression is passed by value"
n = 5
Expect ctrl.OcxLoadNet(s, n), 0, "a number variable"

' E-code counts.
e7 = Array(1, 2, 3, 4, 5, 6, 7)
e8 = Array(1, 2, 3, 4, 5, 6, 7, 8)
e9 = Array(1, 2, 3, 4, 5, 6, 7, 8, 9)
e0 = Array()
Expect ctrl.OcxSetECode(s, e7), 0, "7-byte e-code"
Expect ctrl.OcxSetECode(s, e9), 0, "9-byte e-code"
Expect ctrl.OcxSetECode(s, e8), 1, "8-byte e-code"
Expect LastEngineData(s), "PsSetECode 0102030405060708", "e-code bytes"
Expect ctrl.OcxSetECode(s, e0), 1, "empty e-code"
Expect LastEngineData(s), "PsSetECode null", "no e-code"
FakeEngine "set PsSetECode 0"
Expect ctrl.OcxSetECode(s, e8), 1, "an e-code the engine refuses still returns 1"

' A buffer scored on a job of its own.
FakeEngine ""
Expect ctrl.OcxScoreSoundByBuf(s, a, 0, 0), 1, "score job"
deadline = host.Now() + 30000
state = 0
Do While state = 0 And host.Now() < deadline
    host.Sleep 20
    state = ctrl.OcxGetScoreState(s)
Loop
Expect state, 1, "score state"
Expect LastEngineData(s), "PsSoundByPoint 0102FF", "the job's bytes"
Expect ctrl.OcxScoreSoundByBuf(s, e0, 0, 0), 0, "an empty buffer starts no job"

' Results only the dispatch table lists, by name.
FakeEngine "set PsGetResPhonemeCount 6"
Expect ctrl.OcxGetResPhonemeCount(s, 0), 6, "phoneme count by name"

host.Echo "conversions.vbs: ok"
