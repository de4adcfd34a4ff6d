// The run-time class information of the pick windows and the overlay.
#include <gtest/gtest.h>

#include "lib/snap/DlgActiveWin.h"
#include "lib/snap/DlgSnapObjHelper.h"
#include "lib/snap/DlgSnapRectHelper.h"
#include "lib/snap/SnapTipEdit.h"

TEST(SnapClassInfoTest, EachClassNamesItselfAndDerivesFromItsFrameworkBase) {
    CSnapTipEdit tip;
    CDlgSnapObjHelper pick;
    CDlgActiveWin chooser;
    CDlgSnapRectHelper overlay;
    struct Row {
        const CObject* obj;
        const CRuntimeClass* cls;
        const char* name;
        const CRuntimeClass* base;
    } rows[] = {
        {&tip, RUNTIME_CLASS(CSnapTipEdit), "CSnapTipEdit", RUNTIME_CLASS(CWnd)},
        {&pick, RUNTIME_CLASS(CDlgSnapObjHelper), "CDlgSnapObjHelper", RUNTIME_CLASS(CDialog)},
        {&chooser, RUNTIME_CLASS(CDlgActiveWin), "CDlgActiveWin", RUNTIME_CLASS(CDialog)},
        {&overlay, RUNTIME_CLASS(CDlgSnapRectHelper), "CDlgSnapRectHelper", RUNTIME_CLASS(CDialog)},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.obj->GetRuntimeClass(), r.cls) << r.name;
        EXPECT_STREQ(r.cls->m_lpszClassName, r.name);
        EXPECT_EQ(r.cls->m_pBaseClass, r.base) << r.name;
        EXPECT_TRUE(r.obj->IsKindOf(RUNTIME_CLASS(CWnd))) << r.name;
        EXPECT_EQ(r.obj->IsKindOf(RUNTIME_CLASS(CDialog)), r.base == RUNTIME_CLASS(CDialog))
            << r.name;
        for (const Row& other : rows) {
            if (&other == &r) continue;
            EXPECT_FALSE(r.obj->IsKindOf(other.cls)) << r.name << " as " << other.name;
        }
    }
}
