#pragma once

#include "options/ui/SettingsDialogFrame.h"

#include <QDialog>
#include <functional>

struct AppOptions;

class QCheckBox;
class QPushButton;
class QRadioButton;

// "Event Pending Options": whether the Event Pending window counts down to the recording
// or shows the UTC time. OK applies the choice for this run; with "Use selection as
// application default" checked it also becomes the stored default. Results: 1 the
// stored default changed (save the options), 2 applied for this run only, 3 nothing
// changed or cancelled.
class EventPendingOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // choiceApplied runs after OK has applied the choice (the program repaints the Event
    // Pending window's title pane, which says which of the two it shows).
    explicit EventPendingOptionsDialog(AppOptions& options, QWidget* parent = nullptr,
                                       std::function<void()> choiceApplied = {});

    void reject() override { done(kSettingsCancelled); }

private:
    Q_DISABLE_COPY_MOVE(EventPendingOptionsDialog)
    void Accept();

    AppOptions& m_options;
    std::function<void()> m_choiceApplied;
    bool m_utcAtOpening = false;
    QRadioButton* m_utc = nullptr;
    QCheckBox* m_asDefault = nullptr;
};

// Opens the dialog modally over parent and returns its result (1, 2 or 3 as above).
int RunEventPendingOptionsDialog(AppOptions& options, QWidget* parent, std::function<void()> choiceApplied = {});
