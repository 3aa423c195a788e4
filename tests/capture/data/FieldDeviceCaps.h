// Device caps as real systems report them, to run through the enumeration. Each entry is
// one device of a published `gst-device-monitor-1.0` printout (its lines joined with
// "; "), or of a program's device-monitor log where the comment says so; lines cut off in
// the source are left out and long printouts keep a few of their lines. The last two
// are analog grabbers for which no such printout was found: their caps are put together
// from a published driver report, as v4l2src builds caps for a driver that lists no frame
// sizes; the lower bounds of their size ranges are assumed.
#pragma once

struct FieldDevice {
    const char* name;
    const char* driver; // the v4l2.device.driver property where the source shows it
    const char* caps;
};

inline constexpr FieldDevice kFieldDevices[] = {
    // UVC webcam, frame-rate lists of odd rates (15/2), no 30 or 25 at these sizes.
    // https://github.com/opencv/opencv/issues/19458
    {"HD Pro Webcam C920", "",
     "video/x-raw, format=(string)YUY2, width=(int)2560, height=(int)1472, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)2/1; "
     "video/x-raw, format=(string)YUY2, width=(int)1920, height=(int)1080, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)5/1; "
     "video/x-raw, format=(string)YUY2, width=(int)1600, height=(int)896, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 15/2, 5/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)1280, height=(int)720, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 10/1, 15/2, 5/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)960, height=(int)720, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 15/1, 10/1, 15/2, 5/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)1024, height=(int)576, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 15/1, 10/1, 15/2, 5/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)800, height=(int)600, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 24/1, 20/1, 15/1, 10/1, 15/2, 5/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)864, height=(int)480, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 24/1, 20/1, 15/1, 10/1, 15/2, 5/1 }"},
    // 4K UVC webcam (the thread's Logitech BRIO), the MJPG part: rates up to 90.
    // https://github.com/bitsy-ai/printnanny-os/issues/154
    {"Logitech BRIO", "",
     "image/jpeg, width=4096, height=2160, pixel-aspect-ratio=1/1, framerate={ (fraction)30/1, (fraction)24/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)15/2, (fraction)5/1 }; "
     "image/jpeg, width=3840, height=2160, pixel-aspect-ratio=1/1, framerate={ (fraction)30/1, (fraction)24/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)15/2, (fraction)5/1 }; "
     "image/jpeg, width=2560, height=1440, pixel-aspect-ratio=1/1, framerate={ (fraction)30/1, (fraction)24/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)15/2, (fraction)5/1 }; "
     "image/jpeg, width=1920, height=1080, pixel-aspect-ratio=1/1, framerate={ (fraction)60/1, (fraction)30/1, (fraction)24/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)15/2, (fraction)5/1 }; "
     "image/jpeg, width=1600, height=896, pixel-aspect-ratio=1/1, framerate={ (fraction)30/1, (fraction)24/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)15/2, (fraction)5/1 }; "
     "image/jpeg, width=1280, height=720, pixel-aspect-ratio=1/1, framerate={ (fraction)90/1, (fraction)60/1, (fraction)30/1, (fraction)24/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)15/2, (fraction)5/1 }"},
    // Raspberry Pi ISP through v4l2: size ranges up to 16384 (with steps), a frame-rate
    // range, and each format again as (format:Interlaced) alternate fields.
    // https://github.com/bitsy-ai/printnanny-os/issues/158
    {"bcm2835-isp", "bcm2835-isp",
     "video/x-raw, format=BGR, width=[ 64, 16384 ], height=[ 64, 16384 ], framerate=[ 0/1, 2147483647/1 ]; "
     "video/x-raw(format:Interlaced), format=BGR, width=[ 64, 16384 ], height=[ 64, 16384 ], framerate=[ 0/1, 2147483647/1 ], interlace-mode=alternate; "
     "video/x-raw, format=RGB, width=[ 64, 16384 ], height=[ 64, 16384 ], framerate=[ 0/1, 2147483647/1 ]; "
     "video/x-raw(format:Interlaced), format=RGB, width=[ 64, 16384 ], height=[ 64, 16384 ], framerate=[ 0/1, 2147483647/1 ], interlace-mode=alternate; "
     "video/x-raw, format=NV21, width=[ 64, 16384, 2 ], height=[ 64, 16384, 2 ], framerate=[ 0/1, 2147483647/1 ]; "
     "video/x-raw(format:Interlaced), format=NV21, width=[ 64, 16384, 2 ], height=[ 64, 16384, 2 ], framerate=[ 0/1, 2147483647/1 ], interlace-mode=alternate; "
     "video/x-raw, format=RGB16, width=[ 64, 16384 ], height=[ 64, 16384 ], framerate=[ 0/1, 2147483647/1 ]; "
     "video/x-raw(format:Interlaced), format=RGB16, width=[ 64, 16384 ], height=[ 64, 16384 ], framerate=[ 0/1, 2147483647/1 ], interlace-mode=alternate; "
     "video/x-raw, format=YVYU, width=[ 64, 16384, 2 ], height=[ 64, 16384, 2 ], framerate=[ 0/1, 2147483647/1 ]"},
    // Raspberry Pi camera module through libcamera: sizes without any frame rate.
    // https://github.com/bitsy-ai/printnanny-os/issues/158
    {"/base/soc/i2c0mux/i2c@1/imx219@10", "",
     "video/x-raw, format=NV21, width=160, height=120; video/x-raw, format=NV21, width=320, height=240; "
     "video/x-raw, format=NV21, width=640, height=480; video/x-raw, format=NV21, width=720, height=480; "
     "video/x-raw, format=NV21, width=720, height=576; video/x-raw, format=NV21, width=1280, height=720"},
    // UVC camera, from a program's device-monitor log (its properties name uvcvideo).
    // https://github.com/dusty-nv/jetson-inference/issues/864
    {"VOLERS HD CAMERA", "uvcvideo",
     "video/x-raw, format=(string)YUY2, width=(int)1920, height=(int)1080, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)30/1; "
     "video/x-raw, format=(string)YUY2, width=(int)1280, height=(int)720, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)30/1; "
     "video/x-raw, format=(string)YUY2, width=(int)640, height=(int)480, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)30/1; "
     "video/x-raw, format=(string)YUY2, width=(int)352, height=(int)288, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)30/1; "
     "video/x-raw, format=(string)YUY2, width=(int)320, height=(int)240, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction)30/1"},
    // UVC webcam on Linux: the same rate list, 30 and 25 among them, at every size.
    // https://github.com/vkohaupt/vokoscreenNG/issues/113
    {"UVC Camera (046d:0825)", "",
     "video/x-raw, format=YUY2, width=640, height=480, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }; "
     "video/x-raw, format=YUY2, width=160, height=120, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }; "
     "video/x-raw, format=YUY2, width=176, height=144, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }; "
     "video/x-raw, format=YUY2, width=320, height=176, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }; "
     "video/x-raw, format=YUY2, width=320, height=240, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }; "
     "video/x-raw, format=YUY2, width=352, height=288, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }; "
     "video/x-raw, format=YUY2, width=432, height=240, framerate={ (fraction)30/1, (fraction)25/1, (fraction)20/1, (fraction)15/1, (fraction)10/1, (fraction)5/1 }"},
    // UVC conference camera, MJPG only: repeated rates and a repeated 1280x720 entry.
    // https://github.com/webcamoid/webcamoid/issues/433
    {"Jabra PanaCast", "",
     "image/jpeg, width=(int)3840, height=(int)1080, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 22/1, 15/1 }; "
     "image/jpeg, width=(int)1920, height=(int)1080, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 30/1, 24/1, 15/1 }; "
     "image/jpeg, width=(int)1280, height=(int)720, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 30/1, 27/1, 24/1, 15/1, 30/1, 27/1, 24/1, 15/1, 30/1, 27/1, 24/1, 15/1 }; "
     "image/jpeg, width=(int)1280, height=(int)720, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 30/1, 27/1, 24/1, 15/1, 30/1, 27/1, 24/1, 15/1, 30/1, 27/1, 24/1, 15/1 }; "
     "image/jpeg, width=(int)960, height=(int)544, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 30/1, 27/1, 24/1, 15/1 }; "
     "image/jpeg, width=(int)640, height=(int)360, pixel-aspect-ratio=(fraction)1/1, framerate=(fraction){ 30/1, 27/1, 24/1, 15/1 }"},
    // Built-in camera (another system's source element): colorimetry, interlace-mode and
    // the NTSC rate written 2997/100.
    // https://github.com/gohai/processing-glvideo/issues/8
    {"FaceTime HD Camera (Built-in)", "",
     "video/x-raw, format=(string)YUY2, width=(int)1280, height=(int)720, pixel-aspect-ratio=(fraction)1/1, interlace-mode=(string)progressive, colorimetry=(string)2:4:7:1, framerate=(fraction)10/1; "
     "video/x-raw, format=(string)YUY2, width=(int)640, height=(int)480, pixel-aspect-ratio=(fraction)1/1, interlace-mode=(string)progressive, colorimetry=(string)2:4:7:1, framerate=(fraction){ 2997/100, 25/1, 24/1, 15/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)480, height=(int)360, pixel-aspect-ratio=(fraction)1/1, interlace-mode=(string)progressive, colorimetry=(string)2:4:7:1, framerate=(fraction){ 2997/100, 25/1, 24/1, 15/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)352, height=(int)288, pixel-aspect-ratio=(fraction)1/1, interlace-mode=(string)progressive, colorimetry=(string)2:4:7:1, framerate=(fraction){ 2997/100, 25/1, 24/1, 15/1 }; "
     "video/x-raw, format=(string)YUY2, width=(int)320, height=(int)240, pixel-aspect-ratio=(fraction)1/1, interlace-mode=(string)progressive, colorimetry=(string)2:4:7:1, framerate=(fraction){ 2997/100, 25/1, 24/1, 15/1 }"},
    // USB camera (another system's source element): UYVY in GL memory only.
    // https://github.com/awslabs/amazon-kinesis-video-streams-producer-sdk-cpp/issues/759
    {"H264 USB Camera #3", "",
     "video/x-raw(memory:GLMemory), width=640, height={ (int)360, (int)480 }, format=UYVY, framerate={ (fraction)10000000/333333, (fraction)25/1, (fraction)5000000/333333 }, texture-target=rectangle; "
     "video/x-raw(memory:GLMemory), width=352, height=288, format=UYVY, framerate={ (fraction)10000000/333333, (fraction)25/1, (fraction)5000000/333333 }, texture-target=rectangle; "
     "video/x-raw(memory:GLMemory), width=1920, height=1080, format=UYVY, framerate={ (fraction)10000000/333333, (fraction)25/1, (fraction)5000000/333333 }, texture-target=rectangle"},
    // Laptop camera (another system's source element): NV12 with a frame-rate range and a
    // non-square pixel aspect ratio.
    // https://github.com/awslabs/amazon-kinesis-video-streams-producer-sdk-cpp/issues/308
    {"Intel(R) AVStream Camera 2500", "",
     "video/x-raw, format=(string)NV12, width=(int)1920, height=(int)1080, framerate=(fraction)[ 15/1, 30/1 ], pixel-aspect-ratio=(fraction)1/1; "
     "video/x-raw, format=(string)NV12, width=(int)640, height=(int)480, framerate=(fraction)[ 15/1, 30/1 ], pixel-aspect-ratio=(fraction)1/1; "
     "video/x-raw, format=(string)NV12, width=(int)640, height=(int)640, framerate=(fraction)[ 15/1, 30/1 ], pixel-aspect-ratio=(fraction)12/11"},
    // em28xx grabber on PAL: YUYV 720/576 interlaced, standard PAL, from v4l2-ctl --all.
    // https://github.com/raspberrypi/linux/issues/813
    {"Pinnacle Dazzle DVC 90/100/101/", "em28xx",
     "video/x-raw, format=YUY2, width=[ 48, 720 ], height=[ 32, 576 ], framerate=25/1, interlace-mode=interleaved"},
    // stk1160 grabber: UYVY first, then RGB3, BGR3, YU12, YV12 at 720x576, 25 fps (guvcview).
    // https://github.com/raspberrypi/linux/issues/620
    {"stk1160", "stk1160",
     "video/x-raw, format=UYVY, width=[ 48, 720 ], height=[ 32, 576 ], framerate=25/1, interlace-mode=interleaved; "
     "video/x-raw, format=RGB, width=[ 48, 720 ], height=[ 32, 576 ], framerate=25/1, interlace-mode=interleaved; "
     "video/x-raw, format=BGR, width=[ 48, 720 ], height=[ 32, 576 ], framerate=25/1, interlace-mode=interleaved; "
     "video/x-raw, format=I420, width=[ 48, 720 ], height=[ 32, 576 ], framerate=25/1, interlace-mode=interleaved; "
     "video/x-raw, format=YV12, width=[ 48, 720 ], height=[ 32, 576 ], framerate=25/1, interlace-mode=interleaved"},
};
