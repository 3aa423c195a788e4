#pragma once

#include "options/SettingsRules.h"

#include "options/ui/SettingsDialogFrame.h"

#include <QDialog>
#include <array>

struct AppOptions;
class UserMessageLog;

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Performance Options": display off while recording, file pre-allocation with its two
// sizes, and the preview renderer. Save ends with 1 (save and restart the graph), OK
// with 2 (restart only), Cancel and the close box with 3 (options as they were).
class PerformanceOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // A size above 20 GB is reported in log.
    PerformanceOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent = nullptr);

    void reject() override { done(kSettingsCancelled); }

private:
    Q_DISABLE_COPY_MOVE(PerformanceOptionsDialog)
    QLineEdit* MakeAllocationEdit(const char* name, AllocationKind kind, std::uint32_t value);
    void EnableAllocation(bool on);
    void Confirm(int result);

    AppOptions& m_options;
    UserMessageLog& m_log;
    QCheckBox* m_displayOff = nullptr;
    QCheckBox* m_preAllocation = nullptr;
    QLineEdit* m_manualGB = nullptr;
    QLineEdit* m_eventGB = nullptr;
    std::array<QLabel*, 4> m_allocationLabels{};
    std::array<QRadioButton*, 3> m_renderers{}; // in VideoRenderer order
};

// Opens the dialog modally over parent and returns its result (1, 2 or 3 as above).
int RunPerformanceOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent);
