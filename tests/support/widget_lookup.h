#pragma once

#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace kestrum::testing {

// A control of a window by its object name; a missing one fails the test.
template <typename T>
T* child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

template <typename T = QPushButton>
void click(QWidget* window, const char* name) {
    QTest::mouseClick(child<T>(window, name), Qt::LeftButton);
}

}  // namespace kestrum::testing
