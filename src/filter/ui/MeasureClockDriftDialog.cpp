#include "filter/ui/MeasureClockDriftDialog.h"

#include "filter/ui/TwoDigitEntry.h"
#include "filter/AnalysisSettings.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr std::uint32_t kFewestMinutes = 3;
constexpr std::uint32_t kMostMinutes = 60;

} // namespace

MeasureClockDriftDialog::MeasureClockDriftDialog(RequestedAnalysis& request, UserMessageLog& log, QWidget* parent)
    : QDialog(parent)
    , m_request(request)
    , m_log(log)
{
    PrepareModalDialog(*this, QStringLiteral("Measure Clock Drift"));
    auto* column = new QVBoxLayout(this);
    AddTextLines(column, {"VELA VTI must be inserted in video stream with",
                          "mode switch set to \"Time\" and 1pps blinking.",
                          "Video format must be 640x480, 720x480, or 720x576.",
                          "Camera must have power on if attached is checked."});
    m_minutes = AddTwoDigitBox(column, QStringLiteral("10"), QStringLiteral("Minutes"));
    AddTextLines(column, {"Minutes range is 3 to 60."});
    // A corrected value is not measured behind the user's back: the dialog says it waits.
    m_corrected = new QLabel(this);
    m_corrected->setObjectName(QStringLiteral("correctedMinutes"));
    m_corrected->hide();
    column->addWidget(m_corrected);
    connect(m_minutes, &QLineEdit::textEdited, m_corrected, &QWidget::hide);
    m_tvSafe = new QCheckBox(QStringLiteral(" TV Safe mode"), this);
    m_cameraAttached = new QCheckBox(QStringLiteral(" Camera attached to VELA VTI"), this);
    column->addWidget(m_tvSafe);
    column->addWidget(m_cameraAttached);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = MakeDialogButton(this, QStringLiteral("Cancel"));
    column->addLayout(ButtonRow(ok, cancel));

    connect(ok, &QPushButton::clicked, this, &MeasureClockDriftDialog::Accept);
    connect(cancel, &QPushButton::clicked, this, &MeasureClockDriftDialog::reject);
}

void MeasureClockDriftDialog::Accept()
{
    // Enter while typing the minutes does not start a measurement.
    const EntryRange range{kFewestMinutes, kMostMinutes,
                           {QStringLiteral("Entered minutes must be from 3 to 60."),
                            QStringLiteral("Minutes set to %1.  Select OK if you wish to continue.\r\n")}};
    const bool typing = focusWidget() == m_minutes;
    const std::optional<std::uint32_t> minutes = EnteredValueInRange(this, m_minutes, range, m_log);
    if (!minutes) {
        if (!typing) {
            m_corrected->setText(QStringLiteral("Minutes set to %1: select OK to measure for %1 minutes.")
                                     .arg(m_minutes->text()));
            m_corrected->show();
        }
        return;
    }
    m_request.driftMinutes = *minutes;
    m_request.tvSafeMode = m_tvSafe->isChecked();
    m_request.cameraAttached = m_cameraAttached->isChecked();
    done(1);
}

void MeasureClockDriftDialog::reject()
{
    done(2);
}

int RunMeasureClockDriftDialog(QWidget* parent, RequestedAnalysis& request, UserMessageLog& log)
{
    MeasureClockDriftDialog dialog(request, log, parent);
    return dialog.exec();
}
