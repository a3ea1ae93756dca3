' End to end, as a page's VBScript would: empty queues at the start, and a posted
' notification arrives as EVENT_RECORD_NOTIFY with its state readable in the handler.
Dim recordCount, lastW, lastL, queuedInHandler
recordCount = 0

Sub ctrl_EVENT_RECORD_NOTIFY(wParam, lParam)
    recordCount = recordCount + 1
    lastW = CDbl(wParam)
    lastL = lParam
    queuedInHandler = ctrl.OcxGetRecordState()
End Sub

Function WaitForRecords(n, limitMs)
    Dim deadline
    deadline = host.Now() + limitMs
    Do While recordCount < n And host.Now() < deadline
        host.Sleep 20
    Loop
    WaitForRecords = (recordCount >= n)
End Function

host.Assert ctrl.OcxGetRecordState() = 0, "record queue starts empty"
host.Assert ctrl.OcxGetPlayState() = 0, "play queue starts empty"

' An end notice: class 17, code 0x30004 (stopped) becomes record state 7.
host.Assert host.Run("NeloPostNotify.exe 1125 17 196612", True) = 0, "the control's window was found"
host.Assert WaitForRecords(1, 20000), "EVENT_RECORD_NOTIFY arrived"
host.Assert lastW = 0 And lastL = 7, "record event (0, 7)"
host.Assert queuedInHandler = 7, "state 7 queued before the event fired"
host.Assert ctrl.OcxGetRecordState() = 0, "queue read empty again"
host.Echo "notify_events.vbs: ok"
