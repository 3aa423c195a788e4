#include "options/ui/PerformanceOptionsDialog.h"

#include "options/AppOptions.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

PerformanceOptionsDialog::PerformanceOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_log(log)
{
    PrepareSettingsDialog(*this, QStringLiteral("Performance Options"), nullptr);
    const AppOptions& o = m_options;
    auto* layout = new QVBoxLayout(this);

    m_displayOff = WithId(new QCheckBox(QStringLiteral("Turn off display while recording"), this), "displayOff");
    m_displayOff->setChecked(o.DisplayOffWhileRecording);
    m_preAllocation =
        WithId(new QCheckBox(QStringLiteral("Use file pre-allocation when recording"), this), "preAllocation");
    m_preAllocation->setChecked(o.FilePreAllocation);
    connect(m_preAllocation, &QCheckBox::toggled, this, &PerformanceOptionsDialog::EnableAllocation);
    layout->addWidget(m_displayOff);
    layout->addWidget(m_preAllocation);

    auto* sizes = new QGridLayout;
    const std::array<std::pair<const char*, QString>, 4> labels{{
        {"manualLabel", QStringLiteral("Manual")},
        {"manualUnit", QStringLiteral("GB (0 to 20)")},
        {"eventLabel", QStringLiteral("Event")},
        {"eventUnit", QStringLiteral("GB per 10 min (0 to 20)")},
    }};
    for (std::size_t i = 0; i < labels.size(); ++i)
        m_allocationLabels[i] = WithId(new QLabel(labels[i].second, this), labels[i].first);
    m_manualGB = MakeAllocationEdit("manualGB", AllocationKind::Manual, o.ManualAllocationGB);
    m_eventGB = MakeAllocationEdit("eventGB", AllocationKind::Event, o.EventAllocationGB);
    sizes->addWidget(m_allocationLabels[0], 0, 0);
    sizes->addWidget(m_manualGB, 0, 1);
    sizes->addWidget(m_allocationLabels[1], 0, 2);
    sizes->addWidget(m_allocationLabels[2], 1, 0);
    sizes->addWidget(m_eventGB, 1, 1);
    sizes->addWidget(m_allocationLabels[3], 1, 2);
    layout->addLayout(sizes);
    EnableAllocation(o.FilePreAllocation);

    auto* renderers = new QGroupBox(this);
    auto* renderersLayout = new QVBoxLayout(renderers);
    // In the order of VideoRenderer, named after its kinds.
    const std::array<std::pair<const char*, QString>, 3> names{{
        {"windowRenderer", QStringLiteral("Enhanced Video Renderer")},
        {"xVideoOverlayRenderer", QStringLiteral("VMR9")},
        {"xOverlayRenderer", QStringLiteral("VMR7")},
    }};
    for (std::size_t i = 0; i < names.size(); ++i) {
        m_renderers[i] = WithId(new QRadioButton(names[i].second, renderers), names[i].first);
        renderersLayout->addWidget(m_renderers[i]);
    }
    const auto renderer = static_cast<std::size_t>(o.DefaultRenderer);
    m_renderers[renderer < m_renderers.size() ? renderer : 0]->setChecked(true);
    layout->addWidget(renderers);

    auto* save = MakeDialogButton(this, QStringLiteral("Save"), QStringLiteral("save"), ButtonEnter::PressesWhenFocused);
    auto* ok = MakeDialogButton(this, QStringLiteral("OK"), QStringLiteral("ok"), ButtonEnter::PressesWhenFocused);
    ok->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] { Confirm(kSettingsSaved); });
    connect(ok, &QPushButton::clicked, this, [this] { Confirm(kSettingsApplied); });
    AddButtonRow(layout, {save, ok, MakeCancelButton(*this)});
}

QLineEdit* PerformanceOptionsDialog::MakeAllocationEdit(const char* name, AllocationKind kind, std::uint32_t value)
{
    auto* edit = WithId(new QLineEdit(this), name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(60);
    // Checked on every change, the stored values too: a hand-edited file may hold more
    // than the dialog accepts.
    connect(edit, &QLineEdit::textChanged, edit, [this, edit, kind](const QString& text) {
        const QString checked = CheckedAllocationText(text, kind, m_log);
        if (checked != text)
            edit->setText(checked);
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
    });
    edit->setText(QString::number(value));
    return edit;
}

void PerformanceOptionsDialog::EnableAllocation(bool on)
{
    m_manualGB->setEnabled(on);
    m_eventGB->setEnabled(on);
    for (QLabel* label : m_allocationLabels)
        label->setEnabled(on);
}

void PerformanceOptionsDialog::Confirm(int result)
{
    // Enter typed in a size edit reaches the default button; it must not close the dialog.
    if (focusWidget() == m_manualGB || focusWidget() == m_eventGB)
        return;
    AppOptions& o = m_options;
    o.DisplayOffWhileRecording = m_displayOff->isChecked();
    o.FilePreAllocation = m_preAllocation->isChecked();
    // Unchecked, the sizes stay as they were, ready for the next time.
    if (o.FilePreAllocation) {
        o.ManualAllocationGB = AllocationValue(m_manualGB->text());
        o.EventAllocationGB = AllocationValue(m_eventGB->text());
    }
    o.DefaultRenderer = m_renderers[1]->isChecked()   ? VideoRenderer::XVideoOverlay
                        : m_renderers[2]->isChecked() ? VideoRenderer::XOverlay
                                                      : VideoRenderer::Window;
    done(result);
}

int RunPerformanceOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent)
{
    return ExecSettingsDialog<PerformanceOptionsDialog>(options, log, parent);
}
