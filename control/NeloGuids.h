// The module's five identifiers, fixed for good: hosts and pages refer to them.
// NeloRecognition.idl carries the same values (a test compares them with the type library).
#pragma once
#include <windows.h>

// {DC3A5FFD-CC76-48CB-A4DD-698E16DADED5}
extern const GUID LIBID_NeloRecognitionLib;
// {DA8C9546-EA87-4159-A761-9D3ABFC112CB}
extern const IID DIID__DNeloRecognition;
// {F58012EE-BD24-4FDB-AE1F-BE098A61E95B}
extern const IID DIID__DNeloRecognitionEvents;
// {0C9521D2-A994-4EB9-A534-7BA57A87BC86}
extern const CLSID CLSID_NeloRecognitionCtrl;
// {9B830140-318A-449A-87F1-68CADD515D68}
extern const CLSID CLSID_NeloRecognitionPropPage;

// Type library version and the control's own version (version-only property exchange).
const WORD kTypeLibMajor = 1;
const WORD kTypeLibMinor = 0;
const WORD kControlVersionMajor = 1;
const WORD kControlVersionMinor = 0;
