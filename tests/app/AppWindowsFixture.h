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
    Status BuildGraph(const QString*, bool) override
    {
        ++builds;
        return Status::Ok;
    }
    Status StopGraph() override
    {
        ++stops;
        return Status::Ok;
    }
    Status SetBrightnessContrast(int brightness, int contrast) override
    {
        colour.emplace_back(brightness, contrast);
        return Status::Ok;
    }

    int builds = 0;
    int stops = 0;
    std::vector<std::pair<int, int>> colour;
};

// The program started offscreen without a camera, once per suite (it starts once per
// process), with a fresh fake graph for each test and an empty, silent log.
class AppWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override { s_app->UseGraph(nullptr); }

    static inline ScopedProcessDirectory* s_dir = nullptr;
    static inline CaptureApp* s_app = nullptr;
    static inline Status s_started = Status::Aborted;
    FakeGraph m_graph;
};
