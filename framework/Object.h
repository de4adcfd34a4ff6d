// CObject: the root of the framework's object classes, with a run-time class query. A class that
// wants to be asked "are you a kind of X?" declares DECLARE_DYNAMIC(Class) in its body and
// IMPLEMENT_DYNAMIC(Class, Base) in its .cpp; RUNTIME_CLASS(Class) names its description.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"

class CArchive;
class CDumpContext;

struct FX_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;

    // True for this class and every class it derives from.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                          \
public:                                                    \
    static const CRuntimeClass class##theClass;            \
    const CRuntimeClass* GetRuntimeClass() const override; \
                                                           \
private:

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                    \
    const CRuntimeClass theClass::class##theClass = {#theClass, sizeof(theClass), \
                                                     RUNTIME_CLASS(baseClass)};   \
    const CRuntimeClass* theClass::GetRuntimeClass() const { return RUNTIME_CLASS(theClass); }

class FX_API CObject {
public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    // Storage and diagnostics: nothing of this system uses them, but derived classes may.
    virtual void Serialize(CArchive&) {}
    virtual void AssertValid() const {}
    virtual void Dump(CDumpContext&) const {}

    BOOL IsKindOf(const CRuntimeClass* pClass) const {
        return GetRuntimeClass()->IsDerivedFrom(pClass);
    }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
