#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest show a QString as text (line ends escaped) instead of bytes.
void PrintTo(const QString& text, std::ostream* os);
