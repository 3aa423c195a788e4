#include "capture/CaptureBackEnd.h"

#include "capture/MediaObjects.h"
#include "capture/sim/SimulatorRegistration.h"

void PrepareCaptureBackEnd(bool simulatedCamera, const SimulatorSettings& simulator)
{
    if (!EnsureMediaFramework())
        return;
    RegisterVelaElements();
    if (simulatedCamera)
        RegisterSimulatorCamera(simulator);
}
