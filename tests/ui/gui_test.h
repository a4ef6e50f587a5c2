#pragma once
// Helpers shared by the GUI tests: a message seam that fails the test on any box it was
// not told to expect, and showing a window so that it takes the keyboard focus.
#include "ui/kit/scripted_messages.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// A ScriptedMessages whose unexpected boxes fail the running test.
class ExpectedBoxes : public ScriptedMessages {
public:
    ExpectedBoxes() : ScriptedMessages([](const QString &what) { ADD_FAILURE() << what.toStdString(); }) {}
    ~ExpectedBoxes() override { EXPECT_EQ(pending(), 0) << "expected boxes that were never shown"; }
};

inline void showActive(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}
