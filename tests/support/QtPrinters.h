#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Lets GoogleTest show a QString as text (line ends escaped) instead of bytes.
void PrintTo(const QString& text, std::ostream* os);
void PrintTo(const QStringList& list, std::ostream* os);
