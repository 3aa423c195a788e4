#include "filter/ui/TwoDigitEntry.h"

#include "messages/UserMessageLog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>

void KeepTwoCharacters(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        if (text.size() <= 2)
            return;
        edit->setText(text.left(2));
        edit->setCursorPosition(2);
    });
}

QLineEdit* AddTwoDigitBox(QBoxLayout* column, const QString& initial, const QString& caption)
{
    auto* edit = new QLineEdit(initial);
    KeepTwoCharacters(edit);
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel(caption));
    row->addStretch(1);
    column->addLayout(row);
    return edit;
}

std::uint32_t TwoDigitValue(const QLineEdit* edit)
{
    const QByteArray bytes = edit->text().left(2).toLatin1();
    unsigned value = 0;
    if (std::sscanf(bytes.constData(), "%u", &value) != 1)
        value = 0;
    return value;
}

bool AcceptInRange(QLineEdit* edit, std::uint32_t value, const EntryRange& range, UserMessageLog& log)
{
    if (value >= range.low && value <= range.high)
        return true;
    log.Append(range.texts.outOfRange, true);
    const std::uint32_t limit = value >= range.low ? range.high : range.low;
    edit->setText(QString::number(limit));
    log.Append(range.texts.setToLimit.arg(limit), false);
    return false;
}

std::optional<std::uint32_t> EnteredValueInRange(const QWidget* dialog, QLineEdit* edit, const EntryRange& range,
                                                 UserMessageLog& log)
{
    if (dialog->focusWidget() == edit)
        return std::nullopt;
    const std::uint32_t value = TwoDigitValue(edit);
    if (!AcceptInRange(edit, value, range, log))
        return std::nullopt;
    return value;
}
