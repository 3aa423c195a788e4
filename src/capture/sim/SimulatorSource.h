#pragma once

#include <gst/gst.h>

// "velavtisim": the simulator camera as a live push source. It offers the formats of
// SimulatorFormats.h and draws SimulatorScene pictures with a VTI time line.
//
// Properties:
//   is-live          TRUE: paced by the clock at the format's rate, the VTI shows utc-clock's
//                    UTC. FALSE: as fast as downstream takes frames; the VTI follows the
//                    buffer timestamps from the UTC time at start.
//   offset           VTI minus UTC at start, milliseconds.
//   drift            VTI drift, milliseconds per minute.
//   drop-every       N > 0: every Nth frame is not pushed; its sequence number is used up.
//   row-base         first row of the time line (432 or 396).
//   camera-attached  use the camera-attached column table.
//   unplug-file      while a file of this name exists the camera is unplugged, as a USB
//                    grabber pulled out: it refuses to start (resource not found) and a
//                    running stream ends with a read error, as a V4L2 source's would.
//   utc-clock        the Clock (a pointer, outliving the element) whose UTC the VTI shows;
//                    NULL, the default, is the computer's clock.
// Buffer offsets are frame sequence numbers, as V4L2 gives them: a gap is a dropped frame.
GType VelaVtiSimGetType();

inline constexpr const char* kSimulatorElementName = "velavtisim";
// The name of the device the source stands for, as listed and as its errors name it.
inline constexpr const char* kSimulatorDeviceName = "VTI Simulator";
