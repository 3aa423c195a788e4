#pragma once

#include "filter/AnalysisSettings.h"

#include <QString>
#include <chrono>
#include <cstdint>

struct WorkAreaRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Known() const { return right > 0 && bottom > 0; }
};

// The application-wide state that several subsystems read and write. It is part of
// the one CaptureApp object, which hands a reference to each part that uses it.
struct AppState {
    WorkAreaRect WorkArea;
    bool UsableCamera = false;
    bool QuitRequested = false;
    std::int32_t DeviceCount = 0;
    bool RecordingActive = false;
    bool EventArmed = false;
    bool EventRecordingActive = false;
    bool PowerActionPending = false;
    bool BrightnessContrastShown = false;
    bool ScheduleReloadPending = false;
    QString RecordingFileName;
    QString StartRecordingText; // "Start recording at hh:mm:ss (UTC)" of the current recording
    QString StopRecordingText;
    std::chrono::milliseconds EventDuration{0}; // of the Event being recorded; 0 for a manual recording
    // Analysis settings that the filter dialogs request; the graph takes them at build time.
    RequestedAnalysis Analysis;
};

