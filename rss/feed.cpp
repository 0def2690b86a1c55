#include "rss/feed.h"

#include "platform/paths.h"
#include "platform/run_time_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>
#include <cstring>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <memory>

namespace {

// Entities nested deeper than this expand to nothing.
constexpr int kMaxEntityNesting = 16;

// The channel fields the walk fills: element name, the depth it must sit at
// (0: any depth) and the field.
struct SourceField
{
    const char* name;
    int depth;
    QString CFeedSource::*field;
};
constexpr SourceField kSourceFields[] = {
    {"copyright", 0, &CFeedSource::copyright},
    {"title", 4, &CFeedSource::title},
    {"link", 4, &CFeedSource::link},
    {"description", 4, &CFeedSource::description},
    {"language", 0, &CFeedSource::language},
    {"webMaster", 0, &CFeedSource::webMaster},
    {"lastBuildDate", 0, &CFeedSource::lastBuildDate},
    {"ttl", 0, &CFeedSource::ttl},
    {"generator", 0, &CFeedSource::generator},
};

template <typename Record> struct ChildField
{
    const char* name;
    QString Record::*field;
};
constexpr ChildField<CFeedSource> kImageFields[] = {
    {"title", &CFeedSource::imageTitle},   {"url", &CFeedSource::imageUrl},
    {"link", &CFeedSource::imageLink},     {"width", &CFeedSource::imageWidth},
    {"height", &CFeedSource::imageHeight}, {"description", &CFeedSource::imageDescription},
};
constexpr ChildField<CFeedItem> kItemFields[] = {
    {"title", &CFeedItem::title},       {"description", &CFeedItem::description},
    {"link", &CFeedItem::link},         {"author", &CFeedItem::author},
    {"category", &CFeedItem::category}, {"pubDate", &CFeedItem::pubDate},
    {"subject", &CFeedItem::subject},
};

struct DocDeleter
{
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// Whether an element's name, as written, is name. A name with a prefix
// ("dc:subject") matches none of the names the walk knows, none of which has one.
bool IsElement(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && !(node->ns && node->ns->prefix) &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// Gathers the text of a node and all its descendants, as a DOM's text does:
// text and CDATA in document order, internal entities expanded within the
// budget, external entities never (their content is never even read).
class TextGatherer
{
public:
    explicit TextGatherer(long long& entityBudget) : m_budget(entityBudget) {}

    QString Text(const xmlNode* node)
    {
        m_text.clear();
        Append(node->children, 0);
        return QString::fromUtf8(m_text.data(), static_cast<qsizetype>(m_text.size()));
    }

private:
    bool Full() const { return static_cast<qsizetype>(m_text.size()) >= CFeed::kMaxFieldChars; }

    void Append(const xmlNode* first, int nesting)
    {
        for (const xmlNode* node = first; node && !Full(); node = node->next) {
            if (nesting > 0 && --m_budget < 0)
                return;
            switch (node->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                AppendContent(node->content, nesting);
                break;
            case XML_ELEMENT_NODE:
                Append(node->children, nesting);
                break;
            case XML_ENTITY_REF_NODE:
                AppendEntity(node, nesting);
                break;
            default:
                break;
            }
        }
    }

    void AppendContent(const xmlChar* content, int nesting)
    {
        if (!content)
            return;
        auto length = static_cast<long long>(std::strlen(reinterpret_cast<const char*>(content)));
        length = std::min<long long>(length, CFeed::kMaxFieldChars - static_cast<long long>(m_text.size()));
        if (nesting > 0) {
            length = std::min(length, std::max(m_budget, 0LL));
            m_budget -= length;
        }
        m_text.append(reinterpret_cast<const char*>(content), static_cast<std::size_t>(length));
    }

    void AppendEntity(const xmlNode* reference, int nesting)
    {
        const xmlEntity* entity = xmlGetDocEntity(reference->doc, reference->name);
        if (!entity || entity->etype != XML_INTERNAL_GENERAL_ENTITY || nesting >= kMaxEntityNesting)
            return;
        Append(entity->children, nesting + 1);
    }

    long long& m_budget;
    std::string m_text;
};

struct ParserDeleter
{
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};

// Counts the "item" elements as the parser starts them (named as the walk
// names them) and stops the parse at the first one past CFeed::kMaxItems, so
// that the document never holds more items than a feed keeps.
struct ItemCount
{
    std::size_t items = 0;
    bool full = false;
};

void StartElement(void* context, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri, int namespaceCount,
                  const xmlChar** namespaces, int attributeCount, int defaultedCount, const xmlChar** attributes)
{
    auto* parser = static_cast<xmlParserCtxt*>(context);
    auto* count = static_cast<ItemCount*>(parser->_private);
    if (!prefix && xmlStrEqual(name, BAD_CAST "item") && ++count->items > CFeed::kMaxItems) {
        count->full = true;
        xmlStopParser(parser);
        return;
    }
    xmlSAX2StartElementNs(context, name, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount,
                          attributes);
}

// The document in bytes, or null when it does not parse. A document with more
// items than a feed keeps ends before the first item too many: the items up to
// there are all there, and nothing after them.
std::unique_ptr<xmlDoc, DocDeleter> ReadDocument(const QByteArray& bytes)
{
    const std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(
        xmlCreateMemoryParserCtxt(bytes.constData(), static_cast<int>(bytes.size())));
    if (!parser)
        return nullptr;
    // No network, no DTD load, no entity substitution: external entities are
    // never read; libxml2 also refuses runaway internal entity expansion.
    xmlCtxtUseOptions(parser.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    ItemCount count;
    parser->_private = &count;
    parser->sax->startElementNs = StartElement;
    xmlParseDocument(parser.get());
    std::unique_ptr<xmlDoc, DocDeleter> doc(parser->myDoc);
    parser->myDoc = nullptr;
    if (!parser->wellFormed && !count.full)
        return nullptr;
    return doc;
}

// The title cut to CFeed::kMaxTitleChars, the last of them an ellipsis; never
// between the two halves of a surrogate pair.
QString BoundedTitle(QString title)
{
    if (title.size() <= CFeed::kMaxTitleChars)
        return title;
    qsizetype keep = CFeed::kMaxTitleChars - 1;
    if (title.at(keep).isLowSurrogate())
        --keep;
    title.truncate(keep);
    return title + QChar(0x2026);
}

} // namespace

QString DownloadFailedText(const QString& url)
{
    return QStringLiteral("Failed to download ") + url;
}

QString ParseFailedText()
{
    return QStringLiteral("Failed to load XML Document");
}

QString CFeed::DefaultFolder()
{
    return platform::paths::ExeDir();
}

CFeed::CFeed(const QString& url, const QString& folder, const DownloadLimits& limits, DownloadCancel* cancel)
{
    Load(url, folder, limits, cancel);
}

void CFeed::Reset()
{
    m_source = {};
    m_items.clear();
    m_nDepth = 0;
}

void CFeed::Load(const QString& url, const QString& folder, const DownloadLimits& limits,
                 DownloadCancel* cancel)
{
    Reset();
    m_strError.clear();
    // A file of this load's own, renamed into place once parsed.
    const QString target = QDir(folder).filePath(QString::fromLatin1(kFileName));
    QTemporaryFile download(target + QStringLiteral(".XXXXXX"));
    if (!download.open()) {
        download.setFileTemplate(QDir::temp().filePath(QStringLiteral("lmd_rss.XXXXXX.xml")));
        if (!download.open()) {
            m_strError = DownloadFailedText(url);
            return;
        }
    }
    if (!DownloadToDevice(url, download, limits, cancel) || !download.flush()) {
        m_strError = DownloadFailedText(url);
        return;
    }
    download.close();
    if (!Parse(download.fileName()))
        m_strError = ParseFailedText();
    // Only within the folder: a temporary file elsewhere simply goes.
    if (std::rename(QFile::encodeName(download.fileName()).constData(),
                    QFile::encodeName(target).constData()) == 0)
        download.setAutoRemove(false);
}

bool CFeed::Parse(const QString& path)
{
    Reset();
    InitFeedLibraries();
    // The bytes as they are: read by name, libxml2 would also unpack a
    // compressed file, without bound.
    const platform::FileRead file = platform::ReadRunTimeFile(path, platform::FileKind::Feed);
    if (!file.Ok() || file.bytes.isEmpty())
        return false;
    const std::unique_ptr<xmlDoc, DocDeleter> doc = ReadDocument(file.bytes);
    if (!doc)
        return false;
    // Shared by the text and the nodes that entities expand to, so that no
    // "billion laughs" document grows without bound.
    m_entityBudget = kMaxEntityText;
    ParseNode(reinterpret_cast<xmlNode*>(doc.get()));
    return true;
}

void CFeed::ParseNode(xmlNode* node)
{
    ++m_nDepth;
    TextGatherer text(m_entityBudget);
    for (const SourceField& row : kSourceFields) {
        if (IsElement(node, row.name)) {
            if (row.depth == 0 || row.depth == m_nDepth)
                m_source.*row.field = text.Text(node);
            break;
        }
    }
    if (IsElement(node, "image"))
        ParseImage(node);
    else if (IsElement(node, "item"))
        ParseItem(node);
    // Every child in document order; a DTD's declarations and entity references
    // are not part of the document's tree of elements.
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_DTD_NODE && child->type != XML_ENTITY_REF_NODE)
            ParseNode(child);
    }
    --m_nDepth;
}

void CFeed::ParseImage(xmlNode* node)
{
    TextGatherer text(m_entityBudget);
    for (const xmlNode* child = node->children; child; child = child->next) {
        for (const auto& row : kImageFields) {
            if (IsElement(child, row.name))
                m_source.*row.field = text.Text(child);
        }
    }
}

void CFeed::ParseItem(xmlNode* node)
{
    TextGatherer text(m_entityBudget);
    CFeedItem item;
    for (const xmlNode* child = node->children; child; child = child->next) {
        for (const auto& row : kItemFields) {
            if (IsElement(child, row.name))
                item.*row.field = text.Text(child);
        }
    }
    item.title = BoundedTitle(std::move(item.title));
    m_items.push_back(std::move(item));
}
