#include "filter/ui/PixelSaturationDialog.h"

#include "filter/FramePipeline.h"
#include "options/AppOptions.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int kLowestThreshold = 50;
constexpr int kHighestThreshold = 255;

} // namespace

PixelSaturationDialog::PixelSaturationDialog(const SaturationThresholdPlaces& places, std::function<void()> restartGraph,
                                             QWidget* parent)
    : QDialog(parent)
    , m_places(places)
{
    PrepareModalDialog(*this, QStringLiteral("Pixel Saturation"));
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(kLowestThreshold, kHighestThreshold);
    m_slider->setTickInterval(10);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_useAsDefault = new QCheckBox(QStringLiteral("Use pixel saturation value as default"), this);
    m_remove = new QCheckBox(QStringLiteral("Remove pixel saturation checking"), this);
    m_first = new QPushButton(QStringLiteral("Save"), this);
    m_first->setDefault(true);
    auto* cancel = MakeDialogButton(this, QStringLiteral("Cancel"));

    // The number beside the slider follows the thumb, so a threshold can be noted and set
    // again on another night.
    auto* value = new QLabel(this);
    value->setObjectName(QStringLiteral("thresholdValue"));
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_slider, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    value->setNum(m_slider->value());
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(m_slider, 1);
    sliderRow->addWidget(value);

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Set pixel saturation value, range 50 to 255"), this));
    column->addLayout(sliderRow);
    column->addWidget(m_useAsDefault);
    column->addWidget(m_remove);
    column->addLayout(ButtonRow(m_first, cancel));

    m_thresholdAtOpening = m_places.request.saturationThreshold;
    if (m_thresholdAtOpening == -1) {
        SetThresholdInEffect(kHighestThreshold);
        m_first->setText(QStringLiteral("OK"));
    } else {
        m_useAsDefault->setChecked(true);
    }
    m_slider->setValue(m_places.request.saturationThreshold);
    // Marking shows at once with this threshold.
    restartGraph();

    // Every move of the thumb, by mouse or keys, is the threshold in effect: what the
    // slider shows is what gets saved.
    connect(m_slider, &QSlider::valueChanged, this, &PixelSaturationDialog::SetThresholdInEffect);
    connect(m_useAsDefault, &QCheckBox::clicked, this, [this](bool on) { BoxClicked(m_useAsDefault, on); });
    connect(m_remove, &QCheckBox::clicked, this, [this](bool on) { BoxClicked(m_remove, on); });
    connect(m_first, &QPushButton::clicked, this, &PixelSaturationDialog::Accept);
    connect(cancel, &QPushButton::clicked, this, &PixelSaturationDialog::reject);
}

void PixelSaturationDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Below and beside its usual place, so the marked preview stays in view.
    if (!m_placed) {
        m_placed = true;
        move(pos() + QPoint(20, 300));
    }
}

void PixelSaturationDialog::SetThresholdInEffect(int threshold)
{
    m_places.request.saturationThreshold = threshold;
    m_places.options.PixelSaturationValue = threshold;
    m_places.pipeline.SetLiveSaturationThreshold(threshold);
}

void PixelSaturationDialog::BoxClicked(QCheckBox* box, bool checked)
{
    if (checked)
        (box == m_useAsDefault ? m_remove : m_useAsDefault)->setChecked(false);
    m_first->setText(checked ? QStringLiteral("Save") : QStringLiteral("OK"));
}

void PixelSaturationDialog::Accept()
{
    AppOptions& o = m_places.options;
    if (m_useAsDefault->isChecked()) {
        o.SaturationDefault = m_places.request.saturationThreshold;
        done(1);
    } else if (m_remove->isChecked()) {
        SetThresholdInEffect(-1);
        o.SaturationDefault = -1;
        done(1);
    } else {
        done(2); // the dragged threshold stays in effect for this run
    }
}

void PixelSaturationDialog::reject()
{
    SetThresholdInEffect(m_thresholdAtOpening);
    done(2);
}

int RunPixelSaturationDialog(QWidget* parent, const SaturationThresholdPlaces& places, std::function<void()> restartGraph)
{
    PixelSaturationDialog dialog(places, std::move(restartGraph), parent);
    return dialog.exec();
}
