#include "ui/DialogSupport.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

QFont DialogFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(11);
    return f;
}

QFont ListFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Consolas"), QStringLiteral("DejaVu Sans Mono")});
    f.setPixelSize(18);
    return f;
}

void PrepareModalDialog(QDialog& dialog, const QString& title)
{
    dialog.setModal(true);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFont(DialogFont());
    dialog.setWindowTitle(title);
}

void AddTextLines(QBoxLayout* column, std::initializer_list<const char*> lines)
{
    for (const char* line : lines)
        column->addWidget(new QLabel(QString::fromLatin1(line)));
}

QListWidget* MakeChoiceList(QWidget* parent, const QString& controlId)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(controlId);
    list->setFont(ListFont());
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void AddChoice(QListWidget* list, const QString& label, int index)
{
    auto* item = new QListWidgetItem(label, list);
    item->setData(Qt::UserRole, index);
}

int ChoiceAt(const QListWidget* list, int row)
{
    const QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

QPushButton* MakeDialogButton(QWidget* parent, const QString& text, const QString& controlId, ButtonEnter enter)
{
    auto* button = new QPushButton(text, parent);
    if (!controlId.isEmpty())
        button->setObjectName(controlId);
    if (enter == ButtonEnter::PressesDefault) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    return button;
}

QBoxLayout* ButtonRow(QPushButton* first, QPushButton* second)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(first);
    row->addWidget(second);
    return row;
}

bool IsEnterOrEscape(const QKeyEvent* e)
{
    const int key = e->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
