#pragma once

#include <QFont>
#include <QString>
#include <initializer_list>

class QBoxLayout;
class QDialog;
class QKeyEvent;
class QListWidget;
class QPushButton;
class QWidget;

// The dialog layouts were drawn for an 11-point Tahoma; DejaVu Sans stands in where
// Tahoma is not installed.
QFont DialogFont();
// The "codec or camera lists" font: 18-pixel Consolas, DejaVu Sans Mono where it is
// missing, the same request as start-up makes.
QFont ListFont();

// What the capture and analysis dialogs set up alike: modal, the dialog font, a caption
// with the close box alone.
void PrepareModalDialog(QDialog& dialog, const QString& title);

// Gives a control its id as its object name.
template <class Control>
Control* WithId(Control* control, const char* id)
{
    control->setObjectName(QString::fromLatin1(id));
    return control;
}

// Appends a label for each line.
void AddTextLines(QBoxLayout* column, std::initializer_list<const char*> lines);

// A single-choice list box in the list font; each item carries the index it stands for.
QListWidget* MakeChoiceList(QWidget* parent, const QString& controlId);
void AddChoice(QListWidget* list, const QString& label, int index);
// The index the item at row stands for; -1 for no row.
int ChoiceAt(const QListWidget* list, int row);

// What Enter does while the button has the focus: press the dialog's default button
// (the capture and analysis dialogs), or press this one (the settings dialogs).
enum class ButtonEnter { PressesDefault, PressesWhenFocused };
QPushButton* MakeDialogButton(QWidget* parent, const QString& text, const QString& controlId = {},
                              ButtonEnter enter = ButtonEnter::PressesDefault);
// The buttons side by side at the right.
QBoxLayout* ButtonRow(QPushButton* first, QPushButton* second);

bool IsEnterOrEscape(const QKeyEvent* e);
