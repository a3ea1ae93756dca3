' Events reach VBScript Subs named ctrl_EVENT_X: fired synchronously from
' inside a method call, and posted from a worker thread and delivered while
' the script waits in host.Sleep.
Dim got
got = ""

Sub ctrl_EVENT_A(w, l)
  got = got & "A:" & w & ":" & l & ";"
End Sub

Sub ctrl_EVENT_B(w, l)
  got = got & "B:" & w & ":" & l & ";"
  ' Wine's VBScript cannot compare unsigned values; the host's conversion makes this work.
  If w > 100 Then got = got & "big;"
End Sub

host.Assert ctrl.SinkCount() = 1, "the host advises exactly one sink"
host.Assert ctrl.Fire(1, 7, -3) = 1, "Fire reached one sink"
host.Assert got = "A:7:-3;", "synchronous EVENT_A, got " & got
ctrl.Fire 2, 4000000000, 5
host.Assert got = "A:7:-3;B:4000000000:5;big;", "EVENT_B with a large wParam, got " & got

got = ""
ctrl.PostFromThread 1, 9, 100, 3, 20
start = host.Now
Do While Len(got) < Len("A:9:100;A:9:101;A:9:102;") And host.Now - start < 30000
  host.Sleep 10
Loop
host.Assert got = "A:9:100;A:9:101;A:9:102;", "posted events in order, got " & got
host.Echo "events.vbs ok"
