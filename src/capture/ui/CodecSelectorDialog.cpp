#include "capture/ui/CodecSelectorDialog.h"

#include "devices/DeviceTable.h"
#include "devices/FormatRules.h"
#include "options/OptionsFile.h"
#include "options/SettingsRules.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CodecSelectorDialog::CodecSelectorDialog(AppOptions& options, DeviceTable& devices, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_table(devices)
    , m_device(devices.currentDeviceIndex)
{
    PrepareModalDialog(*this, QStringLiteral("Codec Selector"));
    const CaptureDevice* device = AttachedDevice(m_table, m_device);
    m_chosenAtOpening = device ? device->chosenCodecIndex : -1;
    m_highlighted = m_chosenAtOpening;

    auto* name = WithId(new QLabel(device ? device->name : QString(), this), "deviceName");
    m_codecs = MakeChoiceList(this, QStringLiteral("codecs"));
    m_pairWithCamera =
        WithId(new QCheckBox(QStringLiteral("Pair highlighted codec with camera as application default"), this), "pairWithCamera");
    m_pairWithCamera->setEnabled(false);
    m_accept = MakeDialogButton(this, QStringLiteral("OK"), QStringLiteral("accept"));
    QPushButton* cancel = MakeDialogButton(this, QStringLiteral("Cancel"), QStringLiteral("cancel"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(name);
    column->addWidget(m_codecs);
    column->addWidget(m_pairWithCamera);
    column->addLayout(ButtonRow(m_accept, cancel));

    if (device) {
        const DeviceCodecPair* pair = FindDeviceCodecPair(m_options, m_table, m_device);
        for (int i = 0; i < device->codecNames.size(); ++i)
            AddChoice(m_codecs, CheckMarkLabel(pair && pair->codec == device->codecNames[i], device->codecNames[i]), i);
    }
    if (m_chosenAtOpening >= 0 && m_chosenAtOpening < m_codecs->count()) {
        m_codecs->setCurrentRow(m_chosenAtOpening);
        m_pairWithCamera->setEnabled(true);
    }

    connect(m_codecs, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        m_highlighted = ChoiceAt(m_codecs, row);
        m_pairWithCamera->setEnabled(true);
    });
    connect(m_pairWithCamera, &QCheckBox::clicked, this, [this](bool on) {
        m_accept->setText(on ? QStringLiteral("Save") : QStringLiteral("OK"));
    });
    connect(m_accept, &QPushButton::clicked, this, &CodecSelectorDialog::Accept);
    connect(cancel, &QPushButton::clicked, this, &CodecSelectorDialog::reject);
}

// A checked box stores the highlighted codec as the device's pair, also when it is the
// codec already chosen for this run.
void CodecSelectorDialog::Accept()
{
    CaptureDevice* device = AttachedDevice(m_table, m_device);
    const int h = m_highlighted;
    if (!device || h < 0 || h >= device->codecNames.size()) {
        done(3);
        return;
    }
    const bool changed = h != device->chosenCodecIndex;
    device->chosenCodecIndex = h;
    if (m_pairWithCamera->isChecked()) {
        StoreDeviceCodecPair(m_options, m_table, m_device, device->codecNames[h]);
        done(1);
        return;
    }
    done(changed ? 2 : 3);
}

void CodecSelectorDialog::EndRestoringChoice(int result)
{
    if (CaptureDevice* device = AttachedDevice(m_table, m_device))
        device->chosenCodecIndex = m_chosenAtOpening;
    done(result);
}

void CodecSelectorDialog::reject()
{
    EndRestoringChoice(3);
}

void CodecSelectorDialog::keyPressEvent(QKeyEvent* e)
{
    if (IsEnterOrEscape(e)) {
        e->accept();
        EndRestoringChoice(4);
        return;
    }
    QDialog::keyPressEvent(e);
}

int RunCodecSelectorDialog(AppOptions& options, DeviceTable& devices, QWidget* parent)
{
    CodecSelectorDialog dialog(options, devices, parent);
    return dialog.exec();
}
