#pragma once

#include <QMainWindow>
#include <cstdint>

class QAction;
class QMenu;

// "VELA Video App": the live video, the menus, and the dispatcher that turns commands
// into dialogs and acts on their results. Every timer it owns runs the scheduler tick.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();

    // Appends the five drop-downs' entries in their fixed order; without a usable
    // camera the six device entries are grey for the rest of the run.
    void BuildMainMenus(bool usableCamera);
    // The action that carries the given command id, or nullptr.
    QAction* ActionFor(std::uint32_t commandId) const;
    void OnCommand(std::uint32_t commandId);

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(MainWindow)
};

// Appends an entry with the next command id (kept in the action's data).
QAction* AppendMenuEntry(QMenu* menu, const QString& label);

// Command ids, fixed by the order in which the menus are filled.
namespace CommandId {
inline constexpr std::uint32_t SaveMessages = 32776;
inline constexpr std::uint32_t SaveMessagesAndClear = 32777;
inline constexpr std::uint32_t Exit = 32778;
inline constexpr std::uint32_t Schedule = 32779;
inline constexpr std::uint32_t EditAndDelete = 32780;
inline constexpr std::uint32_t BrightnessContrast = 32781;
inline constexpr std::uint32_t PixelSaturation = 32782;
inline constexpr std::uint32_t ClockDrift = 32783;
inline constexpr std::uint32_t FrameIntegration = 32784;
inline constexpr std::uint32_t Devices = 32785;
inline constexpr std::uint32_t FileDefaults = 32786;
inline constexpr std::uint32_t DurationDefault = 32787;
inline constexpr std::uint32_t CodecDefault = 32788;
inline constexpr std::uint32_t EventPending = 32789;
inline constexpr std::uint32_t Performance = 32790;
inline constexpr std::uint32_t SetWindowPositions = 32791;
inline constexpr std::uint32_t About = 32792;
} // namespace CommandId

// The address the About entry gives for error reports.
inline constexpr const char* kErrorReportAddress = "vela-video-bugs@example.org";
