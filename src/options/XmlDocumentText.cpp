#include "options/XmlDocumentText.h"

#include "common/AtomicFile.h"

#include <QFile>
#include <pugixml.hpp>

namespace {

void AppendEscaped(QString& out, const QString& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const char16_t u = c.unicode();
        switch (u) {
        case u'&': out += QStringLiteral("&amp;"); continue;
        case u'<': out += QStringLiteral("&lt;"); continue;
        case u'>': out += QStringLiteral("&gt;"); continue;
        case u'"': out += QStringLiteral("&quot;"); continue;
        default: break;
        }
        if (u < 0x20) {
            // Line ends and tabs inside a value survive a read only as references.
            out += QStringLiteral("&#%1;").arg(static_cast<int>(u));
        } else if (u <= 0xFF) {
            out += c;
        } else {
            char32_t code = u;
            if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(c, value[i + 1]);
                ++i;
            }
            out += QStringLiteral("&#x") + QString::number(static_cast<uint>(code), 16).toUpper() + QLatin1Char(';');
        }
    }
}

} // namespace

QString SerialiseFlatDocument(const QString& comment, const QList<XmlElementLine>& elements)
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?><!--") + comment + QStringLiteral("--><Root>");
    for (const XmlElementLine& e : elements) {
        text += QStringLiteral("\n\t<") + e.name;
        for (const auto& [name, value] : e.attributes) {
            text += QLatin1Char(' ') + name + QStringLiteral("=\"");
            AppendEscaped(text, value);
            text += QLatin1Char('"');
        }
        text += QStringLiteral("/>");
    }
    text += QStringLiteral("\n</Root>");
    return text;
}

bool WriteXmlDocumentText(const QString& documentText, const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty() || path.size() > 511)
        return fail(QStringLiteral("the file name is empty or longer than 511 characters"));

    // The declaration and the comment each end their own line.
    const qsizetype first = documentText.indexOf(QLatin1Char('>'));
    const qsizetype second = first < 0 ? -1 : documentText.indexOf(QLatin1Char('>'), first + 1);
    if (second < 0)
        return fail(QStringLiteral("the document text is not complete"));
    QString text = documentText.left(first + 1) + QLatin1Char('\n') + documentText.mid(first + 1, second - first)
        + QLatin1Char('\n') + documentText.mid(second + 1);
    text.remove(QLatin1Char('\r'));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');

    QByteArray bytes;
    bytes.reserve(text.size() + text.count(QLatin1Char('\n')));
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return fail(QStringLiteral("the text holds a character that ISO 8859-1 cannot represent"));
        if (c == QLatin1Char('\n'))
            bytes += '\r';
        bytes += static_cast<char>(c.unicode());
    }

    std::string why;
    if (!WriteFileAtomically(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why))
        return fail(QString::fromStdString(why));
    return true;
}

std::optional<QList<XmlChild>> ReadFlatDocument(const QString& path, QString* why)
{
    auto fail = [why](const QString& reason) -> std::optional<QList<XmlChild>> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("it cannot be opened (%1)").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("it cannot be read (%1)").arg(file.errorString()));

    // Files written here carry no encoding and are ISO 8859-1; a hand-edited file may
    // declare UTF-8.
    pugi::xml_encoding encoding = pugi::encoding_latin1;
    const qsizetype declEnd = bytes.indexOf("?>");
    if (bytes.startsWith("<?xml") && declEnd > 0) {
        const QByteArray decl = bytes.left(declEnd).toLower();
        if (decl.contains("utf-8") || decl.contains("utf8"))
            encoding = pugi::encoding_utf8;
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = pugi::encoding_utf8;
    }

    pugi::xml_document doc;
    // Only the five predefined entities and character references are expanded; a DTD is
    // skipped, never processed.
    const unsigned options = pugi::parse_default;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(bytes.constData(), static_cast<std::size_t>(bytes.size()), options, encoding);
    if (!parsed)
        return fail(QStringLiteral("it is not an XML document (%1 at byte %2)")
                        .arg(QString::fromLatin1(parsed.description()))
                        .arg(parsed.offset));
    const pugi::xml_node root = doc.document_element();
    if (!root)
        return fail(QStringLiteral("it holds no XML element"));

    QList<XmlChild> children;
    for (const pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        XmlChild c;
        c.name = QString::fromUtf8(child.name());
        for (const pugi::xml_attribute a : child.attributes())
            c.attributeValues << QString::fromUtf8(a.value());
        children << c;
    }
    return children;
}
