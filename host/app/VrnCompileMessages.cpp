#include "VrnCompileMessages.h"

#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnSnNodeKind.h"
#include "VrnStageLineMap.h"
#include "VrnSurfaceShader.h"

#include <QRegularExpression>

QString VrnCompileMessages::explain(const QString& label, const QString& failure, const QMap<unsigned, VrnStageLineMap>& lineMaps)
{
    static const QRegularExpression header(QStringLiteral("^(?:the )?(fragment|tess-eval|tess-control) stage does not compile"));
    static const QRegularExpression glslang(QStringLiteral("^(?:ERROR|WARNING): \\d+:(\\d+): (.*)$"));
    static const QRegularExpression mesa(QStringLiteral("^\\d+:(\\d+)\\(\\d+\\): (.*)$"));
    static const QRegularExpression summary(QStringLiteral("^ERROR: \\d+ compilation errors?\\."));
    QStringList lines = failure.split(QLatin1Char('\n'));
    if (lines.size() < 2)
        return failure;
    const QRegularExpressionMatch stage = header.match(lines.first());
    const VrnStageLineMap* map = nullptr;
    for (auto it = lineMaps.constBegin(); it != lineMaps.constEnd() && stage.hasMatch(); ++it)
        if (VrnShaderBuild::shaderTypeName(it.key()) == stage.captured(1))
            map = &it.value();
    QString text = lines.takeFirst();
    for (const QString& line : lines) {
        QRegularExpressionMatch m = glslang.match(line);
        if (!m.hasMatch())
            m = mesa.match(line);
        if (summary.match(line).hasMatch() || (m.hasMatch() && m.captured(2).trimmed() == QLatin1String("'' : compilation terminated")))
            continue;
        if (!m.hasMatch() || !map) {
            text += QStringLiteral("\n%1: %2").arg(label, line);
            continue;
        }
        const int at = m.captured(1).toInt();
        const VrnLineOrigin origin = map->origin(at);
        text += QStringLiteral("\n%1: %2: %3").arg(label, origin.describe(), m.captured(2).trimmed());
        text += QStringLiteral("\n%1 | %2").arg(at, 6).arg(origin.encrypted ? QStringLiteral("(encrypted kind)") : map->lineText(at));
    }
    return text;
}

QString VrnCompileMessages::explainBuild(const QString& label, const QString& failure, const QString& generatorName,
                                         VrnShaderNetwork* network, const QStringList& defines)
{
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    QMap<unsigned, VrnStageLineMap> lineMaps;
    if (VrnShaderBuild::run(generatorName, network, &surface, result))
        VrnShaderBuild::assembleStages(result, network, &surface, defines, &lineMaps);
    return explain(label, failure, lineMaps);
}

QString VrnCompileMessages::networkLabel(const QString& file, bool random, quint32 seed)
{
    if (random)
        return QStringLiteral("random network %1").arg(seed);
    if (file.isEmpty())
        return QStringLiteral("demo network");
    return file == QLatin1String("-") ? QStringLiteral("stdin") : file;
}
