#pragma once

#include <QString>
#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QListWidget;

// Driving dialogs as a user does: controls found by their id (object name) or text.
template <class Control>
Control* ById(const QWidget& parent, const char* id)
{
    return parent.findChild<Control*>(QString::fromLatin1(id));
}
// The button or check box showing text; a test failure when there is none.
QAbstractButton* ByText(const QWidget& parent, const QString& text);

void Click(QWidget* w);
void ClickRow(QListWidget* list, int row);
void Type(QLineEdit* edit, const char* text); // replaces the text key by key
QStringList Labels(const QListWidget* list);
