#include "ClassFactory.h"

namespace nelo {

HRESULT GetClassObjectFrom(ClassFactory* const* factories, size_t count, REFCLSID clsid,
                           REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (factories[i]->Clsid() == clsid) return factories[i]->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace nelo
