#include "events/ui/ScheduleEventDialog.h"

#include "common/Clock.h"
#include "events/EventEditing.h"
#include "events/ui/EventDialogLook.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

QLabel* Label(QWidget* parent, const char* name, const char* text)
{
    return WithId(new QLabel(QString::fromLatin1(text), parent), name);
}

QPushButton* Button(QWidget* parent, const char* name, const char* text)
{
    auto* button = WithId(new QPushButton(QString::fromLatin1(text), parent), name);
    // Enter in the comment must not save: only a deliberate click does.
    button->setAutoDefault(false);
    return button;
}

QDateTime ToDateTime(const CalendarTime& t)
{
    return {QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), Qt::UTC};
}

QTime ToTime(const CalendarTime& t)
{
    return {t.hour, t.minute, t.second};
}

} // namespace

ScheduleEventDialog::ScheduleEventDialog(const EventDialogContext& program, const QString& editedFileName,
                                         QWidget* parent, const EventPowerChoices& power, const AppIcons& icons)
    : QDialog(parent)
    , m_program(program)
    , m_editedFileName(editedFileName)
{
    ApplyEventDialogLook(*this, icons);
    setWindowTitle(editedFileName.isEmpty() ? QStringLiteral("Schedule Event") : QStringLiteral("Edit Event"));
    CreateControls();
    LayOut(power);
    if (m_editedFileName.isEmpty()) {
        ShowNow();
    } else {
        ShowEditedEvent();
    }
    // An Event edited here never keeps asking for what the system refuses.
    for (QCheckBox* box : {m_hibernate, m_shutdown})
        if (!box->isEnabled())
            box->setChecked(false);
    // Connected after the stored values are shown: a hand-made file with both set shows both.
    ConnectControls();
}

void ScheduleEventDialog::CreateControls()
{
    m_eventTime = WithId(new QDateTimeEdit(this), "eventTime");
    // Month names in English whatever the user's locale, as the files and the list show them.
    m_eventTime->setLocale(QLocale::c());
    m_eventTime->setTimeSpec(Qt::UTC);
    m_eventTime->setDisplayFormat(QStringLiteral("MMM d',' yyyy   HH':'mm':'ss"));
    m_duration = WithId(new QTimeEdit(this), "duration");
    m_duration->setDisplayFormat(QStringLiteral("HH':'mm':'ss"));
    m_comment = WithId(new QLineEdit(this), "comment");
    m_comment->setFont(EventListFont());
    m_comment->setMinimumWidth(QFontMetrics(m_comment->font()).horizontalAdvance(QString(kEventCommentLength + 2, QLatin1Char('M'))));
    m_hibernate = WithId(new QCheckBox(QStringLiteral("Hibernate after recording completed"), this), "hibernate");
    m_shutdown = WithId(new QCheckBox(QStringLiteral("Shutdown after recording completed"), this), "shutdown");
    // Why Save refused the time; shown only then.
    m_tooLate = WithId(new QLabel(this), "tooLate");
    m_tooLate->setWordWrap(true);
    m_tooLate->setStyleSheet(QStringLiteral("color: #b00000"));
    m_tooLate->hide();
}

void ScheduleEventDialog::LayOut(const EventPowerChoices& power)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label(this, "eventTimeLabel", "Event Date and Time (UTC):"));
    layout->addWidget(m_eventTime, 0, Qt::AlignLeft);
    layout->addWidget(Label(this, "durationLabel", "Recording Duration (hh:mm:ss):"));
    layout->addWidget(m_duration, 0, Qt::AlignLeft);
    layout->addWidget(Label(this, "commentLabel", "Optional Comment (35 chars max):"));
    layout->addWidget(m_comment);
    layout->addLayout(PowerChoice(m_hibernate, "hibernateRefused", power.hibernateRefused));
    layout->addLayout(PowerChoice(m_shutdown, "shutdownRefused", power.shutdownRefused));
    layout->addWidget(m_tooLate);
    QPushButton* save = Button(this, "save", "Save");
    QPushButton* cancel = Button(this, "cancel", "Cancel");
    connect(save, &QPushButton::clicked, this, &ScheduleEventDialog::Save);
    connect(cancel, &QPushButton::clicked, this, [this] { done(Cancelled); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ScheduleEventDialog::ConnectControls()
{
    connect(m_comment, &QLineEdit::textChanged, this, &ScheduleEventDialog::CutComment);
    connect(m_hibernate, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_shutdown->setChecked(false);
    });
    connect(m_shutdown, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_hibernate->setChecked(false);
    });
    connect(m_eventTime, &QDateTimeEdit::dateTimeChanged, m_tooLate, &QWidget::hide);
    connect(m_duration, &QTimeEdit::timeChanged, m_tooLate, &QWidget::hide);
}

QHBoxLayout* ScheduleEventDialog::PowerChoice(QCheckBox* box, const char* reasonName, const QString& refused)
{
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    if (!refused.isEmpty()) {
        box->setEnabled(false);
        auto* reason = WithId(new QLabel(QLatin1Char('(') + refused + QLatin1Char(')'), this), reasonName);
        reason->setEnabled(false);
        row->addWidget(reason);
    }
    row->addStretch();
    return row;
}

// New Events start at the computer's time, as UTC.
void ScheduleEventDialog::ShowNow()
{
    m_eventTime->setDateTime(ToDateTime(m_program.clock.UtcNow()));
    m_duration->setTime(ToTime(m_program.options.DefaultRecordingDuration));
}

void ScheduleEventDialog::ShowEditedEvent()
{
    EventFileFields fields;
    ReadNamedEvent(m_program.log, m_editedFileName, fields);
    QString problem;
    if (const std::unique_ptr<EventRecord> record =
            MakeEventRecord(fields, UtcTimeNow(m_program.clock), &problem)) {
        m_eventTime->setDateTime(ToDateTime(record->EventTime));
        m_duration->setTime(ToTime(record->Duration));
    } else {
        // Saving still replaces the broken file, so the user can mend it here.
        m_program.log.Append(QStringLiteral("NOTE: the Event file \"%1\" holds no valid %2; the Edit Event dialog shows the "
                                         "current time and the default duration instead\r\n")
                              .arg(m_editedFileName, problem.isEmpty() ? QStringLiteral("Event") : problem),
                          true);
        ShowNow();
    }
    m_comment->setText(fields.Comment.left(kEventCommentLength));
    m_hibernate->setChecked(fields.Hibernate == QLatin1String("TRUE"));
    m_shutdown->setChecked(fields.Shutdown == QLatin1String("TRUE"));
}

void ScheduleEventDialog::CutComment()
{
    if (m_comment->text().size() <= kEventCommentLength)
        return;
    m_comment->setText(m_comment->text().left(kEventCommentLength));
    m_comment->setCursorPosition(kEventCommentLength);
}

void ScheduleEventDialog::Save()
{
    const QDateTime at = m_eventTime->dateTime().toUTC();
    CalendarTime eventTime{};
    eventTime.year = static_cast<std::uint16_t>(at.date().year());
    eventTime.month = static_cast<std::uint16_t>(at.date().month());
    eventTime.day = static_cast<std::uint16_t>(at.date().day());
    eventTime.hour = static_cast<std::uint16_t>(at.time().hour());
    eventTime.minute = static_cast<std::uint16_t>(at.time().minute());
    eventTime.second = static_cast<std::uint16_t>(at.time().second());
    const QTime length = m_duration->time();
    CalendarTime duration{};
    duration.hour = static_cast<std::uint16_t>(length.hour());
    duration.minute = static_cast<std::uint16_t>(length.minute());
    duration.second = static_cast<std::uint16_t>(length.second());
    // A file the schedule would skip at once must not be reported as scheduled.
    if (const QString reason = TooLateToRecordReason(eventTime, duration, UtcTimeNow(m_program.clock)); !reason.isEmpty()) {
        m_tooLate->setText(reason);
        m_tooLate->show();
        m_program.log.Append(QStringLiteral("NOTE: the Event was not saved.  ") + reason + QStringLiteral("\r\n"), true);
        return;
    }
    const EventFileFields fields = MakeEventFileFields(eventTime, duration, m_hibernate->isChecked(),
                                                       m_shutdown->isChecked(),
                                                       m_comment->text().left(kEventCommentLength));
    if (SaveEventFile(m_program.schedule, m_program.log, fields, eventTime, m_editedFileName)
        == EventSaveResult::Saved)
        done(Saved);
}

void ScheduleEventDialog::reject()
{
    done(Closed);
}

int RunScheduleEventDialog(const EventDialogContext& program, QWidget* parent, const EventPowerChoices& power,
                           const AppIcons& icons)
{
    program.state.EditedEventFileName.clear();
    ScheduleEventDialog dialog(program, QString(), parent, power, icons);
    return dialog.exec();
}

int RunEditEventDialog(const EventDialogContext& program, QWidget* parent, const EventPowerChoices& power,
                       const AppIcons& icons)
{
    ScheduleEventDialog dialog(program, program.state.EditedEventFileName, parent, power, icons);
    return dialog.exec();
}
