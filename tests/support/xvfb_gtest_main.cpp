#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>

#include "support/xvfb_server.h"

// GoogleTest under one QGuiApplication on a private Xvfb; listing the tests needs no server.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    XvfbServer server;
    if (!server.start()) {
        std::fprintf(stderr, "%s\n", server.error().c_str());
        return 1;
    }
    server.exportDisplay();
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
