#include "workbook/zip/xmlreader.h"

#include "workbook/importerrors.h"

namespace analysis::zip {

namespace {
// Small enough to stop soon after the rows wanted, large enough to keep the
// calls into the inflater few.
constexpr std::size_t ChunkSize = 32 * 1024;
} // namespace

bool XmlReader::refill() {
    QByteArray chunk(qsizetype(ChunkSize), Qt::Uninitialized);
    const std::int64_t got = m_entry->read(chunk.data(), ChunkSize);
    if (got < 0) return fail();
    if (got == 0) {
        m_inputEnded = true;
        return true;
    }
    chunk.truncate(qsizetype(got));
    m_xml.addData(chunk);
    return true;
}

bool XmlReader::next() {
    if (m_failed) return false;
    // The reader reuses its list of attributes for the next element; holding
    // on to it would make it copy the list at every start element.
    m_attributes = QXmlStreamAttributes();
    for (;;) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::Invalid:
            if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_inputEnded) {
                if (!refill()) return false;
                continue;
            }
            return fail();
        case QXmlStreamReader::StartElement:
            if (++m_depth > MaxDepth) return fail();
            m_attributes = m_xml.attributes();
            return true;
        case QXmlStreamReader::EndElement:
            --m_depth;
            return true;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return fail();
        case QXmlStreamReader::EndDocument:
            return false;
        default:
            return true;
        }
    }
}

bool XmlReader::nextWithin(int depth) {
    // The document can't end inside an element without a failure.
    if (!next()) return fail();
    return !(isEnd() && m_depth < depth);
}

bool XmlReader::skipElement() {
    const int depth = m_depth;
    while (next())
        if (isEnd() && m_depth < depth) return true;
    return fail();
}

bool XmlReader::appendText(QString *text) {
    const int depth = m_depth;
    while (next()) {
        if (token() == QXmlStreamReader::Characters)
            text->append(m_xml.text());
        else if (isEnd() && m_depth < depth)
            return true;
    }
    return fail();
}

XmlPart openXml(Archive &archive, const QString &name) {
    XmlPart part;
    const std::optional<std::uint64_t> index = archive.find(name);
    if (!index) {
        part.missing = true;
        return part;
    }
    std::unique_ptr<EntryStream> entry = archive.openEntry(*index, &part.error);
    if (entry) part.reader = std::make_unique<XmlReader>(std::move(entry));
    return part;
}

} // namespace analysis::zip
