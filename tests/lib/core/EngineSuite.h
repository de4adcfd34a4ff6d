// A test suite whose tests share one started engine (with its host main window and preview),
// which is created before the suite's first test and destroyed after its last.
#pragma once

#include <gtest/gtest.h>

#include "tests/lib/core/CoreTestSupport.h"

class CEngineSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_pHost = new CEngineHost(); }
    static void TearDownTestSuite() {
        delete s_pHost;
        s_pHost = nullptr;
    }
    // Every test starts from the default effect options with effects applied.
    void SetUp() override {
        Core().m_config.ResetImageOption();
        Core().m_config.m_bApplyEffects = TRUE;
    }
    static CTestCore& Core() { return s_pHost->m_core; }

    static inline CEngineHost* s_pHost = nullptr;
};
