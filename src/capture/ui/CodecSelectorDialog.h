#pragma once

#include <QDialog>

struct AppOptions;
struct DeviceTable;
class QCheckBox;
class QListWidget;
class QPushButton;

// "Codec Selector": the compressor the current device records with, optionally paired
// with the device as its start-up default. The device's chosen codec changes only on
// accept. Ends with 1 (options changed: save them and restart capture), 2 (another codec
// for this run: restart capture), 3 (nothing to do) or 4 (ended by Enter or Escape,
// nothing to do).
class CodecSelectorDialog final : public QDialog {
    Q_OBJECT
public:
    // Works on the current device of devices; a pairing goes into options.
    CodecSelectorDialog(AppOptions& options, DeviceTable& devices, QWidget* parent = nullptr);
    CodecSelectorDialog(const CodecSelectorDialog&) = delete;
    CodecSelectorDialog& operator=(const CodecSelectorDialog&) = delete;

    void reject() override; // the Cancel button and closing the window

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Accept();
    void EndRestoringChoice(int result);

    AppOptions& m_options;
    DeviceTable& m_table;
    int m_device = -1;
    int m_chosenAtOpening = -1;
    int m_highlighted = -1;
    QListWidget* m_codecs = nullptr;
    QCheckBox* m_pairWithCamera = nullptr;
    QPushButton* m_accept = nullptr;
};

// Opens the dialog modally over parent.
int RunCodecSelectorDialog(AppOptions& options, DeviceTable& devices, QWidget* parent);
