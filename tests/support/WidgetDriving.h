#pragma once

#include <QString>
#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QListWidget;

void AddMissingControlFailure(int id);

// Driving dialogs as a user does: controls found by their id (object name) or text.
template <class Control>
Control* ById(const QWidget& parent, const char* id)
{
    return parent.findChild<Control*>(QString::fromLatin1(id));
}
// The control with a numeric id; a test failure when there is none.
template <class Control>
Control* ById(const QWidget& parent, int id)
{
    Control* found = parent.findChild<Control*>(QString::number(id));
    if (!found)
        AddMissingControlFailure(id);
    return found;
}
// The button or check box showing text; a test failure when there is none.
QAbstractButton* ByText(const QWidget& parent, const QString& text);

// Clicks near the left edge: a check box or radio button stretched by its layout reacts
// to its indicator and text only.
void Click(QWidget* w);
void Click(const QWidget& parent, int id);
void ClickRow(QListWidget* list, int row);
void Type(QLineEdit* edit, const char* text); // replaces the text key by key
QStringList Labels(const QListWidget* list);
