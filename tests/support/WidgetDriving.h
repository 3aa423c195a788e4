#pragma once

#include <QString>
#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QListWidget;

void AddMissingControlFailure(const char* name);

// The control of that object name; a test failure when there is none.
template <class Control>
Control* ById(const QWidget& parent, const char* name)
{
    Control* found = parent.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        AddMissingControlFailure(name);
    return found;
}
QAbstractButton* ByText(const QWidget& parent, const QString& text);

// Near the left edge: a stretched check box reacts to its indicator and text only.
void Click(QWidget* w);
void Click(const QWidget& parent, const char* name);
void ClickRow(QListWidget* list, int row);
void Type(QLineEdit* edit, const char* text); // replaces the text key by key
QStringList Labels(const QListWidget* list);
