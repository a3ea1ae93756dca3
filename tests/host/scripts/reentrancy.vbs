' Events re-enter the script while it is inside host.Sleep, including a
' handler's own Sleep; a handler may call the object, which fires again.
Dim log, depth, maxDepth
log = ""
depth = 0
maxDepth = 0

Sub ctrl_EVENT_A(w, l)
  depth = depth + 1
  If depth > maxDepth Then maxDepth = depth
  log = log & "enter " & l & ";"
  If l = 0 Then
    Dim start
    start = host.Now
    Do While InStr(log, "enter 1;") = 0 And host.Now - start < 30000
      host.Sleep 10
    Loop
  End If
  log = log & "leave " & l & ";"
  depth = depth - 1
End Sub

Dim inner
inner = ""
Sub ctrl_EVENT_B(w, l)
  inner = inner & l & ";"
  If l < 3 Then ctrl.Fire 2, 0, l + 1
End Sub

ctrl.PostFromThread 1, 0, 0, 2, 30
Dim t0
t0 = host.Now
Do While InStr(log, "leave 0;") = 0 And host.Now - t0 < 30000
  host.Sleep 10
Loop
host.Assert log = "enter 0;enter 1;leave 1;leave 0;", "nested delivery, got " & log
host.Assert maxDepth = 2, "the second event ran inside the first handler"

ctrl.Fire 2, 0, 1
host.Assert inner = "1;2;3;", "synchronous re-entry from a handler, got " & inner
host.Echo "reentrancy.vbs ok"
