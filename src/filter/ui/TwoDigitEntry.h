#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QBoxLayout;
class UserMessageLog;
class QLineEdit;
class QWidget;

// The number boxes of the analysis dialogs hold two characters: whatever makes the text
// longer is cut back to its first two, with the caret at the end.
void KeepTwoCharacters(QLineEdit* edit);

// Appends a row holding a new two-character box showing initial, captioned at its right.
QLineEdit* AddTwoDigitBox(QBoxLayout* column, const QString& initial, const QString& caption);

// The box's text read as "%u" reads it: leading blanks skipped, a sign accepted (and
// wrapped, so "-1" is far above any limit); nothing parsed reads 0.
std::uint32_t TwoDigitValue(const QLineEdit* edit);

// The wording of an out-of-range entry: the stamped complaint, and the note that the
// box was set to a limit, with %1 for that limit.
struct RangeTexts {
    QString outOfRange;
    QString setToLimit;
};

// The limits of a box and the wording of an entry outside them.
struct EntryRange {
    std::uint32_t low;
    std::uint32_t high;
    RangeTexts texts;
};

// True when value lies in low..high. Otherwise logs the complaint, sets the box to the
// nearer limit (high for anything at or above low) with its note, and gives false.
bool AcceptInRange(QLineEdit* edit, std::uint32_t value, const EntryRange& range, UserMessageLog& log);

// What a dialog's confirming button reads from the box: nothing while the box has the
// dialog's focus (Enter pressed while typing), nothing after a correction as above,
// else the value.
std::optional<std::uint32_t> EnteredValueInRange(const QWidget* dialog, QLineEdit* edit, const EntryRange& range,
                                                 UserMessageLog& log);
