#include "filter/ui/FrameIntegrationDialog.h"

#include "filter/ui/TwoDigitEntry.h"
#include "filter/AnalysisSettings.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr std::uint32_t kFewestFrames = 2;
constexpr std::uint32_t kMostFrames = 30;

} // namespace

FrameIntegrationDialog::FrameIntegrationDialog(RequestedAnalysis& request, UserMessageLog& log,
                                               std::function<void()> restartGraph, QWidget* parent)
    : QDialog(parent)
    , m_request(request)
    , m_log(log)
    , m_restartGraph(std::move(restartGraph))
{
    PrepareModalDialog(*this, QStringLiteral("Frame Integration"));
    auto* column = new QVBoxLayout(this);
    AddTextLines(column, {"The integration frame count is the number of frames",
                          "overlaid on top of one another and presented as a",
                          "single frame.  Frame count can vary from 2 to 30."});
    m_frameCount = AddTwoDigitBox(column, QStringLiteral("2"), QStringLiteral("Frame count"));
    m_showHistogram = new QCheckBox(QStringLiteral("Show histogram in User Messages"), this);
    column->addWidget(m_showHistogram);
    AddTextLines(column, {"Display only impact.  Recorded video has no integration."});
    auto* start = new QPushButton(QStringLiteral("Start"), this);
    start->setDefault(true);
    auto* exit = MakeDialogButton(this, QStringLiteral("Exit"));
    column->addLayout(ButtonRow(start, exit));

    m_request.integrationFrames = 1;
    m_request.showHistogram = false;

    connect(start, &QPushButton::clicked, this, &FrameIntegrationDialog::Start);
    connect(exit, &QPushButton::clicked, this, &FrameIntegrationDialog::reject);
}

void FrameIntegrationDialog::Start()
{
    // Enter while typing the count does not rebuild the graph.
    const EntryRange range{
        kFewestFrames, kMostFrames,
        {QStringLiteral("Entered frame count must be from 2 to 30."),
         QStringLiteral("Frame count set to %1.  Select Baseline Frame button again if you wish to continue.\r\n")}};
    const std::optional<std::uint32_t> frames = EnteredValueInRange(this, m_frameCount, range, m_log);
    if (!frames)
        return;
    m_request.integrationFrames = *frames;
    if (m_showHistogram->isChecked())
        m_request.showHistogram = true;
    // The new graph measures the dark level on its first frame, then integrates.
    m_restartGraph();
    m_started = true;
}

void FrameIntegrationDialog::reject()
{
    m_request.integrationFrames = 1;
    done(m_started ? 1 : 2);
}

int RunFrameIntegrationDialog(QWidget* parent, RequestedAnalysis& request, UserMessageLog& log,
                              std::function<void()> restartGraph)
{
    FrameIntegrationDialog dialog(request, log, std::move(restartGraph), parent);
    return dialog.exec();
}
