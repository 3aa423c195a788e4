#pragma once

#include "capture/sim/SimulatorSettings.h"
#include "recording/PowerActions.h"

class CaptureApp;
class PreviewSink;

// The start-up steps that the program with windows and the station without them share,
// in the order InitialiseApp and InitialiseHeadlessApp call them. None makes a widget.

// The records start-up fills from scratch.
void PrepareAppRecords(CaptureApp& app, bool simulatedCamera);
// The capture devices and their codecs; false when none was found (there is then no
// graph, and no Event is armed).
bool FindDevices(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator);
// The capture graph with its frame analysis, character sets and colour control; preview
// receives the pictures of the window renderer (none without a display).
void MakeCaptureGraph(CaptureApp& app, PreviewSink* preview);
void ReadOptionsFile(CaptureApp& app);
// Recordings that a killed program or a power cut left without header and index are
// rebuilt beside them, camera or not; each rebuilt one gets its timing record.
void RecoverRecordings(CaptureApp& app);
// The default camera, or the first one with a warning; false without a device.
bool ChooseDefaultCamera(CaptureApp& app);
// The frame size of the current device's selected format; false (said so) when the
// camera has no formats, and is then not usable.
bool UseSelectedFormat(CaptureApp& app);
// The scheduler's timers, each running the scheduler tick.
void InstallSchedulerTimers(CaptureApp& app);
// What the login manager allows, and the countdown before a power action.
void SetUpPowerActions(CaptureApp& app, PowerCountdown countdown);
// With a usable camera: the Event schedule (its rebuild arms the soonest Event), and the
// Events folder watched for files copied in, changed or deleted from then on.
void ArmScheduleAndWatchEvents(CaptureApp& app);
