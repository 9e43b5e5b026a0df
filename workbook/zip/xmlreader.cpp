#include "workbook/zip/xmlreader.h"

#include "workbook/importerrors.h"
#include "workbook/libxml/libxmlapi.h"

#include <QByteArray>
#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace analysis::zip {

namespace {

// Small enough to stop soon after the rows wanted, large enough to keep the
// calls into the inflater and the parser few.
constexpr std::size_t ChunkSize = 32 * 1024;
// More distinct names than any workbook part uses: a part that goes on
// making up new ones is damaged, and their table stays bounded.
constexpr std::size_t MaxNames = 4096;

} // namespace

struct XmlReader::Parser {
    struct Event {
        Token token;
        int depth;
        const QString *name;
        const QString *namespaceUri;
        // The character data, or the attributes' place in their list.
        std::size_t first;
        std::size_t count;
    };
    struct Attribute {
        const xmlChar *name; // from the parser's dictionary, like every name
        const QString *namespaceUri;
        std::size_t offset;
        std::size_t length;
    };

    const libxml::LibXmlApi *api;
    std::unique_ptr<EntryStream> entry;
    xmlParserCtxtPtr context = nullptr;

    // What the parser has read ahead: tokens, attributes and the text of
    // both, kept until every token is handed on.
    std::vector<Event> events;
    std::size_t nextEvent = 0;
    std::vector<Attribute> attributes;
    std::vector<char16_t> text;

    // Names in UTF-16, by the parser's dictionary entry (a node map: the
    // tokens read ahead hold on to them), the latest few looked up first.
    std::unordered_map<const xmlChar *, QString> names;
    std::array<std::pair<const xmlChar *, const QString *>, 16> recentNames{};
    int depth = 0;
    bool inputEnded = false;
    bool broken = false; // the input is damaged after the tokens read ahead

    Parser(const libxml::LibXmlApi *library, std::unique_ptr<EntryStream> member)
        : api(library), entry(std::move(member)) {}
    ~Parser() {
        if (context) api->xmlFreeParserCtxt(context);
    }

    bool start();
    bool parseMore();
    void stop() {
        broken = true;
        api->xmlStopParser(context);
    }
    void clear() {
        events.clear();
        nextEvent = 0;
        attributes.clear();
        text.clear();
    }

    const QString *intern(const xmlChar *name) {
        if (!name) return nullptr;
        auto &recent =
            recentNames[(reinterpret_cast<std::uintptr_t>(name) >> 3) % recentNames.size()];
        if (recent.first == name) return recent.second;
        auto found = names.find(name);
        if (found == names.end()) {
            if (names.size() >= MaxNames) {
                stop();
                return nullptr;
            }
            found =
                names.emplace(name, QString::fromUtf8(reinterpret_cast<const char *>(name))).first;
        }
        recent = {name, &found->second};
        return &found->second;
    }

    // Stores UTF-8 the parser has checked as UTF-16, and returns its
    // length there.
    std::size_t storeText(const xmlChar *utf8, std::size_t length) {
        const std::size_t offset = text.size();
        text.resize(offset + length);
        char16_t *out = text.data() + offset;
        std::size_t ascii = 0;
        while (ascii < length && utf8[ascii] < 0x80) {
            out[ascii] = utf8[ascii];
            ++ascii;
        }
        if (ascii == length) return length;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom);
        const QChar *end =
            decoder.appendToBuffer(reinterpret_cast<QChar *>(out + ascii),
                                   QByteArrayView(utf8 + ascii, qsizetype(length - ascii)));
        const std::size_t written = std::size_t(reinterpret_cast<const char16_t *>(end) - out);
        text.resize(offset + written);
        return written;
    }

    static Parser *from(void *context) { return static_cast<Parser *>(context); }

    static void startElement(void *context, const xmlChar *localName, const xmlChar *,
                             const xmlChar *uri, int, const xmlChar **, int attributeCount, int,
                             const xmlChar **values) {
        Parser *parser = from(context);
        // An undeclared prefix leaves the parser going; it is damage all the same.
        if (!parser->context->nsWellFormed || ++parser->depth > MaxDepth) return parser->stop();
        const std::size_t first = parser->attributes.size();
        for (int i = 0; i < attributeCount; ++i) {
            const xmlChar *const *attribute = values + 5 * i;
            const std::size_t offset = parser->text.size();
            const std::size_t length =
                parser->storeText(attribute[3], std::size_t(attribute[4] - attribute[3]));
            parser->attributes.push_back(
                {attribute[0], parser->intern(attribute[2]), offset, length});
        }
        parser->events.push_back({Token::StartElement, parser->depth, parser->intern(localName),
                                  parser->intern(uri), first, std::size_t(attributeCount)});
    }

    static void endElement(void *context, const xmlChar *localName, const xmlChar *,
                           const xmlChar *uri) {
        Parser *parser = from(context);
        --parser->depth;
        parser->events.push_back({Token::EndElement, parser->depth, parser->intern(localName),
                                  parser->intern(uri), 0, 0});
    }

    static void characters(void *context, const xmlChar *utf8, int length) {
        Parser *parser = from(context);
        const std::size_t offset = parser->text.size();
        const std::size_t added = parser->storeText(utf8, std::size_t(length));
        parser->events.push_back(
            {Token::Characters, parser->depth, nullptr, nullptr, offset, added});
    }

    // A document type declaration, an entity declaration or a reference left
    // unresolved: none belongs in a workbook part.
    static void internalSubset(void *context, const xmlChar *, const xmlChar *, const xmlChar *) {
        from(context)->stop();
    }
    static void entityDeclaration(void *context, const xmlChar *, int, const xmlChar *,
                                  const xmlChar *, xmlChar *) {
        from(context)->stop();
    }
    static void reference(void *context, const xmlChar *) { from(context)->stop(); }
    // The parser's messages are for its own developers; damage is told by
    // the reader's failure.
    static void quiet(void *, xmlErrorPtr) {}
};

bool XmlReader::Parser::start() {
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = startElement;
    handler.endElementNs = endElement;
    handler.characters = characters;
    handler.ignorableWhitespace = characters;
    handler.cdataBlock = characters;
    handler.internalSubset = internalSubset;
    handler.entityDecl = entityDeclaration;
    handler.reference = reference;
    handler.serror = quiet;
    context = api->xmlCreatePushParserCtxt(&handler, this, nullptr, 0, nullptr);
    if (!context) return false;
    // Predefined entities and character references are read as what they
    // stand for, in attributes too; without a declaration there is nothing
    // else they could stand for. Nothing is fetched.
    api->xmlCtxtUseOptions(context, XML_PARSE_NOENT | XML_PARSE_NONET);
    return true;
}

bool XmlReader::Parser::parseMore() {
    char chunk[ChunkSize];
    const std::int64_t got = entry->read(chunk, ChunkSize);
    if (got < 0) return false;
    if (got == 0) inputEnded = true;
    api->xmlParseChunk(context, chunk, int(got), inputEnded ? 1 : 0);
    if (!context->wellFormed || !context->nsWellFormed) broken = true;
    return true;
}

XmlReader::XmlReader(std::unique_ptr<EntryStream> entry) {
    if (const libxml::LibXmlApi *api = libxml::loadLibXml()) {
        m_parser = std::make_unique<Parser>(api, std::move(entry));
        if (!m_parser->start()) m_parser.reset();
    }
    if (!m_parser) m_failed = true;
}

XmlReader::~XmlReader() = default;

bool XmlReader::next() {
    if (m_failed) return false;
    Parser &parser = *m_parser;
    for (;;) {
        if (parser.nextEvent < parser.events.size()) {
            const Parser::Event &event = parser.events[parser.nextEvent++];
            m_token = event.token;
            m_depth = event.depth;
            m_name = event.name;
            m_namespace = event.namespaceUri;
            m_text = event.token == Token::Characters
                         ? QStringView(parser.text.data() + event.first, qsizetype(event.count))
                         : QStringView();
            m_firstAttribute = event.token == Token::StartElement ? event.first : 0;
            m_attributeCount = event.token == Token::StartElement ? event.count : 0;
            return true;
        }
        if (parser.broken) return fail();
        if (parser.inputEnded) {
            m_token = Token::None;
            return false;
        }
        parser.clear();
        if (!parser.parseMore()) return fail();
    }
}

QStringView XmlReader::attribute(const QString *namespaceUri, const char *name) const {
    if (!m_parser) return {};
    for (std::size_t i = m_firstAttribute; i < m_firstAttribute + m_attributeCount; ++i) {
        const Parser::Attribute &attribute = m_parser->attributes[i];
        const bool sameNamespace =
            namespaceUri ? attribute.namespaceUri && *attribute.namespaceUri == *namespaceUri
                         : !attribute.namespaceUri;
        if (!sameNamespace ||
            std::strcmp(reinterpret_cast<const char *>(attribute.name), name) != 0)
            continue;
        // An empty value is still a value: a view of no characters, not null.
        if (attribute.length == 0) return QStringView(u"", 0);
        return QStringView(m_parser->text.data() + attribute.offset, qsizetype(attribute.length));
    }
    return {};
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
        if (m_token == Token::Characters)
            text->append(m_text);
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
    if (entry) {
        part.reader = std::make_unique<XmlReader>(std::move(entry));
        if (part.reader->failed()) {
            part.reader.reset();
            part.error = CannotOpen;
        }
    }
    return part;
}

} // namespace analysis::zip
