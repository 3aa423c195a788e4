#pragma once

#include "devices/DeviceTable.h"
#include "options/AppOptions.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

// What accepting a new device or format sets going. The program runs the real
// operations; tests put recorders in their place.
struct DeviceAcceptSteps {
    std::function<void()> SizeVideoWindow;
    std::function<bool()> EventArmed;
    std::function<void()> DisarmEvent;
    std::function<void()> RestartGraph; // StopCapture, and on success StartCapture
    std::function<void()> LoadEventSchedule;
};

// "Device and Format options": picks the current device and its format, and can make
// them the start-up defaults. It edits a copy of the device table and gives the program
// the new choice only on accept, so nothing that runs while it is open (an Event that
// starts recording) uses a choice nobody confirmed. Ends with 1 (options changed: save
// them), 2 (new selection for this run only) or 3 (cancelled).
//
// restrictedForRun holds whether format lists are restricted to the sizes of known
// devices; it is taken from the options the first time the dialog opens and kept for
// the rest of the run, whatever the dialog later stores. The caller keeps it for the run.
class DeviceFormatDialog final : public QDialog {
    Q_OBJECT
public:
    DeviceFormatDialog(AppOptions& options, DeviceTable& devices, DeviceAcceptSteps steps,
                       std::optional<bool>& restrictedForRun, QWidget* parent = nullptr);
    DeviceFormatDialog(const DeviceFormatDialog&) = delete;
    DeviceFormatDialog& operator=(const DeviceFormatDialog&) = delete;

    void reject() override; // the Cancel button and closing the window

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void DeviceHighlighted(int row);
    void FormatHighlighted(int row);
    void ShowStandardOfSelectedFormat();
    void FillFormats(FpsStandard standard);
    void ShowSubtype();
    CaptureDevice* CurrentDevice(); // of the copy
    bool SavesOptions() const;
    void UpdateAcceptText();
    void Accept();

    AppOptions& m_options;
    DeviceTable& m_program; // takes the choice on accept
    DeviceAcceptSteps m_steps;
    DeviceTable m_table; // the copy the dialog edits
    bool m_restricted = false;
    bool m_useDefaultsAtOpening = false;

    QListWidget* m_devices = nullptr;
    QListWidget* m_formats = nullptr;
    QRadioButton* m_ntsc = nullptr;
    QRadioButton* m_pal = nullptr;
    QRadioButton* m_other = nullptr;
    QLabel* m_subtype = nullptr;
    QCheckBox* m_makeDefault = nullptr;
    QCheckBox* m_useDefaults = nullptr;
    QPushButton* m_accept = nullptr;
};

// Opens the dialog modally over parent; steps are what accepting sets going.
int RunDeviceFormatDialog(AppOptions& options, DeviceTable& devices, std::optional<bool>& restrictedForRun,
                          QWidget* parent, DeviceAcceptSteps steps);
