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

PerformanceOptionsDialog::PerformanceOptionsDialog(QWidget* parent)
    : QDialog(parent)
{
    PrepareSettingsDialog(*this, QStringLiteral("Performance Options"), nullptr);
    const AppOptions& o = Options();
    auto* layout = new QVBoxLayout(this);

    m_displayOff = WithId(new QCheckBox(QStringLiteral("Turn off display while recording"), this), 1184);
    m_displayOff->setChecked(o.DisplayOffWhileRecording);
    m_preAllocation = WithId(new QCheckBox(QStringLiteral("Use file pre-allocation when recording"), this), 1185);
    m_preAllocation->setChecked(o.FilePreAllocation);
    connect(m_preAllocation, &QCheckBox::toggled, this, &PerformanceOptionsDialog::EnableAllocation);
    layout->addWidget(m_displayOff);
    layout->addWidget(m_preAllocation);

    auto* sizes = new QGridLayout;
    const std::array<QString, 4> labels{QStringLiteral("Manual"), QStringLiteral("GB (0 to 20)"),
                                        QStringLiteral("Event"), QStringLiteral("GB per 10 min (0 to 20)")};
    for (std::size_t i = 0; i < labels.size(); ++i)
        m_allocationLabels[i] = WithId(new QLabel(labels[i], this), 1188 + static_cast<int>(i));
    m_manualGB = MakeAllocationEdit(1186, AllocationKind::Manual, o.ManualAllocationGB);
    m_eventGB = MakeAllocationEdit(1187, AllocationKind::Event, o.EventAllocationGB);
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
    const std::array<QString, 3> names{QStringLiteral("Enhanced Video Renderer"), QStringLiteral("VMR9"),
                                       QStringLiteral("VMR7")};
    for (std::size_t i = 0; i < names.size(); ++i) {
        m_renderers[i] = WithId(new QRadioButton(names[i], renderers), 1192 + static_cast<int>(i));
        renderersLayout->addWidget(m_renderers[i]);
    }
    const auto renderer = static_cast<std::size_t>(o.DefaultRenderer);
    m_renderers[renderer < m_renderers.size() ? renderer : 0]->setChecked(true);
    layout->addWidget(renderers);

    auto* save = MakeDialogButton(this, 1074, QStringLiteral("Save"));
    auto* ok = MakeDialogButton(this, 1080, QStringLiteral("OK"));
    ok->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] { Confirm(kSettingsSaved); });
    connect(ok, &QPushButton::clicked, this, [this] { Confirm(kSettingsApplied); });
    AddButtonRow(layout, {save, ok, MakeCancelButton(*this)});
}

QLineEdit* PerformanceOptionsDialog::MakeAllocationEdit(int id, AllocationKind kind, std::uint32_t value)
{
    auto* edit = WithId(new QLineEdit(this), id);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(60);
    // Checked on every change, the stored values too: a hand-edited file may hold more
    // than the dialog accepts.
    connect(edit, &QLineEdit::textChanged, edit, [edit, kind](const QString& text) {
        const QString checked = CheckedAllocationText(text, kind);
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
    AppOptions& o = Options();
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

int RunPerformanceOptionsDialog(QWidget* parent)
{
    return ExecSettingsDialog<PerformanceOptionsDialog>(parent);
}
