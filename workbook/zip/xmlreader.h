#pragma once

#include "workbook/importerrors.h"
#include "workbook/zip/ziparchive.h"

#include <QString>
#include <QStringView>

#include <memory>

namespace analysis::zip {

// The XML of one archive member, parsed while it is inflated, so that a
// reader can stop as soon as it has what it needs. A document type
// declaration, an entity reference or nesting deeper than a workbook ever
// needs counts as damage: none of them belongs in these parts. The parser is
// libxml2's; without that library no member can be read.
class XmlReader {
public:
    static constexpr int MaxDepth = 256;

    enum class Token { None, StartElement, EndElement, Characters };

    explicit XmlReader(std::unique_ptr<EntryStream> entry);
    ~XmlReader();
    XmlReader(const XmlReader &) = delete;
    XmlReader &operator=(const XmlReader &) = delete;

    // Advances to the next token. False at the end of the document or on a
    // failure, which failed() then tells. The character data between two
    // tags may come in several tokens (appendText joins them).
    bool next();
    bool failed() const { return m_failed; }

    Token token() const { return m_token; }
    bool isStart() const { return m_token == Token::StartElement; }
    bool isEnd() const { return m_token == Token::EndElement; }
    bool isStart(QStringView namespaceUri, QStringView name) const {
        return isStart() && this->name() == name && this->namespaceUri() == namespaceUri;
    }
    // The element's local name and namespace at its start and end.
    QStringView name() const { return m_name ? QStringView(*m_name) : QStringView(); }
    QStringView namespaceUri() const {
        return m_namespace ? QStringView(*m_namespace) : QStringView();
    }
    // The character data, valid until the next token.
    QStringView text() const { return m_text; }
    // The attributes of the current start element, valid until the next
    // token; null where the element has no such attribute.
    QStringView attribute(const char *name) const { return attribute(nullptr, name); }
    QStringView attribute(const QString &namespaceUri, const char *name) const {
        return attribute(&namespaceUri, name);
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
    // The push parser and the tokens it has read ahead of the caller.
    struct Parser;

    QStringView attribute(const QString *namespaceUri, const char *name) const;
    bool fail() {
        m_failed = true;
        return false;
    }

    std::unique_ptr<Parser> m_parser;
    Token m_token = Token::None;
    const QString *m_name = nullptr;
    const QString *m_namespace = nullptr;
    QStringView m_text;
    std::size_t m_firstAttribute = 0;
    std::size_t m_attributeCount = 0;
    int m_depth = 0;
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
