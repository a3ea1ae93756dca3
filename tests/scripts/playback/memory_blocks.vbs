' Memory blocks and script arrays end to end (VBScript passes array variables by
' reference, the way pages hand sounds to the control): create, clipped writes, release,
' opening and playing a block with each _nState, and a sound from an array read back with
' OcxGetFileData.

Dim events
events = 0
Sub ctrl_EVENT_PLAY_NOTIFY(w, l)
    host.Assert CDbl(w) = 0 And l = 1, "event (" & w & ", " & l & ")"
    events = events + 1
End Sub

Sub Expect(actual, expected, what)
    host.Assert actual = expected, what & ": expected " & expected & ", got " & actual
End Sub

Function WaitForEvents(n)
    Dim limit
    limit = host.Now() + 20000
    Do While events < n And host.Now() < limit
        host.Sleep 20
    Loop
    WaitForEvents = (events >= n)
End Function

' A 16 kHz mono 16-bit WAV of a 440 Hz tone, as hex digits.
Function Hex2(b)
    Hex2 = Right("0" & Hex(b), 2)
End Function
Function U32(v)
    Dim s, i
    s = ""
    For i = 1 To 4
        s = s & Hex2(v Mod 256)
        v = Int(v / 256)
    Next
    U32 = s
End Function
Function U16(v)
    U16 = Hex2(v Mod 256) & Hex2(Int(v / 256))
End Function
Function Ascii(t)
    Dim s, i
    s = ""
    For i = 1 To Len(t)
        s = s & Hex2(Asc(Mid(t, i, 1)))
    Next
    Ascii = s
End Function
Function ToneWavHex(ms)
    Dim n, samples, s, v, parts
    samples = 16 * ms
    s = Ascii("RIFF") & U32(36 + samples * 2) & Ascii("WAVE") & Ascii("fmt ") & U32(16) & U16(1) & U16(1) _
        & U32(16000) & U32(32000) & U16(2) & U16(16) & Ascii("data") & U32(samples * 2)
    For n = 0 To samples - 1
        v = Round(8000 * Sin(2 * 3.14159265358979 * 440 * n / 16000))
        If v < 0 Then v = v + 65536
        s = s & U16(v)
    Next
    ToneWavHex = s
End Function

' ---- Creation and release
Expect ctrl.OcxMemoryBlockCreate(0), 0, "create(0)"
Expect ctrl.OcxMemoryBlockCreate(-5), 0, "create(-5)"
Dim h, h2
h = ctrl.OcxMemoryBlockCreate(10)
h2 = ctrl.OcxMemoryBlockCreate(10)
host.Assert h > 0 And h2 > 0 And h <> h2, "two live handles " & h & ", " & h2
host.Assert h > 1000, "a handle is an opaque large number, not an index: " & h

' ---- Writes: 4 bytes at 8 of 10 copies 2; positions 10 and -1 are refused
Dim four(3)
four(0) = 1 : four(1) = 2 : four(2) = 3 : four(3) = 4
Expect ctrl.OcxMemoryBlockWrite(h, 8, four), 2, "write 4 bytes at 8"
Expect ctrl.OcxMemoryBlockWrite(h, 10, four), 0, "write at 10"
Expect ctrl.OcxMemoryBlockWrite(h, -1, four), 0, "write at -1"
Expect ctrl.OcxMemoryBlockWriteByStr(h, 0, "0A1B"), 2, "write hex 0A1B"
Expect ctrl.OcxMemoryBlockWriteByStr(h, 10, "0A1B"), 0, "hex write at 10"
Expect ctrl.OcxMemoryBlockWriteByStr(h, -1, "0A1B"), 0, "hex write at -1"
Expect ctrl.OcxMemoryBlockRelease(h), 1, "release"
Expect ctrl.OcxMemoryBlockRelease(h), 0, "release twice"
Expect ctrl.OcxMemoryBlockRelease(0), 0, "release 0"
Expect ctrl.OcxMemoryBlockWrite(h, 0, four), 0, "write to a released block"

' ---- A block holding a sound, opened with each _nState
Dim wav, size, b
wav = ToneWavHex(400)
size = Len(wav) / 2
b = ctrl.OcxMemoryBlockCreate(size)
Expect ctrl.OcxMemoryBlockWriteByStr(b, 0, Left(wav, 2000)), 1000, "first piece"
Expect ctrl.OcxMemoryBlockWriteByStr(b, 1000, Mid(wav, 2001)), size - 1000, "rest"
Expect ctrl.OcxOpenSoundByMBBuf(b, 0), 1, "open a block, keep it"
Expect ctrl.OcxMemoryBlockWriteByStr(b, 0, "52"), 1, "block still writable after state 0"
Expect ctrl.OcxOpenSoundByMBBuf(b, 2), 0, "state 2 refused"
Expect ctrl.OcxMemoryBlockWriteByStr(b, 0, "52"), 1, "block still there after state 2"
Expect ctrl.OcxPlaySound(), 1, "play the block's sound"
host.Assert WaitForEvents(1), "no event for the block's sound"
Expect ctrl.OcxOpenSoundByMBBuf(b, 1), 1, "open a block, hand it over"
Expect ctrl.OcxMemoryBlockRelease(b), 0, "block gone after state 1"
Expect ctrl.OcxCloseSound(), 1, "close the block's sound"

' ---- One call: unknown handle, then a real block played and closed after its end
Expect ctrl.OcxPlaySoundByMBBuf(b, 0), 0, "play an unknown handle"
b = ctrl.OcxMemoryBlockCreate(size)
Expect ctrl.OcxMemoryBlockWriteByStr(b, 0, wav), size, "fill"
Expect ctrl.OcxPlaySoundByMBBuf(b, 1), 1, "play a block"
host.Assert WaitForEvents(2), "no event for the played block"
Expect ctrl.OcxPlaySound(), 0, "closed after the end"

' ---- A sound as a script array: read a file back, hand the array over
Dim name, data
name = ctrl.OcxCreateFile()
host.WriteFileHex host.Env("TEMP") & "\NeloRecognition\_RecordTemp\" & name, wav
data = ctrl.OcxGetFileData(0, name)
Expect UBound(data) + 1, size, "bytes read back"
Expect data(0), 82, "first byte R"
Expect ctrl.OcxPlaySoundByBuf(data), 0, "play by array"
host.Assert WaitForEvents(3), "no event for the array's sound"
Expect ctrl.OcxPlaySound(), 0, "closed after the end"

host.Echo "memory blocks: all checks passed"
