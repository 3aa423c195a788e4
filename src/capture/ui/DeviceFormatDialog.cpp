#include "capture/ui/DeviceFormatDialog.h"

#include "devices/DeviceTable.h"
#include "devices/FormatRules.h"
#include "options/SettingsRules.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

DeviceFormatDialog::DeviceFormatDialog(AppOptions& options, DeviceTable& devices, DeviceAcceptSteps steps,
                                       std::optional<bool>& restrictedForRun, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_program(devices)
    , m_steps(std::move(steps))
    , m_table(devices)
{
    PrepareModalDialog(*this, QStringLiteral("Device and Format options"));
    const DeviceTable& table = m_table;
    if (!restrictedForRun)
        restrictedForRun = m_options.UseDefaultDeviceSettings;
    m_restricted = *restrictedForRun;

    m_devices = MakeChoiceList(this, QStringLiteral("devices"));
    m_formats = MakeChoiceList(this, QStringLiteral("formats"));
    m_ntsc = WithId(new QRadioButton(QStringLiteral("30 fps / NTSC"), this), "ntsc");
    m_pal = WithId(new QRadioButton(QStringLiteral("25 fps / PAL"), this), "pal");
    m_other = WithId(new QRadioButton(QStringLiteral("H"), this), "otherStandard");
    m_other->hide();
    m_subtype = WithId(new QLabel(QStringLiteral("Subtype"), this), "subtype");
    m_makeDefault =
        WithId(new QCheckBox(QStringLiteral("Use highlighted selections as application startup defaults"), this), "makeDefault");
    m_useDefaults = WithId(new QCheckBox(QStringLiteral("Use defaults for known devices at application startup"), this), "useDefaults");
    m_accept = MakeDialogButton(this, QStringLiteral("OK"), QStringLiteral("accept"));
    QPushButton* cancel = MakeDialogButton(this, QStringLiteral("Cancel"), QStringLiteral("cancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Devices:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Formats:"), this), 0, 1);
    grid->addWidget(m_devices, 1, 0);
    grid->addWidget(m_formats, 1, 1);
    auto* standards = new QHBoxLayout;
    standards->addWidget(m_ntsc);
    standards->addWidget(m_pal);
    standards->addWidget(m_other);
    grid->addLayout(standards, 2, 0);
    grid->addWidget(m_subtype, 2, 1);
    grid->addWidget(m_makeDefault, 3, 0, 1, 2);
    grid->addWidget(m_useDefaults, 4, 0, 1, 2);
    grid->addLayout(ButtonRow(m_accept, cancel), 5, 0, 1, 2);

    const AppOptions& o = m_options;
    for (int i = 0; i < table.count; ++i) {
        const QString& name = table.devices[static_cast<std::size_t>(i)].name;
        AddChoice(m_devices, CheckMarkLabel(table.defaultDeviceIndex >= 0 && name == o.DefaultDevice, name), i);
    }
    if (table.currentDeviceIndex >= 0)
        m_devices->setCurrentRow(table.currentDeviceIndex);
    ShowStandardOfSelectedFormat();
    m_useDefaults->setChecked(m_restricted);
    m_useDefaultsAtOpening = m_restricted;
    ShowSubtype();

    connect(m_devices, &QListWidget::currentRowChanged, this, &DeviceFormatDialog::DeviceHighlighted);
    connect(m_formats, &QListWidget::currentRowChanged, this, &DeviceFormatDialog::FormatHighlighted);
    // A refilled list already highlights a format that is not yet selected: clicking it
    // must select it although the highlight does not move.
    connect(m_formats, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { FormatHighlighted(m_formats->row(item)); });
    connect(m_ntsc, &QRadioButton::clicked, this, [this] { FillFormats(FpsStandard::NTSC); });
    connect(m_pal, &QRadioButton::clicked, this, [this] { FillFormats(FpsStandard::PAL); });
    connect(m_makeDefault, &QCheckBox::clicked, this, &DeviceFormatDialog::UpdateAcceptText);
    connect(m_useDefaults, &QCheckBox::clicked, this, &DeviceFormatDialog::UpdateAcceptText);
    connect(m_accept, &QPushButton::clicked, this, &DeviceFormatDialog::Accept);
    connect(cancel, &QPushButton::clicked, this, &DeviceFormatDialog::reject);
}

void DeviceFormatDialog::DeviceHighlighted(int row)
{
    if (row < 0)
        return;
    m_table.currentDeviceIndex = ChoiceAt(m_devices, row);
    ShowStandardOfSelectedFormat();
    ShowSubtype();
}

void DeviceFormatDialog::FormatHighlighted(int row)
{
    CaptureDevice* device = CurrentDevice();
    if (row < 0 || !device)
        return;
    device->selectedFormatIndex = ChoiceAt(m_formats, row);
    ShowSubtype();
}

// A device without formats leaves the buttons as they are and lists as NTSC.
void DeviceFormatDialog::ShowStandardOfSelectedFormat()
{
    const CaptureDevice* device = CurrentDevice();
    FpsStandard standard = FpsStandard::NTSC;
    if (device && !device->formats.isEmpty()) {
        standard = FormatStandardOf(device, device->selectedFormatIndex);
        QRadioButton* button = standard == FpsStandard::NTSC ? m_ntsc : standard == FpsStandard::PAL ? m_pal : m_other;
        button->setChecked(true);
    }
    FillFormats(standard);
}

// Highlights without selecting: the selected format changes only when a format is
// clicked.
void DeviceFormatDialog::FillFormats(FpsStandard standard)
{
    const QSignalBlocker quiet(m_formats);
    m_formats->clear();
    const FormatList list = ListFormatsForStandard(CurrentDevice(), standard, m_restricted);
    for (const FormatListEntry& entry : list.entries)
        AddChoice(m_formats, entry.label, entry.formatIndex);
    if (!list.entries.isEmpty())
        m_formats->setCurrentRow(list.selectPosition);
}

void DeviceFormatDialog::ShowSubtype()
{
    const CaptureDevice* device = CurrentDevice();
    m_subtype->setText(SubtypeName(device, device ? device->selectedFormatIndex : -1));
}

CaptureDevice* DeviceFormatDialog::CurrentDevice()
{
    const int i = m_table.currentDeviceIndex;
    return i >= 0 && i < m_table.count ? &m_table.devices[static_cast<std::size_t>(i)] : nullptr;
}

bool DeviceFormatDialog::SavesOptions() const
{
    return m_makeDefault->isChecked() || m_useDefaults->isChecked() != m_useDefaultsAtOpening;
}

void DeviceFormatDialog::UpdateAcceptText()
{
    m_accept->setText(SavesOptions() ? QStringLiteral("Save") : QStringLiteral("OK"));
}

void DeviceFormatDialog::Accept()
{
    const bool makeDefault = m_makeDefault->isChecked();
    if (makeDefault)
        StoreDeviceFormatPair(m_options, m_table, m_table.currentDeviceIndex);
    // Only now does the program use the new choice: a graph built while the dialog was
    // open (an Event starting, say) took the one in force.
    DeviceTable& table = m_program;
    CommitDeviceSelection(table, m_table);
    m_steps.SizeVideoWindow();
    if (m_steps.EventArmed())
        m_steps.DisarmEvent();
    m_steps.RestartGraph();
    m_steps.LoadEventSchedule();
    if (!SavesOptions()) {
        done(2);
        return;
    }
    AppOptions& o = m_options;
    if (CaptureDevice* device = AttachedDevice(table, table.currentDeviceIndex); makeDefault && device) {
        o.DefaultDevice = device->name;
        o.HasDefaultDevice = true;
        table.defaultDeviceIndex = table.currentDeviceIndex;
        // -1 reads as the first format, which is also what the stored pair names.
        device->defaultFormatIndex = device->selectedFormatIndex < 0 ? 0 : device->selectedFormatIndex;
    }
    o.UseDefaultDeviceSettings = m_useDefaults->isChecked();
    done(1);
}

void DeviceFormatDialog::reject()
{
    done(3);
}

void DeviceFormatDialog::keyPressEvent(QKeyEvent* e)
{
    // Only the two buttons and the frame end this dialog.
    if (IsEnterOrEscape(e)) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

int RunDeviceFormatDialog(AppOptions& options, DeviceTable& devices, std::optional<bool>& restrictedForRun,
                          QWidget* parent, DeviceAcceptSteps steps)
{
    DeviceFormatDialog dialog(options, devices, std::move(steps), restrictedForRun, parent);
    return dialog.exec();
}
