#include "support/WidgetDriving.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

QAbstractButton* ByText(const QWidget& parent, const QString& text)
{
    for (QAbstractButton* b : parent.findChildren<QAbstractButton*>())
        if (b->text() == text)
            return b;
    ADD_FAILURE() << "no control reads " << text.toStdString();
    return nullptr;
}

void AddMissingControlFailure(const char* name)
{
    ADD_FAILURE() << "no control " << name;
}

void Click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
}

void Click(const QWidget& parent, const char* name)
{
    if (QAbstractButton* button = ById<QAbstractButton>(parent, name))
        Click(button);
}

void ClickRow(QListWidget* list, int row)
{
    ASSERT_LT(row, list->count());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void Type(QLineEdit* edit, const char* text)
{
    edit->clear();
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

QStringList Labels(const QListWidget* list)
{
    QStringList labels;
    for (int i = 0; i < list->count(); ++i)
        labels << list->item(i)->text();
    return labels;
}
