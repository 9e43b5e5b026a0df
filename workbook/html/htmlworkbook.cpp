#include "workbook/html/htmlworkbook.h"

#include "workbook/bytesource.h"
#include "workbook/html/htmltables.h"
#include "workbook/importerrors.h"
#include "workbook/libxml/libxmlapi.h"
#include "workbook/text/textencoding.h"
#include "workbook/text/wholefile.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <memory>

namespace analysis::html {

namespace {

using libxml::LibXmlApi;

// The first bytes in lower case as Latin-1, a UTF-16 page's decoded first.
QByteArray probe(const std::uint8_t *first, std::size_t length) {
    const QByteArrayView bytes(first, qsizetype(length));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return QString(decoder.decode(bytes.sliced(2))).toLatin1().toLower();
    }
    return (bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes).toByteArray().toLower();
}

// The charset a page's head declares, or empty.
QByteArray declaredCharset(const QByteArray &head) {
    qsizetype at = head.indexOf("charset=");
    if (at < 0) return {};
    at += 8;
    while (at < head.size() && (head[at] == '"' || head[at] == '\'' || head[at] == ' '))
        ++at;
    qsizetype end = at;
    while (end < head.size() &&
           (std::isalnum(static_cast<unsigned char>(head[end])) || head[end] == '-' ||
            head[end] == '_' || head[end] == '.' || head[end] == ':'))
        ++end;
    return head.mid(at, end - at);
}

// The page as UTF-8 for the parser, control characters (which would stop
// it) shown as spaces.
QByteArray parserInput(const QString &text) {
    QString cleaned = text;
    for (QChar &c : cleaned)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') c = u' ';
    return cleaned.toUtf8();
}

struct ParserDeleter {
    const LibXmlApi *api;
    void operator()(htmlParserCtxt *context) const { api->htmlFreeParserCtxt(context); }
    void operator()(xmlDoc *page) const { api->xmlFreeDoc(page); }
};

int parse(const QByteArray &input, std::vector<text::GridSheet> *sheets) {
    const LibXmlApi *api = libxml::loadLibXml();
    if (!api) return CannotOpen;
    const std::unique_ptr<htmlParserCtxt, ParserDeleter> context(api->htmlNewParserCtxt(),
                                                                 ParserDeleter{api});
    if (!context) return CannotOpen;
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                        HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC;
    const std::unique_ptr<xmlDoc, ParserDeleter> page(
        api->htmlCtxtReadMemory(context.get(), input.constData(), int(input.size()), nullptr,
                                "UTF-8", options),
        ParserDeleter{api});
    // A parser that stopped (a text beyond its limits) left the rest unread.
    if (!page || context->disableSAX) return CannotOpen;
    return readTables(page.get(), sheets);
}

} // namespace

PageKind pageKind(const std::uint8_t *first, std::size_t length) {
    const QByteArray head = probe(first, length).trimmed();
    if (!head.startsWith('<')) return PageKind::None;
    if (head.contains("<html") || head.contains("<!doctype html")) return PageKind::Page;
    if (head.contains("<table") && !head.contains("urn:schemas-microsoft-com:office:spreadsheet"))
        return PageKind::Page;
    return PageKind::OtherMarkup;
}

std::unique_ptr<Workbook> openHtmlWorkbook(ByteSource &source, int *error) {
    QByteArray copy;
    const std::uint8_t *bytes = text::wholeFile(source, &copy);
    if (!bytes) {
        *error = CannotOpen;
        return nullptr;
    }
    const std::size_t size = std::size_t(source.size());
    const QByteArray charset = declaredCharset(probe(bytes, std::min<std::size_t>(size, 4096)));
    QString page;
    *error =
        text::decodeText(bytes, size, charset.isEmpty() ? nullptr : charset.constData(), &page);
    if (*error == NoError && !source.intact()) *error = CannotOpen;
    std::vector<text::GridSheet> sheets;
    if (*error == NoError) *error = parse(parserInput(page), &sheets);
    if (*error != NoError) return nullptr;
    return std::make_unique<text::GridWorkbook>(std::move(sheets), false);
}

} // namespace analysis::html
