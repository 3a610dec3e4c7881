#include "VrnToolSupport.h"

#include "VrnDemoNetwork.h"
#include "VrnNetworkLoader.h"
#include "VrnRandomNetwork.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

bool VrnToolSupport::generatorForStyle(const QString& style, QString& generatorName)
{
    bool ok = false;
    const int n = style.toInt(&ok);
    if (!ok || n < 1 || n > 6)
        return false;
    generatorName = QStringLiteral("VrnSnGlslCodeGenerator_Style%1").arg(n);
    return true;
}

bool VrnToolSupport::loadNetwork(const NetworkSource& source, const QStringList& extraDefines, QObject* parent,
                                 VrnShaderNetwork*& network, QStringList& defines, QString& error)
{
    defines.clear();
    VrnLoadedNetwork loaded;
    if (source.random) {
        VrnRandomNetwork::Options options;
        options.seed = source.seed;
        options.nodes = source.nodes;
        const QByteArray json = QJsonDocument(VrnRandomNetwork::generate(options)).toJson(QJsonDocument::Compact);
        if (!VrnNetworkLoader::loadData(json, QStringLiteral("random network %1").arg(source.seed), QString(), parent, loaded, error))
            return false;
        network = loaded.network;
        defines = loaded.defines;
    } else if (source.file.isEmpty()) {
        network = VrnDemoNetwork::create(parent, &error);
        if (!network) {
            error = QStringLiteral("the demo network could not be built: %1").arg(error);
            return false;
        }
    } else if (source.file == QLatin1String("-")) {
        // Standard input, named "stdin" in messages; images are found from the working directory.
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            error = QStringLiteral("stdin: cannot read the network");
            return false;
        }
        if (!VrnNetworkLoader::loadData(in.readAll(), QStringLiteral("stdin"), QDir::currentPath(), parent, loaded, error))
            return false;
        network = loaded.network;
        defines = loaded.defines;
    } else {
        if (!VrnNetworkLoader::loadFile(source.file, parent, loaded, error))
            return false;
        network = loaded.network;
        defines = loaded.defines;
    }
    for (const QString& define : extraDefines)
        if (!defines.contains(define))
            defines.append(define);
    return true;
}
