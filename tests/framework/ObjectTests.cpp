#include <gtest/gtest.h>

#include "framework/Dialog.h"

namespace {

class CPlainWnd : public CWnd {};  // no class information of its own: it answers as CWnd

}  // namespace

TEST(RuntimeClassTest, ObjectsKnowTheirClassAndItsBases) {
    CWnd wnd;
    CDialog dlg;
    CPlainWnd plain;
    struct Row {
        const CObject* obj;
        const char* name;
        bool isWnd, isDialog;
    } rows[] = {
        {&wnd, "CWnd", true, false},
        {&dlg, "CDialog", true, true},
        {&plain, "CWnd", true, false},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(r.obj->GetRuntimeClass()->m_lpszClassName, r.name);
        EXPECT_TRUE(r.obj->IsKindOf(RUNTIME_CLASS(CObject))) << r.name;
        EXPECT_EQ(r.obj->IsKindOf(RUNTIME_CLASS(CWnd)), r.isWnd) << r.name;
        EXPECT_EQ(r.obj->IsKindOf(RUNTIME_CLASS(CDialog)), r.isDialog) << r.name;
    }
    EXPECT_EQ(RUNTIME_CLASS(CDialog)->m_pBaseClass, RUNTIME_CLASS(CWnd));
    EXPECT_EQ(RUNTIME_CLASS(CObject)->m_pBaseClass, nullptr);
}
