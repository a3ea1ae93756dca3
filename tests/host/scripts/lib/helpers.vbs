' Shared helpers parsed before the main script with --lib.
Sub ExpectEqual(actual, expected, what)
  host.Assert actual = expected, what & ": expected " & expected & ", got " & actual
End Sub

Dim eventsSeen
eventsSeen = ""
Sub ctrl_EVENT_A(w, l)
  eventsSeen = eventsSeen & l & ";"
End Sub
