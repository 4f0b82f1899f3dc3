#pragma once
// One QApplication for a whole widget test program, created before the first
// test and destroyed after the last. Include this header in any one source
// file of the program; the inline variable registers the environment once.
// Without a display the offscreen platform is used (ctest sets it too).

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace qm::test
{

struct QtAppEnvironment : ::testing::Environment {
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // QApplication keeps references to argc and argv for its whole life.
        static int argc = 1;
        static char name[] = "qm-widget-test", *argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }
    std::unique_ptr<QApplication> app;
};

inline ::testing::Environment *const qtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace qm::test
