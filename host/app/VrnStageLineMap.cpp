#include "VrnStageLineMap.h"

#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkManager.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"
#include "VrnSnGlslNodeAliases.h"
#include "VrnSurfaceShader.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
using Part = VrnShaderAssembler::Section::Part;

QString hostPartName(Part part)
{
    switch (part) {
    case Part::Header: return QStringLiteral("version and defines");
    case Part::Library: return QStringLiteral("shader library");
    case Part::Channels: return QStringLiteral("channel declarations");
    case Part::Blocks: return QStringLiteral("uniform blocks");
    default: return QStringLiteral("main");
    }
}

// The kind's glsl line of each code line: a line of the kind's code read with
// its $ and # tokens as wildcards matches the line the tokens became. Lines
// are matched from the end, since code the generator puts around a node's
// code comes mostly before it. An unmatched run between two matched lines
// whose glsl lines leave a gap is what the glsl line in that gap became (a
// re-evaluation placeholder); other unmatched lines are the generator's (0).
QVector<int> glslLinesOf(const QStringList& code, const QString& glsl)
{
    QVector<int> result(code.size(), 0);
    if (glsl.trimmed().isEmpty())
        return result;
    static const QRegularExpression token(QStringLiteral("[$#][A-Za-z_][A-Za-z0-9_]*"));
    const QStringList glslLines = glsl.split(QLatin1Char('\n'));
    int below = int(code.size()) - 1;
    for (int i = int(glslLines.size()) - 1; i >= 0 && below >= 0; --i) {
        const QString line = glslLines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        QString pattern;
        int at = 0;
        for (QRegularExpressionMatchIterator it = token.globalMatch(line); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            pattern += QRegularExpression::escape(line.mid(at, m.capturedStart() - at)) + QStringLiteral(".*");
            at = m.capturedEnd();
        }
        pattern += QRegularExpression::escape(line.mid(at));
        const QRegularExpression expression(QStringLiteral("^%1$").arg(pattern));
        for (int j = below; j >= 0; --j)
            if (expression.match(code.at(j).trimmed()).hasMatch()) {
                result[j] = i + 1;
                below = j - 1;
                break;
            }
    }
    int above = 0;
    for (int j = 0; j < result.size(); ++j) {
        if (result.at(j)) {
            above = result.at(j);
            continue;
        }
        int next = 0;
        for (int k = j + 1; k < result.size() && !next; ++k)
            next = result.at(k);
        if (above && next > above + 1)
            result[j] = above + 1;
    }
    return result;
}

VrnLineOrigin nodeOrigin(const QList<VrnSnBaseNode*>& nodes, bool secure)
{
    VrnLineOrigin origin;
    origin.source = VrnLineOrigin::Node;
    origin.encrypted = secure;
    for (VrnSnBaseNode* node : nodes) {
        origin.nodeIds.append(node->id());
        origin.kind = node->kind().name;
        origin.encrypted = origin.encrypted || node->isEncrypted();
    }
    return origin;
}
} // namespace

QString VrnLineOrigin::describe() const
{
    switch (source) {
    case Host: return QStringLiteral("host code (%1)").arg(hostPart);
    case Generator: return QStringLiteral("generated code");
    case Node: break;
    }
    const QString nodes = QStringLiteral("\"%1\"").arg(nodeIds.join(QStringLiteral("\", \"")));
    const QString where = glslLine > 0 ? QStringLiteral("glsl line %1").arg(glslLine)
                        : declaration ? QStringLiteral("declaration")
                                      : QStringLiteral("generated code");
    return QStringLiteral("%1 %2 (kind %3, %4)").arg(nodeIds.size() == 1 ? QStringLiteral("node") : QStringLiteral("nodes"), nodes, kind, where);
}

VrnStageLineMap::VrnStageLineMap(const QString& source, const QList<VrnShaderAssembler::Section>& sections, VrnShaderNetwork* network,
                                 unsigned shaderType, VrnSurfaceShader* surfaceShader)
    : m_lines(source.split(QLatin1Char('\n')))
{
    m_parts.fill(Part::Declarations, m_lines.size());
    m_origins.resize(m_lines.size());
    for (const VrnShaderAssembler::Section& section : sections)
        for (int line = section.firstLine; line < section.firstLine + section.lineCount && line <= m_lines.size(); ++line) {
            m_parts[line - 1] = section.part;
            if (section.part != Part::Declarations && section.part != Part::Body) {
                m_origins[line - 1].source = VrnLineOrigin::Host;
                m_origins[line - 1].hostPart = hostPartName(section.part);
            }
        }
    if (!network)
        return;
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    VrnSnBaseGlslCodeGenerator().buildContextsList(nullptr, qobject_cast<VrnSvtShadingContext*>(network->shadingContext()), aliases,
                                                   contexts, network->root());
    const QList<VrnSnBaseGlslContext*> stageContexts = contexts.value(shaderType);
    mapStyle5Functions(stageContexts);

    // The per-node styles open each node's text with a banner naming its path.
    QHash<QString, VrnSnBaseNode*> nodeByPath;
    for (VrnSnBaseNode* node : network->nodes())
        nodeByPath.insert(node->path(), node);
    static const QRegularExpression banner(QStringLiteral("^//--- Style \\d Node '(.*)' ---$"));
    QVector<VrnSnBaseNode*> bannerOwner(m_lines.size(), nullptr); // the node whose banner a line is under
    QSet<VrnSnBaseNode*> withBanner;
    VrnSnBaseNode* current = nullptr;
    for (int line = 1; line <= m_lines.size(); ++line) {
        // Style 3 writes its banners into main's body as well.
        const bool inGenerated = generated(line);
        const QRegularExpressionMatch m = inGenerated ? banner.match(m_lines.at(line - 1)) : QRegularExpressionMatch();
        if (m.hasMatch() || !inGenerated || (line > 1 && m_parts.at(line - 2) != m_parts.at(line - 1))) {
            current = m.hasMatch() ? nodeByPath.value(m.captured(1)) : nullptr;
            if (current)
                withBanner.insert(current);
        }
        if (current) {
            bannerOwner[line - 1] = current;
            m_origins[line - 1] = nodeOrigin({current}, false);
        }
    }

    // A node's declarations: under its banner, or where a generator gathers
    // them away from the node (Style 4's uniform block), in lines no other
    // node's banner claimed.
    QHash<QString, QList<int>> generatedLines;
    for (int line = 1; line <= m_lines.size(); ++line)
        if (generated(line))
            generatedLines[m_lines.at(line - 1).trimmed()].append(line);
    for (VrnSnBaseGlslContext* context : stageContexts) {
        VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node)
            continue;
        for (const QString& declaration : context->shaderDeclarationCode().split(QLatin1Char('\n')))
            for (int line : generatedLines.value(declaration.trimmed())) {
                const VrnLineOrigin& claimed = m_origins.at(line - 1);
                if (declaration.trimmed().isEmpty() || (claimed.source == VrnLineOrigin::Node && claimed.nodeIds != QStringList{node->id()}))
                    continue;
                m_origins[line - 1] = nodeOrigin({node}, false);
                m_origins[line - 1].declaration = true;
            }
    }

    // A node's code is the context's body text, looked for under the node's
    // banners and, where it is not there, in main's body (a terminal's code,
    // code a style inlines). Only those stretches are searched: a large
    // network has thousands of nodes.
    QVector<int> lineStarts{0};
    for (int i = 0; i < source.size(); ++i)
        if (source.at(i) == QLatin1Char('\n'))
            lineStarts.append(i + 1);
    lineStarts.append(source.size() + 1);
    QHash<VrnSnBaseNode*, QVector<QPair<int, int>>> stretches; // first and last line of each run under a node's banner
    QVector<QPair<int, int>> bodyStretches;
    for (int line = 1; line <= m_lines.size(); ++line) {
        const bool body = m_parts.at(line - 1) == Part::Body;
        if (VrnSnBaseNode* owner = bannerOwner.at(line - 1)) {
            QVector<QPair<int, int>>& runs = stretches[owner];
            if (!runs.isEmpty() && runs.last().second == line - 1)
                runs.last().second = line;
            else
                runs.append(qMakePair(line, line));
        } else if (body) {
            if (!bodyStretches.isEmpty() && bodyStretches.last().second == line - 1)
                bodyStretches.last().second = line;
            else
                bodyStretches.append(qMakePair(line, line));
        }
    }
    const char* prefix = VrnSnBaseGlslCodeGenerator::getShaderTypePrefix(shaderType);
    const QSharedPointer<VrnShaderUniformBlock> block =
        surfaceShader && prefix ? surfaceShader->shaderUniformBlock(QLatin1String(prefix) + QStringLiteral("ShaderUniformBlock")) : nullptr;
    for (VrnSnBaseGlslContext* context : stageContexts) {
        VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node || node->kind().alias)
            continue;
        QStringList bodies{context->shaderBodyCode(shaderType, &aliases[shaderType], surfaceShader)};
        if (block)
            bodies.append(context->shaderBodyCodeWithShaderUniformBlock(shaderType, &aliases[shaderType], block));
        for (const QString& body : bodies) {
            const QString code = body.trimmed();
            if (code.isEmpty())
                continue;
            const QStringList codeLines = code.split(QLatin1Char('\n'));
            // Marks every occurrence within the runs; true when there was one.
            auto markIn = [&](const QVector<QPair<int, int>>& runs) {
                bool found = false;
                for (const QPair<int, int>& run : runs) {
                    const int from = lineStarts.at(run.first - 1);
                    const QStringRef text(&source, from, std::min(int(source.size()), lineStarts.at(run.second)) - from);
                    for (int at = text.indexOf(code); at >= 0; at = text.indexOf(code, at + 1)) {
                        const int line = int(std::upper_bound(lineStarts.begin(), lineStarts.end(), from + at) - lineStarts.begin());
                        markNodeCode(line, codeLines, nodeOrigin({node}, false), node->kind().glsl);
                        found = true;
                    }
                }
                return found;
            };
            if (!markIn(stretches.value(node)))
                markIn(bodyStretches);
        }
    }
}

void VrnStageLineMap::markNodeCode(int firstLine, const QStringList& codeLines, const VrnLineOrigin& node, const QString& glsl)
{
    const QVector<int> glslLines = glslLinesOf(codeLines, glsl);
    for (int i = 0; i < codeLines.size() && firstLine + i <= m_origins.size(); ++i) {
        VrnLineOrigin& origin = m_origins[firstLine + i - 1];
        origin = node;
        origin.glslLine = glslLines.at(i);
    }
}

// Style 5 writes one function per kind (and variant), under a banner that
// names the kind's path key or, without one, its source ("// kind NAME").
void VrnStageLineMap::mapStyle5Functions(const QList<VrnSnBaseGlslContext*>& contexts)
{
    static const QString rule = QStringLiteral("//--------------------------");
    const QString secureBegin = VrnShaderManager::startTokenForSecureShaderLog().trimmed();
    VrnShaderNetworkManager& networkManager = VrnShaderNetworkManager::instance();
    for (int line = 1; line <= m_lines.size(); ++line) {
        if (m_parts.at(line - 1) != Part::Declarations || m_lines.at(line - 1) != rule)
            continue;
        // The banner runs to the next rule; the function follows it.
        int close = line + 1;
        while (close <= m_lines.size() && m_lines.at(close - 1) != rule)
            ++close;
        if (close + 1 > m_lines.size() || !m_lines.at(close).startsWith(QLatin1String("void NodeFunc")))
            continue;
        bool secure = false;
        QString pathKey, kindName;
        for (int b = line + 1; b < close; ++b) {
            const QString text = m_lines.at(b - 1);
            if (text == secureBegin)
                secure = true;
            else if (text.startsWith(QLatin1String("// kind ")) && kindName.isEmpty())
                kindName = text.mid(8).trimmed();
            else if (b == line + 1 || (secure && b == line + 2))
                if (!text.startsWith(QLatin1String("// (No NodePathKey)")))
                    pathKey = text.mid(3).section(QLatin1Char(' '), 0, 0);
        }
        QList<VrnSnBaseNode*> nodes;
        for (VrnSnBaseGlslContext* context : contexts) {
            VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
            if (!node || nodes.contains(node))
                continue;
            const bool byKey = !pathKey.isEmpty() && networkManager.pathKeyForVersionUUID(node->versionUUID()) == pathKey;
            if (byKey || (!kindName.isEmpty() && node->kind().name == kindName))
                nodes.append(node);
        }
        // The function ends where its braces balance (a re-evaluation adds blocks of its own).
        int end = close + 1;
        for (int depth = 0; end <= m_lines.size(); ++end) {
            depth += int(m_lines.at(end - 1).count(QLatin1Char('{'))) - int(m_lines.at(end - 1).count(QLatin1Char('}')));
            if (depth <= 0 && m_lines.at(end - 1).contains(QLatin1Char('}')))
                break;
        }
        if (nodes.isEmpty()) {
            line = end;
            continue;
        }
        const VrnLineOrigin origin = nodeOrigin(nodes, secure);
        for (int l = line; l <= end && l <= m_lines.size(); ++l)
            m_origins[l - 1] = origin;
        // The body between "{" and "}".
        const int first = close + 2;
        if (first < end)
            markNodeCode(first + 1, m_lines.mid(first, end - first - 1), origin, nodes.first()->kind().glsl);
        line = end;
    }
}

bool VrnStageLineMap::generated(int line) const
{
    const Part part = m_parts.value(line - 1, Part::Header);
    return part == Part::Declarations || part == Part::Body;
}

VrnLineOrigin VrnStageLineMap::origin(int line) const
{
    return line >= 1 && line <= m_origins.size() ? m_origins.at(line - 1) : VrnLineOrigin();
}
