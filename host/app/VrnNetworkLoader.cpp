#include "VrnNetworkLoader.h"

#include "VrnAddressNumbers.h"
#include "VrnAttributeValues.h"
#include "VrnBuiltinKinds.h"
#include "VrnClassFactory.h"
#include "VrnGlobalNameTable.h"
#include "VrnGlslNames.h"
#include "VrnJsonKeys.h"
#include "VrnKindLibrary.h"
#include "VrnNodeCreationOrder.h"
#include "VrnObjectArena.h"
#include "VrnProjectManager.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkManager.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonDocument>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <numeric>

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace VrnJsonRead;

namespace {
constexpr int kFormatVersion = 1;
constexpr int kMinUvTile = 1001;
constexpr int kMaxUvTile = 9999;
constexpr int kDefaultChannelSize = 64;
// Channels live in memory as float RGBA; larger ones are a mistake, not a texture.
constexpr int kMaxChannelSize = 2048;
using VrnNetworkLoader::kMaxFileSize;
// What one network may hold, checked before anything is made: texels of all
// channels together (four channels of the largest size), image files, and
// gradient samples of all nodes together.
constexpr qint64 kMaxTexels = qint64(4) * kMaxChannelSize * kMaxChannelSize;
constexpr int kMaxImages = 256;
constexpr qint64 kMaxGradientSamples = 1024 * 1024;
// Free text goes into one-line GLSL comments and messages.
constexpr int kMaxTextLength = 256;
// Each re-evaluated input repeats the evaluation of every node upstream of it,
// so re-evaluations cost the product of their number and depth: this many
// repeated node evaluations together at most.
constexpr qint64 kMaxRevalWork = 250000;
// Every node writes its kind's code with its tokens replaced; a long token
// text used many times, or long code in many nodes, would make a shader of any
// size. Characters of all nodes' code together at most.
constexpr qint64 kMaxCodeCharacters = 128 * 1024 * 1024;
// Room for the uniform-block read that replaces a "$Name" token in the styles
// that keep parameters in a block.
constexpr int kBlockReadText = 64;
// A cycle longer than this is shown by its ends.
constexpr int kMaxCycleShown = 8;

const QString kCurrentChannel = VrnChannelId::currentChannelText();

QString str(const char* s)
{
    return QString::fromLatin1(s);
}

QString codePoint(QChar c)
{
    return QStringLiteral("U+") + QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// Why the text cannot be written into a one-line comment; empty when it can.
// Names, paths and path keys are such text: letters of any script are fine,
// line breaks and other control characters are not, and neither is the end of a block comment.
QString textFault(const QString& text)
{
    if (text.size() > kMaxTextLength)
        return QStringLiteral("is %1 characters long, more than %2").arg(text.size()).arg(kMaxTextLength);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            return QStringLiteral("has the control character %1, and names are one line of text").arg(codePoint(c));
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return QStringLiteral("has the unpaired surrogate %1").arg(codePoint(c));
    }
    if (text.contains(QLatin1String("*/")))
        return QStringLiteral("has \"*/\", which would end a comment");
    return QString();
}

// The same for GLSL code of a kind, which may have several lines.
QString codeFault(const QString& code)
{
    for (const QChar c : code)
        if ((c.category() == QChar::Other_Control && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            return QStringLiteral("has the control character %1; code may hold line feeds and tabs only").arg(codePoint(c));
    return QString();
}

// "A -> B -> ... (N more) -> Y -> Z" for long cycles: a message stays one readable line.
QString cycleText(const QStringList& ids)
{
    if (ids.size() <= kMaxCycleShown)
        return ids.join(QStringLiteral(" -> "));
    const int head = kMaxCycleShown / 2;
    const int tail = kMaxCycleShown - head;
    return QStringList(ids.mid(0, head)).join(QStringLiteral(" -> "))
           + QStringLiteral(" -> ... (%1 more) -> ").arg(ids.size() - head - tail)
           + QStringList(ids.mid(ids.size() - tail)).join(QStringLiteral(" -> "));
}

// Decodes a PNG. The decoder's complaints, which libpng writes to stderr
// itself and Qt passes to its message handler, become the reason instead.
bool decodePng(const QString& path, QImage& image, QString& reason)
{
    static QMutex mutex; // stderr and the message handler are the process's
    static QStringList complaints;
    QMutexLocker lock(&mutex);
    complaints.clear();
    std::fflush(stderr);
    const int savedStderr = ::dup(STDERR_FILENO);
    std::FILE* capture = std::tmpfile();
    if (capture && savedStderr >= 0)
        ::dup2(::fileno(capture), STDERR_FILENO);
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { complaints.append(message.simplified()); });
    QImageReader reader(path, "png");
    image = reader.read();
    qInstallMessageHandler(previous);
    std::fflush(stderr);
    if (savedStderr >= 0) {
        ::dup2(savedStderr, STDERR_FILENO);
        ::close(savedStderr);
    }
    if (capture) {
        std::rewind(capture);
        char text[1024];
        const size_t size = std::fread(text, 1, sizeof text, capture);
        std::fclose(capture);
        const QString written = QString::fromLocal8Bit(text, int(size)).simplified();
        if (!written.isEmpty())
            complaints.prepend(written);
    }
    if (!image.isNull())
        return true;
    reason = reader.errorString();
    if (!complaints.isEmpty())
        reason += QStringLiteral(" (%1)").arg(complaints.join(QStringLiteral("; ")).left(kMaxTextLength));
    return false;
}

// Texels bottom row first, as textures are.
QVector<float> imageTexels(const QImage& decoded)
{
    const QImage image = decoded.convertToFormat(QImage::Format_RGBA64);
    const int w = image.width();
    const int h = image.height();
    QVector<float> pixels;
    pixels.reserve(w * h * 4);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgba64*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            pixels << line[x].red() / 65535.0f << line[x].green() / 65535.0f << line[x].blue() / 65535.0f
                   << line[x].alpha() / 65535.0f;
    }
    return pixels;
}

// A connection read from the file, made once every connection has been read.
struct Connection
{
    VrnSnBaseNode* producer;
    QString output;
    VrnSnBaseNode* consumer;
    QString input;
    QString place;
};

class Loader
{
public:
    // The order the nodes are made in; the network lists them in file order either way.
    enum class NodeOrder { BuildWalk, File };

    Loader(const QString& baseDirectory, const QString& fileLabel, NodeOrder order)
        : m_baseDirectory(baseDirectory), m_fileLabel(fileLabel), m_nodeOrder(order)
    {
    }

    // Builds everything into m_network; false with m_error ("PLACE: what") on the first fault.
    bool load(const QByteArray& data);

    QString m_error;
    // Set when the nodes were made in an order other than the file's and one
    // of them failed: the fault reported is then not necessarily the first
    // one in the file.
    bool m_faultDependsOnOrder = false;
    std::unique_ptr<VrnShaderNetwork> m_network;
    VrnLoadedNetwork m_result;

private:
    bool parseDocument(const QByteArray& data, QJsonObject& root);
    bool readTopLevel(const QJsonObject& root);
    bool readChannels(const QJsonValue& json);
    bool readChannel(const QJsonValue& json, const QString& at);
    bool readCurrentChannel(const QJsonValue& json);
    bool readNodes(const QJsonObject& root);
    bool readNode(const QJsonValue& json, int index);
    bool readAttributes(VrnSnBaseNode* node, const QJsonValue& json, const QString& at);
    bool readCache(VrnSnBaseNode* node, const QJsonValue& json, const QString& at);
    bool readBake(VrnSnBaseNode* node, const QJsonValue& json, const QString& at);
    bool readConnections(const QJsonValue& json);
    bool readConnection(const QJsonValue& json, const QString& at, QHash<QString, QString>& connectedBy, QList<Connection>& connections);
    bool readRoot(const QJsonValue& json);
    // Counts texels against the network's budget before they are made.
    bool spendTexels(qint64 texels, const QString& at);
    // Refuses GLSL names of the node that the compiler would refuse or that another node declares too.
    bool checkNodeGlobals(VrnSnBaseNode* node, int index, const QString& at);
    // Refuses text that generators write into comments when it could leave its comment.
    bool checkTexts();
    // Refuses re-evaluations that together would repeat more node evaluations than the budget.
    bool checkRevalWork();
    // Refuses networks whose nodes' code, tokens replaced, would exceed the budget.
    bool checkCodeSize();

    bool checkChannel(const QString& name, const QString& at);
    bool checkChannelValue(const QVariant& value, const QString& at);
    // Splits "node.point" and finds the node.
    bool endpoint(const QJsonValue& json, const QString& at, const char* pointWord, VrnSnBaseNode*& node, QString& point);
    // The data-flow path from consumer round to consumer when producer already depends on it; empty otherwise.
    QStringList cycleThrough(VrnSnBaseNode* producer, VrnSnBaseNode* consumer) const;
    // Whether the first count connections close a cycle; linear in nodes and connections.
    bool hasCycle(const QList<Connection>& connections, int count) const;

    bool fail(const QString& place, const QString& what) { return VrnJsonRead::fail(m_error, place, what); }
    VrnShadingContext* shading() const { return m_network->shadingContext(); }

    QString m_baseDirectory;
    QString m_fileLabel;
    NodeOrder m_nodeOrder;
    QMap<QString, VrnSnNodeKindPtr> m_kinds;
    // The loader's tables are one array each: entries allocated node by node
    // would be freed with the loader and leave holes between the nodes.
    VrnAddressNumbers m_nodeIndex{0}; // node -> index in "nodes"
    QVector<VrnSnBaseNode*> m_nodeAt; // by index in "nodes"; null until made
    VrnGlobalNameTable m_globalNames; // GLSL global -> index in "nodes" of the node that declares it
    QList<QPair<QString, QString>> m_channelNames; // place, name
    qint64 m_texels = 0;
    int m_images = 0;
    qint64 m_gradientSamples = 0;
};

bool Loader::parseDocument(const QByteArray& data, QJsonObject& root)
{
    if (data.trimmed().isEmpty())
        return fail(QString(), QStringLiteral("the file is empty"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const int offset = qBound(0, parseError.offset, data.size());
        const QByteArray before = data.left(offset);
        const int line = before.count('\n') + 1;
        const int column = offset - (before.lastIndexOf('\n') + 1) + 1;
        return fail(QStringLiteral("line %1, column %2").arg(line).arg(column),
                    QStringLiteral("not valid JSON (%1)").arg(parseError.errorString()));
    }
    if (!document.isObject())
        return fail(QString(), QStringLiteral("expected a JSON object, got %1").arg(document.isArray() ? str("an array") : str("a scalar")));
    QString repeated;
    if (VrnJsonKeys::findRepeatedKey(data, repeated))
        return fail(repeated, QStringLiteral("the key is given twice in one object"));
    root = document.object();
    return true;
}

bool Loader::load(const QByteArray& data)
{
    QJsonObject root;
    if (!parseDocument(data, root))
        return false;
    return readTopLevel(root) && checkTexts();
}

bool Loader::readTopLevel(const QJsonObject& root)
{
    if (!checkKeys(root, QString(),
                   {str("format"), str("name"), str("defines"), str("currentUv"), str("currentChannel"), str("channels"),
                    str("kinds"), str("nodes"), str("connections"), str("root")},
                   {str("format"), str("nodes"), str("root")}, m_error))
        return false;

    int format = 0;
    if (!toInt(root.value(str("format")), str("format"), INT_MIN, INT_MAX, format, m_error))
        return false;
    if (format != kFormatVersion)
        return fail(str("format"), QStringLiteral("%1 is not a supported format version (this host reads %2)").arg(format).arg(kFormatVersion));

    QString name = QFileInfo(m_fileLabel).completeBaseName();
    if (name.isEmpty())
        name = str("Network");
    if (root.contains(str("name")) && !toName(root.value(str("name")), str("name"), name, m_error))
        return false;
    m_network.reset(new VrnShaderNetwork(name));

    if (root.contains(str("defines"))) {
        // Each becomes a "#define" line of its own.
        if (!toShortStringList(root.value(str("defines")), str("defines"), m_result.defines, m_error))
            return false;
        for (int i = 0; i < m_result.defines.size(); ++i) {
            const QString fault = VrnGlslNames::defineFault(m_result.defines.at(i));
            if (!fault.isEmpty())
                return fail(place(str("defines"), i), QStringLiteral("%1 is %2").arg(quote(m_result.defines.at(i)), fault));
        }
    }

    if (root.contains(str("currentUv"))
        && !toInt(root.value(str("currentUv")), str("currentUv"), kMinUvTile, kMaxUvTile, m_result.currentUv, m_error))
        return false;
    shading()->setCurrentUvChannel(m_result.currentUv);

    if (root.contains(str("channels")) && !readChannels(root.value(str("channels"))))
        return false;
    if (root.contains(str("currentChannel")) && !readCurrentChannel(root.value(str("currentChannel"))))
        return false;

    m_kinds = VrnBuiltinKinds::all();
    if (root.contains(str("kinds"))) {
        if (!VrnKindLibrary::parseKinds(root.value(str("kinds")), str("kinds"), m_kinds.keys(), m_result.fileKinds, m_error))
            return false;
        for (const VrnSnNodeKindPtr& kind : qAsConst(m_result.fileKinds))
            m_kinds.insert(kind->name, kind);
    }

    if (!readNodes(root))
        return false;
    if (root.contains(str("connections")) && !readConnections(root.value(str("connections"))))
        return false;
    if (!checkRevalWork() || !checkCodeSize())
        return false;
    return readRoot(root.value(str("root")));
}

bool Loader::readChannels(const QJsonValue& json)
{
    QJsonArray array;
    if (!toArray(json, str("channels"), array, m_error))
        return false;
    for (int i = 0; i < array.size(); ++i)
        if (!readChannel(array.at(i), place(str("channels"), i)))
            return false;
    return true;
}

bool Loader::readChannel(const QJsonValue& json, const QString& at)
{
    QJsonObject o;
    if (!toObject(json, at, o, m_error)
        || !checkKeys(o, at, {str("name"), str("uv"), str("size"), str("fill"), str("checker"), str("image")}, {str("name")}, m_error))
        return false;
    QString name;
    int uv = kMinUvTile;
    int size = kDefaultChannelSize;
    if (!toName(o.value(str("name")), place(at, str("name")), name, m_error))
        return false;
    if (name == kCurrentChannel)
        return fail(place(at, str("name")), QStringLiteral("%1 stands for the current channel and cannot name one").arg(quote(name)));
    if (o.contains(str("uv")) && !toInt(o.value(str("uv")), place(at, str("uv")), kMinUvTile, kMaxUvTile, uv, m_error))
        return false;
    if (shading()->channel(uv, name))
        return fail(place(at, str("name")), QStringLiteral("channel %1 of UV tile %2 is defined twice").arg(quote(name)).arg(uv));
    m_channelNames.append({place(at, str("name")), name});

    const QStringList sources{str("fill"), str("checker"), str("image")};
    QStringList given;
    for (const QString& s : sources)
        if (o.contains(s))
            given.append(s);
    if (given.isEmpty())
        return fail(at, QStringLiteral("a channel needs one of \"fill\", \"checker\" or \"image\""));
    if (given.size() > 1)
        return fail(place(at, given.at(1)), QStringLiteral("a channel has only one source, and \"%1\" is given too").arg(given.at(0)));

    if (o.contains(str("image"))) {
        if (o.contains(str("size")))
            return fail(place(at, str("size")), QStringLiteral("an image channel has the size of its image"));
        const QString imagePlace = place(at, str("image"));
        QString file;
        if (!toName(o.value(str("image")), imagePlace, file, m_error))
            return false;
        // Absolute: the texels may be decoded again later, from another working directory.
        const QString path = QFileInfo(QDir(m_baseDirectory).filePath(file)).absoluteFilePath();
        if (QFileInfo(path).isDir())
            return fail(imagePlace, QStringLiteral("cannot read image %1: it is a directory").arg(quote(file)));
        QFile imageFile(path);
        if (!imageFile.open(QIODevice::ReadOnly))
            return fail(imagePlace, QStringLiteral("cannot read image %1: %2").arg(quote(file), imageFile.errorString()));
        // Checked here so that other files never reach the PNG decoder, which complains on stderr.
        static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
        if (imageFile.peek(pngSignature.size()) != pngSignature)
            return fail(imagePlace, QStringLiteral("cannot read image %1: it is not a PNG file").arg(quote(file)));
        // A PNG ends with its IEND chunk; a cut-off file is refused before the decoder sees it.
        static const QByteArray pngEnd("\0\0\0\0IEND\xae\x42\x60\x82", 12);
        if (imageFile.size() < pngSignature.size() + pngEnd.size() || !imageFile.seek(imageFile.size() - pngEnd.size())
            || imageFile.read(pngEnd.size()) != pngEnd || !imageFile.seek(0))
            return fail(imagePlace, QStringLiteral("cannot read image %1: the PNG file is cut off").arg(quote(file)));
        if (++m_images > kMaxImages)
            return fail(imagePlace, QStringLiteral("more than %1 image channels in one network").arg(kMaxImages));
        QImageReader reader(&imageFile, "png");
        const QSize imageSize = reader.size();
        if (!imageSize.isValid())
            return fail(imagePlace, QStringLiteral("cannot read image %1: %2").arg(quote(file), reader.errorString()));
        if (imageSize.width() > kMaxChannelSize || imageSize.height() > kMaxChannelSize)
            return fail(imagePlace, QStringLiteral("image %1 is %2 x %3 texels, more than %4 x %4")
                                        .arg(quote(file)).arg(imageSize.width()).arg(imageSize.height()).arg(kMaxChannelSize));
        if (!spendTexels(qint64(imageSize.width()) * imageSize.height(), imagePlace))
            return false;
        imageFile.close();
        // Decoded here to find a damaged file, and again only when the texels are needed.
        QImage image;
        QString reason;
        if (!decodePng(path, image, reason))
            return fail(imagePlace, QStringLiteral("cannot read image %1: %2").arg(quote(file), reason));
        shading()->addChannel(new VrnChannel(name, uv, image.width(), image.height(), VrnChannel::TexelSource([path] {
            QImage decoded;
            QString ignored;
            return decodePng(path, decoded, ignored) ? imageTexels(decoded) : QVector<float>();
        })));
        return true;
    }

    if (o.contains(str("size")) && !toInt(o.value(str("size")), place(at, str("size")), 1, kMaxChannelSize, size, m_error))
        return false;
    if (!spendTexels(qint64(size) * size, o.contains(str("size")) ? place(at, str("size")) : at))
        return false;
    if (o.contains(str("fill"))) {
        QVector<float> c;
        if (!toFloats(o.value(str("fill")), place(at, str("fill")), 4, c, m_error))
            return false;
        shading()->addChannel(VrnChannel::filled(name, uv, size, c[0], c[1], c[2], c[3]));
        return true;
    }

    const QString checkerPlace = place(at, str("checker"));
    QJsonObject checker;
    QJsonArray colors;
    int cells = 0;
    if (!toObject(o.value(str("checker")), checkerPlace, checker, m_error)
        || !checkKeys(checker, checkerPlace, {str("cells"), str("colors")}, {str("cells"), str("colors")}, m_error)
        || !toInt(checker.value(str("cells")), place(checkerPlace, str("cells")), 1, size, cells, m_error)
        || !toArray(checker.value(str("colors")), place(checkerPlace, str("colors")), colors, m_error))
        return false;
    if (colors.size() != 2)
        return fail(place(checkerPlace, str("colors")), QStringLiteral("expected 2 colours, got %1").arg(colors.size()));
    QVector<float> first;
    QVector<float> second;
    if (!toFloats(colors.at(0), place(place(checkerPlace, str("colors")), 0), 4, first, m_error)
        || !toFloats(colors.at(1), place(place(checkerPlace, str("colors")), 1), 4, second, m_error))
        return false;
    shading()->addChannel(new VrnChannel(name, uv, size, size, VrnChannel::TexelSource([size, cells, first, second] {
        // The cell at the texture origin has the first colour.
        QVector<float> pixels;
        pixels.reserve(size * size * 4);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                pixels << ((x * cells / size + y * cells / size) % 2 ? second : first);
        return pixels;
    })));
    return true;
}

bool Loader::spendTexels(qint64 texels, const QString& at)
{
    m_texels += texels;
    if (m_texels > kMaxTexels)
        return fail(at, QStringLiteral("the channels would hold more than %1 texels together, the limit of one network").arg(kMaxTexels));
    return true;
}

bool Loader::checkChannel(const QString& name, const QString& at)
{
    if (shading()->channel(m_result.currentUv, name))
        return true;
    return fail(at, QStringLiteral("%1 is not a channel of UV tile %2").arg(quote(name)).arg(m_result.currentUv));
}

bool Loader::checkChannelValue(const QVariant& value, const QString& at)
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    if (value.userType() == t.channelId) {
        const VrnChannelId id = value.value<VrnChannelId>();
        return id.isCurrentChannel() || checkChannel(id.channelName(), at);
    }
    if (value.userType() == t.imageList) {
        const QStringList channels = value.value<VrnImageList>().channels();
        for (int i = 0; i < channels.size(); ++i)
            if (!checkChannel(channels.at(i), place(at, i)))
                return false;
    }
    return true;
}

bool Loader::readCurrentChannel(const QJsonValue& json)
{
    if (!toName(json, str("currentChannel"), m_result.currentChannel, m_error))
        return false;
    return checkChannel(m_result.currentChannel, str("currentChannel"));
}

bool Loader::readNodes(const QJsonObject& root)
{
    QJsonArray array;
    if (!toArray(root.value(str("nodes")), str("nodes"), array, m_error))
        return false;
    QVector<int> order;
    if (m_nodeOrder == NodeOrder::BuildWalk) {
        order = VrnNodeCreationOrder::of(array, root.value(str("connections")).toArray(), root.value(str("root")).toString(), m_kinds);
    } else {
        order.resize(array.size());
        std::iota(order.begin(), order.end(), 0);
    }
    m_nodeAt.fill(nullptr, array.size());
    m_nodeIndex = VrnAddressNumbers(size_t(array.size()));
    // The nodes and their contexts lie one after another, in the order made.
    const VrnObjectArena arena;
    for (int k = 0; k < order.size(); ++k) {
        if (!readNode(array.at(order.at(k)), order.at(k))) {
            // Made in file order so far, the fault is the file's first one.
            for (int j = 0; j <= k && !m_faultDependsOnOrder; ++j)
                m_faultDependsOnOrder = order.at(j) != j;
            return false;
        }
    }
    // Listed as the file lists them, whatever order they were made in.
    return m_network->setNodeOrder(QList<VrnSnBaseNode*>(m_nodeAt.cbegin(), m_nodeAt.cend()))
        || fail(str("nodes"), QStringLiteral("the nodes could not be listed in file order"));
}

bool Loader::readNode(const QJsonValue& json, int index)
{
    const QString at = place(str("nodes"), index);
    QJsonObject o;
    if (!toObject(json, at, o, m_error)
        || !checkKeys(o, at,
                      {str("id"), str("kind"), str("name"), str("attributes"), str("tags"), str("inputTags"), str("cache"),
                       str("bake"), str("encrypted")},
                      {str("id"), str("kind")}, m_error))
        return false;

    const QString idPlace = place(at, str("id"));
    QString id;
    if (!toString(o.value(str("id")), idPlace, id, m_error))
        return false;
    if (!VrnNetworkLoader::isValidNodeId(id))
        return fail(idPlace, QStringLiteral("%1 is not a valid node id").arg(quote(id)));
    const int earlier = m_nodeIndex.numberOf(m_network->node(id));
    if (earlier >= 0)
        return fail(idPlace, QStringLiteral("%1 is already the id of nodes[%2]").arg(quote(id)).arg(earlier));

    const QString kindPlace = place(at, str("kind"));
    QString kindName;
    if (!toString(o.value(str("kind")), kindPlace, kindName, m_error))
        return false;
    const VrnSnNodeKindPtr kind = m_kinds.value(kindName);
    if (!kind)
        return fail(kindPlace, QStringLiteral("%1 is not a kind").arg(quote(kindName)));
    if (!kind->contextClass.isEmpty() && !VrnClassFactory::factory(kind->contextClass))
        return fail(kindPlace, QStringLiteral("no class factory for context class %1 of kind %2").arg(quote(kind->contextClass), quote(kind->name)));
    VrnSnBaseNode* node = m_network->createNode(kind, id);
    if (!node)
        return fail(kindPlace, QStringLiteral("context class %1 of kind %2 does not make a GLSL context").arg(quote(kind->contextClass), quote(kind->name)));
    m_nodeIndex.insert(node, index);
    m_nodeAt[index] = node;

    if (o.contains(str("name"))) {
        QString name;
        if (!toName(o.value(str("name")), place(at, str("name")), name, m_error))
            return false;
        node->setName(name);
    }
    if (o.contains(str("attributes")) && !readAttributes(node, o.value(str("attributes")), place(at, str("attributes"))))
        return false;
    if (o.contains(str("tags"))) {
        QStringList tags;
        if (!toShortStringList(o.value(str("tags")), place(at, str("tags")), tags, m_error))
            return false;
        for (const QString& tag : qAsConst(tags))
            node->addTag(tag);
    }
    if (o.contains(str("inputTags"))) {
        const QString tagsPlace = place(at, str("inputTags"));
        QJsonObject inputTags;
        if (!toObject(o.value(str("inputTags")), tagsPlace, inputTags, m_error))
            return false;
        for (auto it = inputTags.constBegin(); it != inputTags.constEnd(); ++it) {
            const QString inputPlace = place(tagsPlace, it.key());
            if (!kind->input(it.key()))
                return fail(inputPlace, QStringLiteral("kind %1 has no input %2").arg(quote(kind->name), quote(it.key())));
            QStringList tags;
            if (!toShortStringList(it.value(), inputPlace, tags, m_error))
                return false;
            // The host gives "_invertable" to exactly the inputs the kind declares invertible.
            if (tags.contains(str("_invertable")) && !kind->input(it.key())->invertible)
                return fail(inputPlace, QStringLiteral("\"_invertable\" on input %1, which kind %2 does not declare invertible")
                                            .arg(quote(it.key()), quote(kind->name)));
            for (const QString& tag : qAsConst(tags))
                node->addInputTag(it.key(), tag);
        }
    }
    if (o.contains(str("cache")) && !readCache(node, o.value(str("cache")), place(at, str("cache"))))
        return false;
    if (o.contains(str("bake")) && !readBake(node, o.value(str("bake")), place(at, str("bake"))))
        return false;
    if (o.contains(str("encrypted"))) {
        bool encrypted = false;
        if (!toBool(o.value(str("encrypted")), place(at, str("encrypted")), encrypted, m_error))
            return false;
        node->setEncrypted(encrypted);
    }
    if (!checkNodeGlobals(node, index, at))
        return false;
    // Uniform names depend on the attribute values, so they are recorded again.
    if (VrnSnBaseGlslContext* context = node->context())
        context->init();
    return true;
}

bool Loader::checkNodeGlobals(VrnSnBaseNode* node, int index, const QString& at)
{
    const QString idPlace = place(at, str("id"));
    const QStringList names = VrnGlslNames::nodeGlobals(node);
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        const QString fault = VrnGlslNames::fault(name);
        if (!fault.isEmpty())
            return fail(idPlace, QStringLiteral("node %1 would declare %2, which is %3").arg(quote(node->id()), quote(name), fault));
        // This node has declared the names before i; another, all of its own.
        const int other = m_globalNames.declarerOf(name, [&](int declarer, const QString& text) {
            return declarer == index ? std::find(names.cbegin(), names.cbegin() + i, text) != names.cbegin() + i
                                     : VrnGlslNames::nodeGlobals(m_nodeAt.at(declarer)).contains(text);
        });
        if (other >= 0 && other != index)
            return fail(idPlace, QStringLiteral("node %1 would declare %2, which node %3 (nodes[%4]) declares too")
                                     .arg(quote(node->id()), quote(name), quote(m_nodeAt.at(other)->id()))
                                     .arg(other));
        if (other >= 0)
            return fail(idPlace, QStringLiteral("node %1 would declare %2 twice").arg(quote(node->id()), quote(name)));
        m_globalNames.insert(name, index);
    }
    const int gradientType = vrnAttributeMetaTypes().gradient;
    for (const QString& attribute : node->userAttributeNames()) {
        const QVariant value = node->userAttributeValue(attribute);
        if (value.userType() != gradientType)
            continue;
        m_gradientSamples += value.value<VrnGradient>().size();
        if (m_gradientSamples > kMaxGradientSamples)
            return fail(place(place(at, str("attributes")), attribute),
                        QStringLiteral("the gradients would hold more than %1 samples together, the limit of one network").arg(kMaxGradientSamples));
    }
    return true;
}

bool Loader::readAttributes(VrnSnBaseNode* node, const QJsonValue& json, const QString& at)
{
    QJsonObject attributes;
    if (!toObject(json, at, attributes, m_error))
        return false;
    const VrnSnNodeKind& kind = node->kind();
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it) {
        const QString attributePlace = place(at, it.key());
        QVariant value;
        if (const VrnCustomAttribute* parameter = kind.parameter(it.key())) {
            const QString type = VrnKindLibrary::parameterType(parameter->value());
            if (type.isEmpty())
                return fail(attributePlace, QStringLiteral("the parameter's value type has no JSON form"));
            if (!VrnKindLibrary::parameterValue(type, it.value(), attributePlace, value, m_error, parameter->value())
                || !checkChannelValue(value, attributePlace))
                return false;
            node->setUserAttribute(it.key(), value);
            continue;
        }
        if (!it.value().isObject())
            return fail(attributePlace, QStringLiteral("kind %1 has no parameter %2; an attribute of its own is given as {\"type\": T, \"value\": V}")
                                            .arg(quote(kind.name), quote(it.key())));
        const QJsonObject typed = it.value().toObject();
        QString type;
        if (!checkKeys(typed, attributePlace, {str("type"), str("value")}, {str("type"), str("value")}, m_error)
            || !toString(typed.value(str("type")), place(attributePlace, str("type")), type, m_error))
            return false;
        if (!VrnKindLibrary::parameterTypes().contains(type))
            return fail(place(attributePlace, str("type")), QStringLiteral("%1 is not a parameter type").arg(quote(type)));
        const QString valuePlace = place(attributePlace, str("value"));
        if (!VrnKindLibrary::parameterValue(type, typed.value(str("value")), valuePlace, value, m_error)
            || !checkChannelValue(value, valuePlace))
            return false;
        if (!node->createUserAttribute(VrnCustomAttribute(it.key(), value)))
            return fail(attributePlace, QStringLiteral("the node has an attribute of that name already"));
    }
    return true;
}

bool Loader::readCache(VrnSnBaseNode* node, const QJsonValue& json, const QString& at)
{
    QJsonObject o;
    if (!toObject(json, at, o, m_error) || !checkKeys(o, at, {str("enabled"), str("valid"), str("active"), str("channels")}, {}, m_error))
        return false;
    bool enabled = false;
    bool valid = false;
    int active = 0;
    if ((o.contains(str("enabled")) && !toBool(o.value(str("enabled")), place(at, str("enabled")), enabled, m_error))
        || (o.contains(str("valid")) && !toBool(o.value(str("valid")), place(at, str("valid")), valid, m_error))
        || (o.contains(str("active")) && !toInt(o.value(str("active")), place(at, str("active")), 0, 2, active, m_error)))
        return false;
    node->setCacheEnabled(enabled);
    node->setCacheValid(valid);
    node->setCacheActive(active);
    if (!o.contains(str("channels")))
        return true;

    const QString channelsPlace = place(at, str("channels"));
    QJsonObject channels;
    if (!toObject(o.value(str("channels")), channelsPlace, channels, m_error))
        return false;
    for (auto it = channels.constBegin(); it != channels.constEnd(); ++it) {
        const QString outputPlace = place(channelsPlace, it.key());
        if (!node->kind().outputs.contains(it.key()))
            return fail(outputPlace, QStringLiteral("kind %1 has no output %2").arg(quote(node->kind().name), quote(it.key())));
        QString channel;
        if (!toName(it.value(), outputPlace, channel, m_error) || !checkChannel(channel, outputPlace))
            return false;
        const QString cacheName = node->cacheAttributeName(it.key());
        if (!node->createUserAttribute(VrnCustomAttribute(cacheName, QVariant::fromValue(VrnChannelId(channel)))))
            return fail(outputPlace, QStringLiteral("the node has an attribute %1 already").arg(quote(cacheName)));
        // Cache channels are looked up under their attribute's name.
        shading()->addChannelAlias(m_result.currentUv, cacheName, channel);
    }
    return true;
}

bool Loader::readBake(VrnSnBaseNode* node, const QJsonValue& json, const QString& at)
{
    auto* bakePoint = qobject_cast<VrnSnBakePointNode*>(node);
    if (!bakePoint)
        return fail(at, QStringLiteral("kind %1 is not a bake point").arg(quote(node->kind().name)));
    QJsonObject o;
    bool use = false;
    if (!toObject(json, at, o, m_error) || !checkKeys(o, at, {str("useBakedResult")}, {}, m_error)
        || (o.contains(str("useBakedResult")) && !toBool(o.value(str("useBakedResult")), place(at, str("useBakedResult")), use, m_error)))
        return false;
    bakePoint->setUseBakedResult(use);
    return true;
}

bool Loader::endpoint(const QJsonValue& json, const QString& at, const char* pointWord, VrnSnBaseNode*& node, QString& point)
{
    QString text;
    if (!toString(json, at, text, m_error))
        return false;
    QString id;
    if (!VrnNetworkLoader::splitEndpoint(text, id, point))
        return fail(at, QStringLiteral("%1 is not of the form \"node.%2\"").arg(quote(text), str(pointWord)));
    node = m_network->node(id);
    if (!node)
        return fail(at, QStringLiteral("there is no node %1").arg(quote(id)));
    return true;
}

QStringList Loader::cycleThrough(VrnSnBaseNode* producer, VrnSnBaseNode* consumer) const
{
    // Depth-first upstream of the producer, without recursion: chains can be long.
    QHash<VrnSnBaseNode*, VrnSnBaseNode*> readBy; // node -> the node that reads it on the search path
    QList<VrnSnBaseNode*> stack{producer};
    QSet<VrnSnBaseNode*> seen{producer};
    while (!stack.isEmpty()) {
        VrnSnBaseNode* n = stack.takeLast();
        if (n == consumer) {
            QStringList path;
            for (VrnSnBaseNode* p = n; p; p = readBy.value(p))
                path.append(p->id());
            path.append(consumer->id());
            return path;
        }
        const QStringList inputs = n->inputNames();
        for (auto it = inputs.crbegin(); it != inputs.crend(); ++it) {
            VrnSnBaseNode* upstream = n->inputConnection(*it).node.data();
            if (upstream && !seen.contains(upstream)) {
                seen.insert(upstream);
                readBy.insert(upstream, n);
                stack.append(upstream);
            }
        }
    }
    return QStringList();
}

bool Loader::readConnections(const QJsonValue& json)
{
    QJsonArray array;
    if (!toArray(json, str("connections"), array, m_error))
        return false;
    QHash<QString, QString> connectedBy; // "node.input" -> place of the connection
    QList<Connection> connections;
    for (int i = 0; i < array.size(); ++i)
        if (!readConnection(array.at(i), place(str("connections"), i), connectedBy, connections))
            return false;
    // One pass over the whole graph; only a graph with a cycle is searched for
    // the first connection that closes one, by halving.
    if (hasCycle(connections, connections.size())) {
        int acyclic = 0;                  // the first this many connections close no cycle
        int cyclic = connections.size(); // the first this many do
        while (cyclic - acyclic > 1) {
            const int middle = acyclic + (cyclic - acyclic) / 2;
            (hasCycle(connections, middle) ? cyclic : acyclic) = middle;
        }
        for (int i = 0; i < acyclic; ++i)
            connections.at(i).consumer->connectInput(connections.at(i).input, connections.at(i).producer, connections.at(i).output);
        const Connection& closing = connections.at(acyclic);
        return fail(closing.place, QStringLiteral("the connection closes the cycle %1").arg(cycleText(cycleThrough(closing.producer, closing.consumer))));
    }
    for (const Connection& c : qAsConst(connections))
        c.consumer->connectInput(c.input, c.producer, c.output);
    return true;
}

bool Loader::hasCycle(const QList<Connection>& connections, int count) const
{
    // Kahn's algorithm: nodes whose inputs are all made are taken away until none are left.
    QHash<VrnSnBaseNode*, int> missingInputs;
    QHash<VrnSnBaseNode*, QList<VrnSnBaseNode*>> consumers;
    missingInputs.reserve(m_network->nodes().size());
    for (VrnSnBaseNode* node : m_network->nodes())
        missingInputs.insert(node, 0);
    for (int i = 0; i < count; ++i) {
        ++missingInputs[connections.at(i).consumer];
        consumers[connections.at(i).producer].append(connections.at(i).consumer);
    }
    QList<VrnSnBaseNode*> ready;
    for (auto it = missingInputs.constBegin(); it != missingInputs.constEnd(); ++it)
        if (it.value() == 0)
            ready.append(it.key());
    int taken = 0;
    while (!ready.isEmpty()) {
        VrnSnBaseNode* node = ready.takeLast();
        ++taken;
        for (VrnSnBaseNode* consumer : consumers.value(node))
            if (--missingInputs[consumer] == 0)
                ready.append(consumer);
    }
    return taken < missingInputs.size();
}

bool Loader::readConnection(const QJsonValue& json, const QString& at, QHash<QString, QString>& connectedBy, QList<Connection>& connections)
{
    QJsonObject o;
    if (!toObject(json, at, o, m_error) || !checkKeys(o, at, {str("from"), str("to")}, {str("from"), str("to")}, m_error))
        return false;
    const QString fromPlace = place(at, str("from"));
    const QString toPlace = place(at, str("to"));
    VrnSnBaseNode* producer = nullptr;
    VrnSnBaseNode* consumer = nullptr;
    QString output;
    QString input;
    if (!endpoint(o.value(str("from")), fromPlace, "output", producer, output))
        return false;
    if (!producer->kind().outputs.contains(output))
        return fail(fromPlace, QStringLiteral("node %1 has no output %2").arg(quote(producer->id()), quote(output)));
    if (!endpoint(o.value(str("to")), toPlace, "input", consumer, input))
        return false;
    if (!consumer->kind().input(input))
        return fail(toPlace, QStringLiteral("node %1 has no input %2").arg(quote(consumer->id()), quote(input)));
    const QString target = consumer->id() + QLatin1Char('.') + input;
    if (connectedBy.contains(target))
        return fail(toPlace, QStringLiteral("input %1 is connected already by %2").arg(quote(target), connectedBy.value(target)));
    connections.append({producer, output, consumer, input, at});
    connectedBy.insert(target, at);
    return true;
}

bool Loader::readRoot(const QJsonValue& json)
{
    QString id;
    if (!toString(json, str("root"), id, m_error))
        return false;
    VrnSnBaseNode* root = m_network->node(id);
    if (!root)
        return fail(str("root"), QStringLiteral("there is no node %1").arg(quote(id)));
    m_network->setRoot(root);
    return true;
}

bool Loader::checkRevalWork()
{
    // Counting stops at the budget, so this costs at most the budget's steps.
    qint64 work = 0;
    const QList<VrnSnBaseNode*>& nodes = m_network->nodes();
    for (int i = 0; i < nodes.size(); ++i) {
        for (const VrnSnGlslRevalInfo& reval : nodes.at(i)->kind().reval) {
            VrnSnBaseNode* producer = nodes.at(i)->inputConnection(reval.inputName).node.data();
            QList<VrnSnBaseNode*> stack;
            QSet<VrnSnBaseNode*> seen;
            if (producer) {
                stack.append(producer);
                seen.insert(producer);
            }
            while (!stack.isEmpty()) {
                if (++work > kMaxRevalWork)
                    return fail(place(str("nodes"), i),
                                QStringLiteral("re-evaluating input %1 repeats every node upstream of it; with the re-evaluations before it, "
                                               "more than %2 node evaluations, the limit of one network")
                                    .arg(quote(reval.inputName)).arg(kMaxRevalWork));
                VrnSnBaseNode* n = stack.takeLast();
                for (const QString& input : n->inputNames()) {
                    VrnSnBaseNode* upstream = n->inputConnection(input).node.data();
                    if (upstream && !seen.contains(upstream)) {
                        seen.insert(upstream);
                        stack.append(upstream);
                    }
                }
            }
        }
    }
    return true;
}

bool Loader::checkCodeSize()
{
    // An upper bound: every "#Input" is replaced by the longest output variable
    // of the network or the input's default, every "$Name" by its longest form.
    int longestVariable = 0;
    for (const VrnSnBaseNode* node : m_network->nodes())
        for (const QString& output : node->kind().outputs)
            longestVariable = std::max(longestVariable, int(node->id().size() + output.size()));
    // By kind: the bound without the parameters, how often parameters are used, and their longest name.
    struct KindBound
    {
        qint64 size = 0;
        qint64 parameterUses = 0;
        int longestParameter = 0;
    };
    QHash<const VrnSnNodeKind*, KindBound> kindBounds;
    // "(vec4(0.0,0.0,0.0,0.0))" stands for an input without default.
    constexpr int kUnsetDefaultText = 23;
    qint64 total = 0;
    const QList<VrnSnBaseNode*>& nodes = m_network->nodes();
    for (int i = 0; i < nodes.size(); ++i) {
        const VrnSnNodeKind& kind = nodes.at(i)->kind();
        auto bound = kindBounds.constFind(&kind);
        if (bound == kindBounds.constEnd()) {
            KindBound b;
            b.size = kind.glsl.size();
            for (const VrnSnNodeInputDefinition& input : kind.inputs)
                b.size += qint64(kind.glsl.count(QLatin1Char('#') + input.name))
                          * std::max({longestVariable, int(input.defaultExpression.size()) + 2, kUnsetDefaultText});
            const int enumType = vrnAttributeMetaTypes().userEnum;
            for (const VrnCustomAttribute& parameter : kind.parameters) {
                const int uses = kind.glsl.count(QLatin1Char('$') + parameter.name());
                const VrnUserEnum choices = parameter.value().value<VrnUserEnum>();
                if (parameter.value().userType() == enumType && !choices.isBlendMode()) {
                    // Compiled in as the option's text.
                    int longestOption = 0;
                    for (const QString& option : choices.options())
                        longestOption = std::max(longestOption, int(option.size()));
                    b.size += qint64(uses) * longestOption;
                    continue;
                }
                b.parameterUses += uses;
                b.longestParameter = std::max(b.longestParameter, int(parameter.name().size()));
            }
            for (const VrnSnGlslRevalInfo& reval : kind.reval)
                b.size += reval.u.size() + reval.v.size();
            bound = kindBounds.insert(&kind, b);
        }
        const int parameterText = std::max(int(nodes.at(i)->id().size()) + 1 + bound->longestParameter, kBlockReadText);
        total += bound->size + bound->parameterUses * parameterText;
        if (total > kMaxCodeCharacters)
            return fail(place(str("nodes"), i), QStringLiteral("the nodes' code, tokens replaced, would come to more than %1 characters, the limit of one network")
                                                    .arg(kMaxCodeCharacters));
    }
    return true;
}

bool Loader::checkTexts()
{
    QList<QPair<QString, QString>> texts; // place, text: in file order
    QList<QPair<QString, QString>> code;
    texts.append({str("name"), m_network->name()});
    texts += m_channelNames;
    for (int k = 0; k < m_result.fileKinds.size(); ++k) {
        const VrnSnNodeKind& kind = *m_result.fileKinds.at(k);
        const QString at = place(str("kinds"), k);
        texts.append({place(at, str("name")), kind.name});
        texts.append({place(at, str("pathKey")), kind.pathKey});
        for (int p = 0; p < kind.parameters.size(); ++p) {
            // Enum options are written into comments of the data-driven style.
            const QStringList options = kind.parameters.at(p).value().value<VrnUserEnum>().options();
            for (int o = 0; o < options.size(); ++o)
                texts.append({place(place(place(place(at, str("parameters")), p), str("options")), o), options.at(o)});
        }
        code.append({place(at, str("glsl")), kind.glsl});
        for (int i = 0; i < kind.inputs.size(); ++i)
            code.append({place(place(place(at, str("inputs")), i), str("default")), kind.inputs.at(i).defaultExpression});
        for (int r = 0; r < kind.reval.size(); ++r) {
            const VrnSnGlslRevalInfo& reval = kind.reval.at(r);
            const QString revalPlace = place(place(at, str("reval")), r);
            code.append({place(revalPlace, str("placeholder")), reval.placeholder});
            code.append({place(revalPlace, str("u")), reval.u});
            code.append({place(revalPlace, str("v")), reval.v});
        }
    }
    const int enumType = vrnAttributeMetaTypes().userEnum;
    for (int n = 0; n < m_network->nodes().size(); ++n) {
        const VrnSnBaseNode* node = m_network->nodes().at(n);
        const QString at = place(str("nodes"), n);
        texts.append({place(at, str("name")), node->name()});
        // Attributes of the node's own, and their enum texts, name the data-driven style's variants.
        for (const QString& attribute : node->userAttributeNames()) {
            if (node->kind().parameter(attribute))
                continue;
            const QString attributePlace = place(place(at, str("attributes")), attribute);
            texts.append({attributePlace, attribute});
            const QVariant value = node->userAttributeValue(attribute);
            if (value.userType() == enumType)
                texts.append({place(attributePlace, str("value")), value.value<VrnUserEnum>().getCurrentEnumString()});
        }
    }
    for (const auto& text : qAsConst(texts)) {
        const QString fault = textFault(text.second);
        if (!fault.isEmpty())
            return fail(text.first, QStringLiteral("%1 %2").arg(quote(text.second), fault));
    }
    for (const auto& text : qAsConst(code)) {
        const QString fault = codeFault(text.second);
        if (!fault.isEmpty())
            return fail(text.first, QStringLiteral("the code %1").arg(fault));
    }
    return true;
}

// The parsed document and the loader's name tables (megabytes for a large
// network) were allocated among the nodes; freed, their pages stay with the
// process unless handed back, and a build would then sit on top of them.
void returnFreedPages()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

bool finish(Loader& loader, const QString& fileLabel, QObject* parent, VrnLoadedNetwork& out, QString& error)
{
    VrnShaderNetwork* network = loader.m_network.release();
    network->setParent(parent);
    for (const VrnSnNodeKindPtr& kind : qAsConst(loader.m_result.fileKinds))
        if (!kind->pathKey.isEmpty())
            VrnShaderNetworkManager::instance().registerVersionUUID(kind->versionUUID(), kind->pathKey);
    VrnShadingContext* shading = network->shadingContext();
    VrnProjectManager::instance().setCurrentChannel(
        loader.m_result.currentChannel.isEmpty() ? nullptr : shading->channel(loader.m_result.currentUv, loader.m_result.currentChannel));
    out = loader.m_result;
    out.network = network;
    out.fileLabel = fileLabel;
    error.clear();
    return true;
}
} // namespace

void VrnLoadedNetwork::applyDefines() const
{
    VrnShaderManager::instance().setShaderDefines(defines);
}

bool VrnNetworkLoader::isValidNodeId(const QString& id)
{
    static const QRegularExpression valid(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z][A-Za-z0-9]*")));
    return valid.match(id).hasMatch();
}

bool VrnNetworkLoader::splitEndpoint(const QString& text, QString& nodeId, QString& point)
{
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == text.size() - 1)
        return false;
    nodeId = text.left(dot);
    point = text.mid(dot + 1);
    return true;
}

bool VrnNetworkLoader::loadData(const QByteArray& json, const QString& fileLabel, const QString& baseDirectory, QObject* parent,
                                VrnLoadedNetwork& out, QString& error)
{
    bool loaded = false;
    // A file that fails while its nodes are made in the build's order is read
    // again in file order, so that the fault reported is the first in the file.
    for (const Loader::NodeOrder order : {Loader::NodeOrder::BuildWalk, Loader::NodeOrder::File}) {
        Loader loader(baseDirectory, fileLabel, order);
        if (loader.load(json)) {
            loaded = finish(loader, fileLabel, parent, out, error);
            break;
        }
        error = fileLabel + QStringLiteral(": ") + loader.m_error; // the loader's network and everything in it go with it
        if (!loader.m_faultDependsOnOrder)
            break;
    }
    returnFreedPages();
    return loaded;
}

bool VrnNetworkLoader::loadFile(const QString& path, QObject* parent, VrnLoadedNetwork& out, QString& error)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        error = QStringLiteral("%1: cannot read the file: it is a directory").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot read the file: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        error = QStringLiteral("%1: the file is larger than %2 MiB").arg(path).arg(kMaxFileSize / (1024 * 1024));
        return false;
    }
    const QByteArray data = file.read(kMaxFileSize + 1);
    if (data.size() > kMaxFileSize) {
        error = QStringLiteral("%1: the file is larger than %2 MiB").arg(path).arg(kMaxFileSize / (1024 * 1024));
        return false;
    }
    return loadData(data, path, info.absolutePath(), parent, out, error);
}
