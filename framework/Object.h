// CObject and CRuntimeClass: run-time class information for the framework's windows and the
// classes built on them. A class says DECLARE_DYNAMIC(Class) in its declaration and
// IMPLEMENT_DYNAMIC(Class, Base) in its .cpp; RUNTIME_CLASS(Class) names its description and
// IsKindOf asks whether an object is of that class or one derived from it.
#pragma once

#include "framework/FxApi.h"

struct FX_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;  // null for CObject

    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class FX_API CObject {
public:
    CObject() = default;
    virtual ~CObject();

    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                          \
public:                                                    \
    static const CRuntimeClass class##theClass;            \
    const CRuntimeClass* GetRuntimeClass() const override; \
                                                           \
private:

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                    \
    const CRuntimeClass theClass::class##theClass = {                             \
        #theClass, static_cast<int>(sizeof(theClass)), RUNTIME_CLASS(baseClass)}; \
    const CRuntimeClass* theClass::GetRuntimeClass() const { return RUNTIME_CLASS(theClass); }
