#pragma once

#include "workbook/importerrors.h"
#include "workbook/zip/ziparchive.h"

#include <QString>
#include <QStringView>
#include <QXmlStreamReader>

#include <memory>

namespace analysis::zip {

// The XML of one archive member, parsed while it is inflated, so that a
// reader can stop as soon as it has what it needs. A document type
// declaration, an entity reference or nesting deeper than a workbook ever
// needs counts as damage: none of them belongs in these parts.
class XmlReader {
public:
    static constexpr int MaxDepth = 256;

    explicit XmlReader(std::unique_ptr<EntryStream> entry) : m_entry(std::move(entry)) {}

    // Advances to the next token. False at the end of the document or on a
    // failure, which failed() then tells.
    bool next();
    bool failed() const { return m_failed; }

    QXmlStreamReader::TokenType token() const { return m_xml.tokenType(); }
    bool isStart() const { return m_xml.tokenType() == QXmlStreamReader::StartElement; }
    bool isEnd() const { return m_xml.tokenType() == QXmlStreamReader::EndElement; }
    bool isStart(QStringView namespaceUri, QStringView name) const {
        return isStart() && m_xml.name() == name && m_xml.namespaceUri() == namespaceUri;
    }
    QStringView name() const { return m_xml.name(); }
    QStringView namespaceUri() const { return m_xml.namespaceUri(); }
    QStringView text() const { return m_xml.text(); }
    // The attributes of the current start element, valid until the next token.
    QStringView attribute(const char *name) const {
        return m_attributes.value(QLatin1StringView(name));
    }
    QStringView attribute(const QString &namespaceUri, const char *name) const {
        return m_attributes.value(namespaceUri, QLatin1StringView(name));
    }
    bool hasAttribute(const QString &namespaceUri, const char *name) const {
        return !attribute(namespaceUri, name).isNull();
    }
    int depth() const { return m_depth; }

    // Inside the element whose start was read at depth (depth() there):
    // moves to the next token, or the next start element, within it. False
    // at its end element, or on a failure, which failed() then tells.
    bool nextWithin(int depth);
    bool nextStartWithin(int depth) {
        while (nextWithin(depth))
            if (isStart()) return true;
        return false;
    }

    // From a start element, moves to its end element.
    bool skipElement();
    // From a start element, appends the character data of the element and
    // of everything inside it, and moves to its end element.
    bool appendText(QString *text);

private:
    bool refill();
    bool fail() {
        m_failed = true;
        return false;
    }

    std::unique_ptr<EntryStream> m_entry;
    QXmlStreamReader m_xml;
    QXmlStreamAttributes m_attributes;
    int m_depth = 0;
    bool m_inputEnded = false;
    bool m_failed = false;
};

// An XML member opened for reading, or why it could not be.
struct XmlPart {
    std::unique_ptr<XmlReader> reader; // null when missing or unreadable
    // No member of that name: no failure of its own, the caller tells what a
    // missing part means.
    bool missing = false;
    int error = NoError; // the import failure number of a member that can't be read

    // The failure number when there is no reader.
    int failure(int whenMissing) const { return missing ? whenMissing : error; }
};

XmlPart openXml(Archive &archive, const QString &name);

} // namespace analysis::zip
