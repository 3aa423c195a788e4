#pragma once

#include "devices/DeviceTable.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

// An empty device table and User Messages log for each test.
class DeviceTableTest : public ::testing::Test {
protected:
    void SetUp() override { ClearDeviceTable(); }
    void TearDown() override { ClearDeviceTable(); }
    ScopedLogAndClock m_log{CalendarTime{2024, 3, 0, 10, 12, 0, 0, 0}};
};
