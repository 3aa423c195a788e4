#include "app/Startup.h"

#include "app/CaptureApp.h"
#include "app/Headless.h"
#include "app/StartupSteps.h"
#include "app/MainLoop.h"
#include "app/SignalBridge.h"
#include "app/SingleInstance.h"
#include "app/TimeZoneCheck.h"
#include "app/WindowPlacement.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RecordingUiAdapter.h"
#include "app/ui/VideoWindow.h"
#include "capture/CaptureGraph.h"
#include "capture/TimingRecords.h"
#include "common/Clock.h"
#include "common/ResourceLocator.h"
#include "devices/DeviceTable.h"
#include "events/EventFolderWatch.h"
#include "filter/CharacterSet.h"
#include "filter/FramePipeline.h"
#include "messages/MessageTables.h"
#include "messages/SaveUserMessages.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "options/AppOptions.h"
#include "options/OptionsFile.h"
#include "recording/LogindPower.h"
#include "recording/PowerActions.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerTimerSet.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <chrono>
#include <memory>
#include <new>

namespace {

QIcon LoadIcon(const char* file)
{
    const std::string path = ResourcePath(std::string("VelaVideoIcons/") + file);
    QIcon icon(QString::fromStdString(path));
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

// Asks for the named family first, then the DejaVu fallback. Fails (with the warning)
// only when neither is installed.
QFont MakeFont(UserMessageLog& log, const char* family, const char* fallback, int pixelHeight, int failureMessage)
{
    QFont f;
    f.setFamilies({QString::fromLatin1(family), QString::fromLatin1(fallback)});
    f.setPixelSize(pixelHeight);
    if (!QFontDatabase::hasFamily(QString::fromLatin1(family)) && !QFontDatabase::hasFamily(QString::fromLatin1(fallback)))
        ReportAppMessage(log, failureMessage);
    return f;
}

void CreateFonts(CaptureApp& app)
{
    app.fonts.countdown = MakeFont(app.messages, "Tahoma", "DejaVu Sans", 72, 2);
    app.fonts.buttons = MakeFont(app.messages, "Tahoma", "DejaVu Sans", 20, 3);
    app.fonts.lists = MakeFont(app.messages, "Consolas", "DejaVu Sans Mono", 18, 4);
    app.fonts.eventList = MakeFont(app.messages, "Consolas", "DejaVu Sans Mono", 16, 5);
    app.fonts.powerCountdown = MakeFont(app.messages, "Consolas", "DejaVu Sans Mono", 28, 6);
}

// Only when devices were found; without them no camera is usable.
void ChooseCamera(CaptureApp& app)
{
    app.state.UsableCamera = ChooseDefaultCamera(app) && SizeVideoWindowToFormat(app, app.videoWindow);
    // The overlay renderers draw into a native window of their own.
    if (app.state.UsableCamera && app.options.DefaultRenderer != VideoRenderer::Window && app.videoWindow)
        app.captureGraph->SetWindowHandle(static_cast<std::uintptr_t>(app.videoWindow->winId()));
}

// The message log and what the start-up reads first.
void PrepareAppState(CaptureApp& app, bool simulatedCamera)
{
    PrepareAppRecords(app, simulatedCamera);
    // The desktop work area, exclusive right and bottom.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        app.state.WorkArea = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
}

// A missing file is not reported.
void LoadIcons(CaptureApp& app)
{
    app.icons.logoLarge = LoadIcon("VELA_logo_large.ico");
    app.icons.logoSmall = LoadIcon("VELA_logo_small.ico");
    app.icons.folder = LoadIcon("folder32x.ico");
    app.icons.folderClear = LoadIcon("folderClear32x.ico");
    app.icons.stop = LoadIcon("stop64x.ico");
    app.icons.start = LoadIcon("start64x.ico");
}

// The User Messages window (made while the main window is created), the main window, the
// menus attached but empty, and the message view.
Status CreateWindows(CaptureApp& app)
{
    app.userMessagesWindow = new (std::nothrow) UserMessagesWindow(app.messages);
    if (!app.userMessagesWindow) {
        ReportAppMessage(app.messages, 9);
        return Status::Aborted;
    }
    app.mainWindow = new (std::nothrow) MainWindow(app);
    if (!app.mainWindow) {
        ReportAppMessage(app.messages, 1);
        return Status::Aborted;
    }
    app.mainMenuBar = app.mainWindow->menuBar();
    const char* titles[] = {"File", "Events", "Display", "Options", "Help"};
    for (std::size_t i = 0; i < app.menus.size(); ++i)
        app.menus[i] = app.mainMenuBar->addMenu(QString::fromLatin1(titles[i]));
    app.messagesFileMenu = app.userMessagesWindow->FileMenu();
    if (!app.userMessagesWindow->CreateView()) {
        ReportAppMessage(app.messages, 10);
        return Status::Aborted;
    }
    return Status::Ok;
}

// Devices, codecs, the video window and the capture graph (with the frame analysis, its
// character sets and the colour control). Without a device there is no graph.
Status FindDevicesAndGraph(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator)
{
    if (!FindDevices(app, simulatedCamera, simulator))
        return Status::Ok;
    auto* video = new (std::nothrow) VideoWindow(app.mainWindow->centralWidget());
    if (!video) {
        ReportAppMessage(app.messages, 7);
        return Status::Aborted;
    }
    video->setGeometry(0, 0, 100, 100);
    app.videoWindow = video;
    MakeCaptureGraph(app, video);
    return Status::Ok;
}

void FillMessagesMenu(CaptureApp& app)
{
    QAction* save = AppendMenuEntry(app.messagesFileMenu, QStringLiteral("Save Messages"), MenuCommand::SaveMessages);
    QAction* saveClear = AppendMenuEntry(app.messagesFileMenu, QStringLiteral("Save Messages and Clear"),
                                         MenuCommand::SaveMessagesAndClear);
    QObject::connect(save, &QAction::triggered, [&app] { SaveUserMessages(app.messages, app.options, app.clock, false); });
    QObject::connect(saveClear, &QAction::triggered, [&app] { SaveUserMessages(app.messages, app.options, app.clock, true); });
}

void ShowWindow(QWidget* window, bool minimised)
{
    if (minimised)
        window->showMinimized();
    else
        window->show();
}

void ShowUserMessages(CaptureApp& app)
{
    const WindowPosition4& place = app.options.MessageWindowPosition;
    app.userMessagesWindow->move(place.left, place.top);
    app.userMessagesWindow->resize(place.width, place.height);
    ShowWindow(app.userMessagesWindow, app.showMinimised);
}

// The countdown and brightness/contrast windows, not yet shown, and the window icons
// where they were loaded.
void CreateChildWindows(CaptureApp& app)
{
    app.countdownWindow = new CountdownWindow(app);
    app.brightnessContrastWindow = new BrightnessContrastWindow(app);
    if (app.icons.logoLarge.isNull() && app.icons.logoSmall.isNull())
        return;
    QIcon windowIcon = app.icons.logoLarge;
    for (const QSize& s : app.icons.logoSmall.availableSizes())
        windowIcon.addPixmap(app.icons.logoSmall.pixmap(s));
    QApplication::setWindowIcon(windowIcon);
    for (QWidget* w : std::initializer_list<QWidget*>{app.mainWindow, app.userMessagesWindow, app.countdownWindow,
                                                      app.brightnessContrastWindow})
        w->setWindowIcon(windowIcon);
}

Status CreateControlsWindow(CaptureApp& app)
{
    app.controlsWindow = new (std::nothrow) ControlsWindow(app);
    if (!app.controlsWindow) {
        ReportAppMessage(app.messages, 8);
        return Status::Aborted;
    }
    // The scheduler reaches the windows and the main window's timers from here on.
    InstallRecordingUi(app);
    return Status::Ok;
}

// The main window fitted to the frame and the work area; the child windows at their
// stored places when a camera is usable.
void PlaceWindows(CaptureApp& app)
{
    const AppOptions& options = app.options;
    const WindowPosition4 place = PlaceMainWindow(app.frameWidth, app.frameHeight, options.MainWindowPosition,
                                                  options.OptionsLoadedFromFile, app.state.WorkArea);
    app.mainWindow->move(place.left, place.top);
    app.mainWindow->resize(place.width, place.height);
    if (!app.state.UsableCamera)
        return;
    app.controlsWindow->move(options.ControlsWindowPosition.left, options.ControlsWindowPosition.top);
    app.countdownWindow->move(options.CountdownWindowPosition.left, options.CountdownWindowPosition.top);
    app.brightnessContrastWindow->move(options.BrightnessContrastWindowPosition.left,
                                       options.BrightnessContrastWindowPosition.top);
}

void ShowWindows(CaptureApp& app)
{
    ShowWindow(app.mainWindow, app.showMinimised);
    if (app.state.UsableCamera)
        ShowWindow(app.controlsWindow, app.showMinimised);
    else
        app.controlsWindow->hide();
}

std::unique_ptr<QLabel> ShowSplash()
{
    auto splash = std::make_unique<QLabel>(QStringLiteral("VELA Video Capture Initialization..."));
    splash->setWindowTitle(QStringLiteral("VELA Video Capture Initialization..."));
    splash->setAlignment(Qt::AlignCenter);
    splash->setGeometry(200, 200, 300, 100);
    splash->show();
    QCoreApplication::processEvents();
    return splash;
}

// The splash, the application object's start-up and the first preview.
Status StartUp(CaptureApp& app, const CommandLine& commandLine)
{
    const std::unique_ptr<QLabel> splash = ShowSplash();
    app.messages.SetFatalHandler([](const QString& line) {
        QMessageBox::critical(nullptr, QStringLiteral("VELA Video App"), ToParagraphs(line));
    });
    if (Failed(InitialiseApp(app, commandLine.simulatedCamera, commandLine.simulator)))
        return Status::Aborted;
    // Without it the program runs on: the graph has said why, and Events are still armed.
    if (app.state.DeviceCount > 0)
        static_cast<void>(app.recording.StartCapture());
    return Status::Ok;
}

Status StartUpHeadless(CaptureApp& app, const CommandLine& commandLine)
{
    if (const Status s = InitialiseHeadlessApp(app, commandLine.simulatedCamera, commandLine.simulator); Failed(s))
        return s;
    static_cast<void>(app.recording.StartCapture()); // the graph has said why it could not
    return Status::Ok;
}

int RunMainLoop(CaptureApp& app)
{
    MainLoopChecks checks(app);
    QCoreApplication::instance()->installEventFilter(&checks);
    const int exitCode = QCoreApplication::exec();
    QCoreApplication::instance()->removeEventFilter(&checks);
    return exitCode;
}

// Release the lock, then give the system a millisecond.
void EndProcess(CaptureApp& app, SingleInstance& instance)
{
    app.messages.Drain();
    instance.Release();
    QElapsedTimer t;
    t.start();
    while (std::chrono::nanoseconds(t.nsecsElapsed()) < std::chrono::milliseconds(1))
        QThread::yieldCurrentThread();
}

} // namespace

// Made and unmade beside the start-up steps, so that the windows' headers stay out of
// CaptureApp's own files (the windows include it).
CaptureApp::CaptureApp(const Clock& programClock)
    : clock(programClock)
{
}

CaptureApp::~CaptureApp()
{
    scheduler.SetScheduleReadHook({});
    eventFolderWatch.reset();
    scheduler.SetRecordingUi(nullptr);
    scheduler.SetSchedulerTimers(nullptr);
    scheduler.SetSystemPower(nullptr);
    recording.SetGraph(nullptr);
    // The graph first: it hands frames to the video window.
    captureGraph.reset();
    delete mainWindow;
    delete userMessagesWindow;
    delete controlsWindow;
    delete countdownWindow;
    delete brightnessContrastWindow;
}

Status InitialiseApp(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator)
{
    PrepareAppState(app, simulatedCamera);
    LoadIcons(app);
    SetOptionDefaults(app.options);
    if (Failed(CreateWindows(app)) || Failed(FindDevicesAndGraph(app, simulatedCamera, simulator)))
        return Status::Aborted;
    ReadOptionsFile(app);
    RecoverRecordings(app); // the video folder is known now
    FillMessagesMenu(app);
    ShowUserMessages(app);
    CreateChildWindows(app);
    CreateFonts(app);
    ChooseCamera(app);
    app.mainWindow->BuildMainMenus(app.state.UsableCamera);
    CheckTimeZone(app.clock, app.messages);
    if (Failed(CreateControlsWindow(app)))
        return Status::Aborted;
    PlaceWindows(app);
    SetUpPowerActions(app, [&app](bool shutdownTexts) { return ShowPowerCountdown(app, shutdownTexts); });
    ArmScheduleAndWatchEvents(app);
    ShowWindows(app);
    app.state.DeviceCount = app.devices.count;
    return Status::Ok;
}

Status Run(CaptureApp& app, const CommandLine& commandLine)
{
    // One copy only; the second shows nothing.
    SingleInstance instance;
    if (!instance.Acquire()) {
        std::fputs("vela-video: another copy is already running\n", stderr);
        return Status::Aborted;
    }
    // Caught from here on: a stop that comes while the program starts waits until the main
    // loop runs and then ends it in order, instead of killing it half started. SIGTERM and
    // SIGINT end the program at once, as the main window does after its question: a
    // service manager or a terminal cannot answer one.
    SignalBridge signalBridge([&app] {
        app.state.QuitRequested = true; // the main loop's check ends it also before it ran
        EndProgramNow(app);
    });
    const Status started = commandLine.headless ? StartUpHeadless(app, commandLine) : StartUp(app, commandLine);
    if (Failed(started))
        return started;
    const int exitCode = RunMainLoop(app);
    EndProcess(app, instance);
    return exitCode == 0 ? Status::Ok : Status::Failed;
}
