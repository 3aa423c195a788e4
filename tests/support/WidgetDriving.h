#pragma once

#include <QString>
#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QListWidget;

void AddMissingControlFailure(const char* name);

// Driving dialogs as a user does: controls found by their object name or text.
// The named control; a test failure when there is none.
template <class Control>
Control* ById(const QWidget& parent, const char* name)
{
    Control* found = parent.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        AddMissingControlFailure(name);
    return found;
}
// The button or check box showing text; a test failure when there is none.
QAbstractButton* ByText(const QWidget& parent, const QString& text);

// Clicks near the left edge: a check box or radio button stretched by its layout reacts
// to its indicator and text only.
void Click(QWidget* w);
void Click(const QWidget& parent, const char* name);
void ClickRow(QListWidget* list, int row);
void Type(QLineEdit* edit, const char* text); // replaces the text key by key
QStringList Labels(const QListWidget* list);
