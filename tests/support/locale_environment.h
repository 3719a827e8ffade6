#pragma once

#include <gtest/gtest.h>

#include "support/scoped_env.h"

// The locale variables unset for each test, and put back afterwards.
class LocaleEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        for (ScopedEnv* variable : {&lcAll_, &lcTime_, &lang_}) variable->unset();
    }

private:
    ScopedEnv lcAll_{"LC_ALL", ""}, lcTime_{"LC_TIME", ""}, lang_{"LANG", ""};
};
