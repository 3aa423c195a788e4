#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The on-disk form shared by the options file and the Event files: a declaration, one
// comment, and a root element whose children are empty elements, one per line, each
// indented by a tab. The text is ISO 8859-1 with CR LF line ends.

struct XmlElementLine {
    QString name;
    QList<QPair<QString, QString>> attributes; // written in this order
};

// The serialised document: "<?xml version="1.0"?><!--comment--><Root>", each element
// preceded by "\n\t", then "\n</Root>". Attribute values are escaped; a character
// outside ISO 8859-1 becomes a character reference (&#x...;), which every XML reader
// decodes, so such a value never makes a save fail.
QString SerialiseFlatDocument(const QString& comment, const QList<XmlElementLine>& elements);

// Puts the declaration and the comment each on a line of its own, removes carriage
// returns and writes the text with CR LF line ends. The file is replaced atomically
// (a temporary file in the same folder, then a rename): a crash or a full disk never
// leaves half a file, and a failed save keeps the old one. On failure *error says why.
bool WriteXmlDocumentText(const QString& documentText, const QString& path, QString* error = nullptr);

// One child element of the root as read: its name and its attribute values by position.
struct XmlChild {
    QString name;
    QStringList attributeValues;
};

// Parses a file and lists the root's element children in document order; nullopt when
// the file cannot be read or parsed, or has no root element (then *why, when given, says
// which). The root's name is not checked. Text is taken as ISO 8859-1 unless the
// declaration names UTF-8. No DTD and no external entities are ever processed.
std::optional<QList<XmlChild>> ReadFlatDocument(const QString& path, QString* why = nullptr);
