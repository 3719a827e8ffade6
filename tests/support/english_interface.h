#pragma once

#include <gtest/gtest.h>

#include "app/interface_translation.h"

// The program's English texts for the life of the object, as under LANG=en_US.UTF-8; the French
// source texts again afterwards, for the tests that follow in the same process.
class EnglishInterface {
public:
    EnglishInterface() {
        EXPECT_TRUE(orvalin::installInterfaceTranslation(orvalin::InterfaceLanguage::English));
    }
    ~EnglishInterface() { orvalin::installInterfaceTranslation(orvalin::InterfaceLanguage::French); }
    EnglishInterface(const EnglishInterface&) = delete;
    EnglishInterface& operator=(const EnglishInterface&) = delete;
};
