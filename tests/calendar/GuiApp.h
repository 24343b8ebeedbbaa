#pragma once
// One QGuiApplication for a whole test program (text drawing needs Qt's
// font database). Created before the first test, ended after the last.

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace skyloom::test {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QGuiApplication::instance())
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_calendar";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace skyloom::test
