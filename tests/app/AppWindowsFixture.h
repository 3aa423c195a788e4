#pragma once

#include "app/CaptureApp.h"
#include "recording/GraphControl.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

// Stands in for the capture graph: counts stops and builds and keeps every colour call.
class FakeGraph final : public GraphControl {
public:
    Status BuildGraph(const QString*, bool) override;
    Status StopGraph() override;
    Status SetBrightnessContrast(int brightness, int contrast) override;
    void Reset();

    int builds = 0;
    int stops = 0;
    std::vector<std::pair<int, int>> colour;
};

// Deletes the top-level windows and the application object of a started program.
void EndStartedApp(CaptureApp* app);

// The program's windows started offscreen without a camera, once per suite, with a fake
// graph installed for each test and an empty, silent log.
class AppWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static inline ScopedProcessDirectory* s_dir = nullptr;
    static inline CaptureApp* s_app = nullptr;
    FakeGraph m_graph;
};
