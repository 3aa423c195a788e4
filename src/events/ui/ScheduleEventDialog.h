#pragma once

#include "events/EventEditing.h"
#include "ui/AppLook.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QDateTimeEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTimeEdit;

// Creates an Event file ("Schedule Event") or replaces the one named by editedFileName
// ("Edit Event"). Ends with 1 (saved), 0 (Cancel) or 2 (closed by its frame or Escape).
// Save keeps the dialog open when nothing could be written, and when the Event could
// no longer be recorded (saying why). A power action the system refuses is not offered:
// its box is cleared and grey, with the reason beside it.
class ScheduleEventDialog final : public QDialog {
    Q_OBJECT
public:
    enum Result { Cancelled = 0, Saved = 1, Closed = 2 };

    ScheduleEventDialog(const EventDialogContext& program, const QString& editedFileName, QWidget* parent = nullptr,
                        const EventPowerChoices& power = {}, const AppIcons& icons = {});
    ScheduleEventDialog(const ScheduleEventDialog&) = delete;
    ScheduleEventDialog& operator=(const ScheduleEventDialog&) = delete;

    // The Save button's slot.
    void Save();

public slots:
    void reject() override;

private:
    void CreateControls();
    void LayOut(const EventPowerChoices& power);
    void ConnectControls();
    void ShowNow();
    void ShowEditedEvent();
    void CutComment();
    QHBoxLayout* PowerChoice(QCheckBox* box, const char* reasonName, const QString& refused);

    EventDialogContext m_program;
    QString m_editedFileName;
    QDateTimeEdit* m_eventTime = nullptr;
    QTimeEdit* m_duration = nullptr;
    QLineEdit* m_comment = nullptr;
    QCheckBox* m_hibernate = nullptr;
    QCheckBox* m_shutdown = nullptr;
    QLabel* m_tooLate = nullptr;
};

// Schedules a new Event over parent. Any Event picked for editing before is forgotten
// first, so a new Event never replaces it. Returns 1 when saved, 0 on Cancel, 2 when
// closed by the frame.
int RunScheduleEventDialog(const EventDialogContext& program, QWidget* parent, const EventPowerChoices& power = {},
                           const AppIcons& icons = {});

// Edits the Event picked in the Event list (program.state.EditedEventFileName); the same
// results as RunScheduleEventDialog.
int RunEditEventDialog(const EventDialogContext& program, QWidget* parent, const EventPowerChoices& power = {},
                       const AppIcons& icons = {});
