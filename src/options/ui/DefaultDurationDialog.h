#pragma once

#include "options/ui/SettingsDialogFrame.h"

#include <QDialog>

struct AppOptions;

class QTimeEdit;

// "Default Recording Duration": hours, minutes and seconds in a time picker, so 00:00:00
// to 23:59:59. Save ends with 1, Cancel and the close box with 3.
class DefaultDurationDialog final : public QDialog {
    Q_OBJECT
public:
    DefaultDurationDialog(AppOptions& options, QWidget* parent = nullptr, const AppIcons& icons = {});

    void reject() override { done(kSettingsCancelled); }

private:
    Q_DISABLE_COPY_MOVE(DefaultDurationDialog)
    void Save();

    AppOptions& m_options;
    QTimeEdit* m_picker = nullptr;
};

// Opens the dialog modally over parent; 1 when saved, 3 when cancelled.
int RunDefaultDurationDialog(AppOptions& options, QWidget* parent, const AppIcons& icons = {});
