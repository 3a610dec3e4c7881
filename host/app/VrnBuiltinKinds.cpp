#include "VrnBuiltinKinds.h"

#include "VrnDebug.h"
#include "VrnKindLibrary.h"
#include "VrnShaderNetworkManager.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initBuiltinKindResource()
{
    Q_INIT_RESOURCE(builtin_kinds);
}

namespace {
const char* const kSourceFile = "host/app/VrnBuiltinKinds";

QMap<QString, VrnSnNodeKindPtr> buildAll()
{
    initBuiltinKindResource();
    QMap<QString, VrnSnNodeKindPtr> kinds;
    const QString path = QStringLiteral(":/vrn/builtin-kinds.json");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        VrnDebug(kSourceFile, __LINE__, QStringLiteral("%1: %2").arg(path, file.errorString()), false, false);
        return kinds;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    QList<VrnSnNodeKindPtr> parsed;
    QString error;
    if (document.isNull())
        error = parseError.errorString();
    else
        VrnKindLibrary::parseKinds(document.object().value(QStringLiteral("kinds")), QStringLiteral("kinds"), {}, parsed, error);
    if (!error.isEmpty()) {
        VrnDebug(kSourceFile, __LINE__, QStringLiteral("%1: %2").arg(path, error), false, false);
        return kinds;
    }
    for (const VrnSnNodeKindPtr& kind : parsed) {
        kinds.insert(kind->name, kind);
        if (!kind->pathKey.isEmpty())
            VrnShaderNetworkManager::instance().registerVersionUUID(kind->versionUUID(), kind->pathKey);
    }
    return kinds;
}
} // namespace

const QMap<QString, VrnSnNodeKindPtr>& VrnBuiltinKinds::all()
{
    static const QMap<QString, VrnSnNodeKindPtr> kinds = buildAll();
    return kinds;
}

VrnSnNodeKindPtr VrnBuiltinKinds::kind(const QString& name)
{
    return all().value(name);
}
