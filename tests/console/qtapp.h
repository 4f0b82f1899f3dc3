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

class QtAppEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    // QApplication keeps references to argc and argv for its whole life.
    char name_[16] = "qm-widget-test";
    char *argv_[2] = {name_, nullptr};
    int argc_ = 1;
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment *const qtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace qm::test
