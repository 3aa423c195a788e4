#include "app/Startup.h"

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "app/SignalBridge.h"
#include "app/SingleInstance.h"
#include "app/TimeZoneCheck.h"
#include "app/WindowPlacement.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RecordingUiAdapter.h"
#include "app/ui/VideoWindow.h"
#include "capture/CaptureBackEnd.h"
#include "capture/CaptureGraph.h"
#include "capture/CodecEnumeration.h"
#include "capture/DeviceEnumeration.h"
#include "capture/RecordingRecovery.h"
#include "common/ResourceLocator.h"
#include "devices/DeviceTable.h"
#include "filter/AnalysisFlags.h"
#include "filter/AnalysisMessages.h"
#include "filter/CharacterSet.h"
#include "messages/MessageTables.h"
#include "messages/SaveUserMessages.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"

#include <QPlainTextEdit>
#include "options/AppOptions.h"
#include "options/OptionsFile.h"
#include "recording/GraphControl.h"
#include "recording/LogindPower.h"
#include "recording/PowerActions.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "events/EventSchedule.h"

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
#include <QTimer>
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
QFont MakeFont(const char* family, const char* fallback, int pixelHeight, int failureMessage)
{
    QFont f;
    f.setFamilies({QString::fromLatin1(family), QString::fromLatin1(fallback)});
    f.setPixelSize(pixelHeight);
    if (!QFontDatabase::hasFamily(QString::fromLatin1(family)) && !QFontDatabase::hasFamily(QString::fromLatin1(fallback)))
        ReportAppMessage(failureMessage);
    return f;
}

void CreateFonts(CaptureApp& app)
{
    app.fonts.countdown = MakeFont("Tahoma", "DejaVu Sans", 72, 2);
    app.fonts.buttons = MakeFont("Tahoma", "DejaVu Sans", 20, 3);
    app.fonts.lists = MakeFont("Consolas", "DejaVu Sans Mono", 18, 4);
    app.fonts.eventList = MakeFont("Consolas", "DejaVu Sans Mono", 16, 5);
    app.fonts.powerCountdown = MakeFont("Consolas", "DejaVu Sans Mono", 28, 6);
}

void ChooseCamera(CaptureApp& app)
{
    DeviceTable& table = Devices();
    const AppOptions& o = Options();
    int chosen = 0;
    if (o.HasDefaultDevice) {
        chosen = -1;
        for (int i = 0; i < table.count && chosen < 0; ++i)
            if (table.devices[static_cast<std::size_t>(i)].name == o.DefaultDevice)
                chosen = i;
        if (chosen < 0) {
            chosen = 0;
            AppendUserMessage(QStringLiteral("\r\nWARNING: default camera in options file is not attached to computer.  "
                                             "Using the first one found.\r\n"),
                              true);
        }
    }
    table.defaultDeviceIndex = chosen;
    table.currentDeviceIndex = chosen;
    app.UsableCamera = SizeVideoWindowToFormat(app.videoWindow);
}

} // namespace

CaptureApp* InitialiseApp(CaptureApp* app, bool simulatedCamera, std::int32_t* deviceCount, bool* abort,
                          const SimulatorSettings& simulator)
{
    // 1. The process-wide reference, ids and show state.
    SetCaptureApp(app);
    *abort = false;
    app->nextCommandId = kFirstCommandId;
    app->simulatedCamera = simulatedCamera;

    // 2. The message tables are constant; the log must live on this thread, and the
    // frame analysis reports through it.
    UserMessageLog::Instance();
    SetAnalysisMessageSink([](std::string_view text, bool timeStamp) {
        AppendUserMessage(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), timeStamp);
    });

    // 3. The desktop work area, exclusive right and bottom.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        app->WorkArea = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }

    // 4, 5.
    ClearDeviceTable();
    app->RecordingFileName.clear();

    // 6. Icons; a missing file is not reported.
    app->icons.logoLarge = LoadIcon("VELA_logo_large.ico");
    app->icons.logoSmall = LoadIcon("VELA_logo_small.ico");
    app->icons.folder = LoadIcon("folder32x.ico");
    app->icons.folderClear = LoadIcon("folderClear32x.ico");
    app->icons.stop = LoadIcon("stop64x.ico");
    app->icons.start = LoadIcon("start64x.ico");

    // 7.
    SetOptionDefaults();

    // 8. The User Messages window is made while the main window is created.
    app->userMessagesWindow = new (std::nothrow) UserMessagesWindow;
    if (!app->userMessagesWindow) {
        ReportAppMessage(9);
        *abort = true;
        return app;
    }
    app->mainWindow = new (std::nothrow) MainWindow;
    if (!app->mainWindow) {
        ReportAppMessage(1);
        *abort = true;
        return app;
    }

    // 9. The eight menus, attached but empty.
    app->mainMenuBar = app->mainWindow->menuBar();
    const char* titles[] = {"File", "Events", "Display", "Options", "Help"};
    for (std::size_t i = 0; i < app->menus.size(); ++i) {
        app->menus[i] = app->mainMenuBar->addMenu(QString::fromLatin1(titles[i]));
        app->topMenuPositions[i] = static_cast<std::int32_t>(i);
    }
    app->messagesMenuBar = app->userMessagesWindow->menuBar();
    app->messagesFileMenu = app->userMessagesWindow->FileMenu();

    // 10. The message view.
    if (!app->userMessagesWindow->CreateView()) {
        ReportAppMessage(10);
        *abort = true;
        return app;
    }
    app->messageView = app->userMessagesWindow->View();

    // 11. Devices, codecs, the video window and the capture graph (with the frame
    // analysis, its character sets and the colour control).
    PrepareCaptureBackEnd(simulatedCamera, simulator);
    const bool devicesFound = EnumerateCaptureDevices(simulatedCamera) == S_OK && Devices().count > 0;
    if (devicesFound) {
        // A failure leaves "NONE" for every device and has been reported: recording goes on.
        static_cast<void>(EnumerateCodecs(Devices()));
        app->codecCatalogue = &Devices();
        auto* video = new (std::nothrow) VideoWindow(app->mainWindow->centralWidget());
        if (!video) {
            ReportAppMessage(7);
            *abort = true;
            return app;
        }
        video->setGeometry(0, 0, 100, 100);
        app->videoWindow = video;
        app->captureGraph = new CaptureGraph(video, 0);
        app->captureGraph->SetFailureHandler([] {
            // Restart once the failing graph's message has been handled.
            QTimer::singleShot(0, [] { static_cast<void>(RestartCapture()); });
        });
        SetTheGraph(app->captureGraph);
        if (!LoadCharacterSets())
            ReportGraphMessage(29);
    }

    // 12. The options file.
    AppOptions& options = Options();
    if (LoadOptionsFile()) {
        options.OptionsLoadedFromFile = true;
        CheckLoadedOptions();
        if (options.PixelSaturationValue != -1)
            options.SaturationDefault = options.PixelSaturationValue;
        // The stored threshold is the one in effect from the first picture on.
        app->Analysis.saturationThreshold = options.PixelSaturationValue;
    } else {
        options.HasDefaultDevice = false;
        options.DefaultRecordingDuration = DefaultDurationValue();
    }

    // 12a. The video folder is known now: recordings that a killed program or a power
    // cut left without header and index are rebuilt beside them, camera or not.
    RecoverInterruptedRecordings();

    // 13. The messages menu takes the first two command ids.
    QAction* save = AppendMenuEntry(app->messagesFileMenu, QStringLiteral("Save Messages"));
    QAction* saveClear = AppendMenuEntry(app->messagesFileMenu, QStringLiteral("Save Messages and Clear"));
    QObject::connect(save, &QAction::triggered, [] { SaveUserMessages(false); });
    QObject::connect(saveClear, &QAction::triggered, [] { SaveUserMessages(true); });

    // 14. Place and show User Messages.
    const WindowPosition4& mp = options.MessageWindowPosition;
    app->userMessagesWindow->move(mp.left, mp.top);
    app->userMessagesWindow->resize(mp.width, mp.height);
    if (app->showMinimised)
        app->userMessagesWindow->showMinimized();
    else
        app->userMessagesWindow->show();

    // 15, 16. The countdown and brightness/contrast windows, not yet shown.
    app->countdownWindow = new CountdownWindow;
    app->brightnessContrastWindow = new BrightnessContrastWindow;

    // 17. Window icons, where loaded.
    if (!app->icons.logoLarge.isNull() || !app->icons.logoSmall.isNull()) {
        QIcon windowIcon = app->icons.logoLarge;
        for (const QSize& s : app->icons.logoSmall.availableSizes())
            windowIcon.addPixmap(app->icons.logoSmall.pixmap(s));
        QApplication::setWindowIcon(windowIcon);
        for (QWidget* w : std::initializer_list<QWidget*>{app->mainWindow, app->userMessagesWindow,
                                                          app->countdownWindow, app->brightnessContrastWindow})
            w->setWindowIcon(windowIcon);
    }

    // 18, 19. Fonts; the light grey is a constant here.
    CreateFonts(*app);

    // 20. The camera.
    app->UsableCamera = false;
    if (devicesFound) {
        ChooseCamera(*app);
        // The overlay renderers draw into a native window of their own.
        if (options.DefaultRenderer != VideoRenderer::Window && app->videoWindow)
            app->captureGraph->SetWindowHandle(static_cast<std::uintptr_t>(app->videoWindow->winId()));
    }

    // 21. The main menus.
    app->mainWindow->BuildMainMenus(app->UsableCamera);

    // 22.
    CheckTimeZone();

    // 23. The controls window.
    app->controlsWindow = new (std::nothrow) ControlsWindow;
    if (!app->controlsWindow) {
        ReportAppMessage(8);
        *abort = true;
        return app;
    }
    // The scheduler reaches the windows and the main window's timers from here on.
    InstallRecordingUi();

    // 24. The main window's place.
    const WindowPosition4 place = PlaceMainWindow(app->frameWidth, app->frameHeight, options.MainWindowPosition,
                                                  options.OptionsLoadedFromFile, app->WorkArea);
    app->mainWindow->move(place.left, place.top);
    app->mainWindow->resize(place.width, place.height);

    // 25. Stored places of the child windows.
    if (app->UsableCamera) {
        app->controlsWindow->move(options.ControlsWindowPosition.left, options.ControlsWindowPosition.top);
        app->countdownWindow->move(options.CountdownWindowPosition.left, options.CountdownWindowPosition.top);
        app->brightnessContrastWindow->move(options.BrightnessContrastWindowPosition.left,
                                            options.BrightnessContrastWindowPosition.top);
    }

    // 26, 27. What the login manager allows; the power actions live as long as the process.
    auto* logind = new LogindPower;
    SetSystemPower(new PowerActions(*logind, &ShowPowerCountdown, &WakeMainLoop, CheckPowerAtStartup(*logind)));

    // 28. The Event schedule; its rebuild arms the soonest Event.
    SetArmNextEventHandler(&ArmNextEvent);
    if (app->UsableCamera)
        LoadEventSchedule();

    // 29. Show.
    if (app->showMinimised)
        app->mainWindow->showMinimized();
    else
        app->mainWindow->show();
    if (!app->UsableCamera)
        app->controlsWindow->hide();
    else if (app->showMinimised)
        app->controlsWindow->showMinimized();
    else
        app->controlsWindow->show();

    // 30.
    *deviceCount = Devices().count;
    app->DeviceCount = Devices().count;
    return app;
}

Status Run(const CommandLine& commandLine)
{
    // 1. One copy only; the second shows nothing.
    SingleInstance instance;
    if (!instance.Acquire()) {
        std::fputs("vela-video: another copy is already running\n", stderr);
        return E_ABORT;
    }

    // 2. Splash.
    auto* splash = new QLabel(QStringLiteral("VELA Video Capture Initialization..."));
    splash->setWindowTitle(QStringLiteral("VELA Video Capture Initialization..."));
    splash->setAlignment(Qt::AlignCenter);
    splash->setGeometry(200, 200, 300, 100);
    splash->show();
    QCoreApplication::processEvents();

    SetFatalMessageHandler([](const QString& line) {
        QMessageBox::critical(nullptr, QStringLiteral("VELA Video App"), ToParagraphs(line));
    });

    // 5. The application object and the ordered start-up.
    auto* app = new (std::nothrow) CaptureApp;
    if (!app) {
        delete splash;
        return E_OUTOFMEMORY;
    }
    std::int32_t deviceCount = 0;
    bool abort = false;
    InitialiseApp(app, commandLine.simulatedCamera, &deviceCount, &abort, commandLine.simulator);
    if (abort) {
        delete splash;
        return E_ABORT;
    }

    // 6. The first preview.
    // Without it the program runs on: the graph has said why, and Events are still armed.
    if (deviceCount > 0)
        static_cast<void>(StartCapture());

    // 7.
    delete splash;

    // 8. The main loop. SIGTERM and SIGINT end the program at once, as the main window
    // does after its question: a service manager or a terminal cannot answer one.
    SetMeasurementFinishedWaker(&WakeMainLoop);
    SignalBridge signalBridge([] {
        if (CaptureApp* a = TheCaptureApp(); a && a->mainWindow)
            a->mainWindow->EndProgram();
        else
            QCoreApplication::exit(0);
    });
    MainLoopChecks checks;
    QCoreApplication::instance()->installEventFilter(&checks);
    const int exitCode = QApplication::exec();
    QCoreApplication::instance()->removeEventFilter(&checks);
    SetMeasurementFinishedWaker(nullptr);

    // 9. Release the lock, then give the system a millisecond.
    UserMessageLog::Instance().Drain();
    instance.Release();
    QElapsedTimer t;
    t.start();
    while (t.nsecsElapsed() < 1'000'000)
        QThread::yieldCurrentThread();
    return exitCode == 0 ? S_OK : E_FAIL;
}
