#include "events/ui/ScheduleEventDialog.h"

#include "common/Clock.h"
#include "events/EventEditing.h"
#include "events/ui/EventDialogLook.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

template <typename W>
W* Named(W* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}

QLabel* Label(QWidget* parent, int id, const char* text)
{
    return Named(new QLabel(QString::fromLatin1(text), parent), id);
}

QPushButton* Button(QWidget* parent, int id, const char* text)
{
    auto* button = Named(new QPushButton(QString::fromLatin1(text), parent), id);
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

// New Events start at the computer's time, as UTC.
CalendarTime UtcNow()
{
    return AppClock().UtcNow();
}

} // namespace

ScheduleEventDialog::ScheduleEventDialog(const QString& editedFileName, QWidget* parent,
                                         const EventPowerChoices& power, const AppIcons& icons)
    : QDialog(parent)
    , m_editedFileName(editedFileName)
{
    ApplyEventDialogLook(*this, icons);
    setWindowTitle(editedFileName.isEmpty() ? QStringLiteral("Schedule Event") : QStringLiteral("Edit Event"));

    m_eventTime = Named(new QDateTimeEdit(this), 1001);
    // Month names in English whatever the user's locale, as the files and the list show them.
    m_eventTime->setLocale(QLocale::c());
    m_eventTime->setTimeSpec(Qt::UTC);
    m_eventTime->setDisplayFormat(QStringLiteral("MMM d',' yyyy   HH':'mm':'ss"));
    m_duration = Named(new QTimeEdit(this), 1002);
    m_duration->setDisplayFormat(QStringLiteral("HH':'mm':'ss"));
    m_comment = Named(new QLineEdit(this), 1131);
    m_comment->setFont(EventListFont());
    m_comment->setMinimumWidth(QFontMetrics(m_comment->font()).horizontalAdvance(QString(kEventCommentLength + 2, QLatin1Char('M'))));
    m_hibernate = Named(new QCheckBox(QStringLiteral("Hibernate after recording completed"), this), 1134);
    m_shutdown = Named(new QCheckBox(QStringLiteral("Shutdown after recording completed"), this), 1160);
    // Why Save refused the time; shown only then.
    m_tooLate = new QLabel(this);
    m_tooLate->setObjectName(QStringLiteral("TooLate"));
    m_tooLate->setWordWrap(true);
    m_tooLate->setStyleSheet(QStringLiteral("color: #b00000"));
    m_tooLate->hide();
    QPushButton* save = Button(this, 1074, "Save");
    QPushButton* cancel = Button(this, 1038, "Cancel");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label(this, 1004, "Event Date and Time (UTC):"));
    layout->addWidget(m_eventTime, 0, Qt::AlignLeft);
    layout->addWidget(Label(this, 1006, "Recording Duration (hh:mm:ss):"));
    layout->addWidget(m_duration, 0, Qt::AlignLeft);
    layout->addWidget(Label(this, 1130, "Optional Comment (35 chars max):"));
    layout->addWidget(m_comment);
    layout->addLayout(PowerChoice(m_hibernate, "HibernateRefused", power.hibernateRefused));
    layout->addLayout(PowerChoice(m_shutdown, "ShutdownRefused", power.shutdownRefused));
    layout->addWidget(m_tooLate);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (m_editedFileName.isEmpty()) {
        m_eventTime->setDateTime(ToDateTime(UtcNow()));
        m_duration->setTime(ToTime(Options().DefaultRecordingDuration));
    } else {
        ShowEditedEvent();
    }

    // An Event edited here never keeps asking for what the system refuses.
    for (QCheckBox* box : {m_hibernate, m_shutdown})
        if (!box->isEnabled())
            box->setChecked(false);

    // Connected after the stored values are shown: a hand-made file with both set shows both.
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
    connect(save, &QPushButton::clicked, this, &ScheduleEventDialog::Save);
    connect(cancel, &QPushButton::clicked, this, [this] { done(Cancelled); });
}

QHBoxLayout* ScheduleEventDialog::PowerChoice(QCheckBox* box, const char* reasonId, const QString& refused)
{
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    if (!refused.isEmpty()) {
        box->setEnabled(false);
        auto* reason = new QLabel(QLatin1Char('(') + refused + QLatin1Char(')'), this);
        reason->setObjectName(QLatin1String(reasonId));
        reason->setEnabled(false);
        row->addWidget(reason);
    }
    row->addStretch();
    return row;
}

void ScheduleEventDialog::ShowEditedEvent()
{
    EventFileFields fields;
    ReadNamedEvent(m_editedFileName, fields);
    QString problem;
    if (const std::unique_ptr<EventRecord> record = MakeEventRecord(fields, &problem)) {
        m_eventTime->setDateTime(ToDateTime(record->EventTime));
        m_duration->setTime(ToTime(record->Duration));
    } else {
        // Saving still replaces the broken file, so the user can mend it here.
        AppendUserMessage(QStringLiteral("NOTE: the Event file \"%1\" holds no valid %2; the Edit Event dialog shows the "
                                         "current time and the default duration instead\r\n")
                              .arg(m_editedFileName, problem.isEmpty() ? QStringLiteral("Event") : problem),
                          true);
        m_eventTime->setDateTime(ToDateTime(UtcNow()));
        m_duration->setTime(ToTime(Options().DefaultRecordingDuration));
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
    if (const QString reason = TooLateToRecordReason(eventTime, duration, UtcNowTicks()); !reason.isEmpty()) {
        m_tooLate->setText(reason);
        m_tooLate->show();
        AppendUserMessage(QStringLiteral("NOTE: the Event was not saved.  ") + reason + QStringLiteral("\r\n"), true);
        return;
    }
    const EventFileFields fields = MakeEventFileFields(eventTime, duration, m_hibernate->isChecked(),
                                                       m_shutdown->isChecked(),
                                                       m_comment->text().left(kEventCommentLength));
    if (SaveEventFile(fields, eventTime, m_editedFileName) == EventSaveResult::Saved)
        done(Saved);
}

void ScheduleEventDialog::reject()
{
    done(Closed);
}

int RunScheduleEventDialog(QWidget* parent, const EventPowerChoices& power, const AppIcons& icons)
{
    TheEventDialogState().EditedEventFileName.clear();
    ScheduleEventDialog dialog(QString(), parent, power, icons);
    return dialog.exec();
}

int RunEditEventDialog(QWidget* parent, const EventPowerChoices& power, const AppIcons& icons)
{
    ScheduleEventDialog dialog(TheEventDialogState().EditedEventFileName, parent, power, icons);
    return dialog.exec();
}
