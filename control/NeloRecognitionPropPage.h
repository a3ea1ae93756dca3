// The control's (empty) property page: dialog 200 with caption string 200; it exchanges
// no property.
#pragma once
#include "PropertyPageBase.h"
#include "resource.h"

class CNeloRecognitionPropPage : public nelo::PropertyPageBase {
public:
    CNeloRecognitionPropPage()
        : nelo::PropertyPageBase(IDD_PROPPAGE_NELORECOGNITION, IDS_NELORECOGNITION_PPG_CAPTION) {}

    static HRESULT Create(REFIID riid, void** ppv) { return CreateInstance<CNeloRecognitionPropPage>(riid, ppv); }
};
