#include "VrnToolSupport.h"

#include "VrnDemoNetwork.h"
#include "VrnGlslNames.h"
#include "VrnKindLibrary.h"
#include "VrnNetworkLoader.h"
#include "VrnRandomNetwork.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>

#include <cstdio>

namespace {
const int kUsageError = 2;

QString optionText(const QCommandLineOption& option)
{
    const QString name = option.names().constFirst();
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}
} // namespace

int VrnToolSupport::fail(int status, const QString& message)
{
    // A bad command line or file is told on one line of bounded length; a
    // failed build may add the compiler's log below its first line.
    constexpr int kMaxLength = 2000;
    QString text = message;
    if (status == kUsageError) {
        text.replace(QLatin1Char('\n'), QLatin1String("\\n")).replace(QLatin1Char('\r'), QLatin1String("\\r"));
        if (text.size() > kMaxLength)
            text = text.left(kMaxLength) + QStringLiteral("...");
    }
    std::fprintf(stderr, "%s: %s\n", QCoreApplication::applicationName().toUtf8().constData(), text.toUtf8().constData());
    return status;
}

bool VrnToolSupport::checkNoEmptyValues(const QCommandLineParser& parser, QString& error)
{
    if (parser.positionalArguments().contains(QString())) {
        error = QStringLiteral("the network file name is empty");
        return false;
    }
    for (const QString& name : parser.optionNames())
        if (parser.values(name).contains(QString())) {
            error = QStringLiteral("%1 is given an empty value").arg((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
            return false;
        }
    return true;
}

bool VrnToolSupport::checkNeeds(const QCommandLineParser& parser, const QCommandLineOption& option,
                                const QCommandLineOption& partner, QString& error)
{
    if (parser.isSet(option) && !parser.isSet(partner)) {
        error = QStringLiteral("%1 is used only with %2").arg(optionText(option), optionText(partner));
        return false;
    }
    return true;
}

bool VrnToolSupport::checkOutputFile(const QString& path, const QString& extension, QString& error)
{
    const QFileInfo info(path);
    const QString quoted = VrnJsonRead::quote(path);
    const QFileInfo directory(info.absolutePath());
    if (info.suffix().compare(extension, Qt::CaseInsensitive) != 0)
        error = QStringLiteral("%1: only .%2 files are written; give a name that ends in .%2").arg(quoted, extension);
    else if (info.isDir())
        error = QStringLiteral("%1: cannot write the file: it is a directory").arg(quoted);
    else if (!directory.isDir())
        error = QStringLiteral("%1: cannot write the file: there is no directory %2").arg(quoted, VrnJsonRead::quote(directory.filePath()));
    else if (info.exists() ? !info.isWritable() : !directory.isWritable())
        error = QStringLiteral("%1: cannot write the file: permission denied").arg(quoted);
    else
        return true;
    return false;
}

bool VrnToolSupport::checkDefines(const QStringList& defines, QString& error)
{
    for (const QString& define : defines) {
        const QString fault = VrnGlslNames::defineFault(define);
        if (!fault.isEmpty()) {
            error = QStringLiteral("--define %1: it is %2").arg(VrnJsonRead::quote(define), fault);
            return false;
        }
    }
    return true;
}

bool VrnToolSupport::writeText(QIODevice& device, const QString& text)
{
    const int piece = 1 << 16;
    int from = 0;
    while (from < text.size()) {
        int length = qMin(piece, text.size() - from);
        // A surrogate pair stays in one piece.
        if (from + length < text.size() && text.at(from + length - 1).isHighSurrogate())
            --length;
        if (device.write(QStringView(text).mid(from, length).toUtf8()) < 0)
            return false;
        from += length;
    }
    return true;
}

bool VrnToolSupport::writeText(QIODevice& device, const QStringList& parts)
{
    for (const QString& part : parts)
        if (!writeText(device, part))
            return false;
    return true;
}

bool VrnToolSupport::savePicture(const QImage& picture, const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1: cannot write the picture: %2").arg(path, file.errorString());
        return false;
    }
    if (!picture.save(&file, "PNG")) {
        error = QStringLiteral("%1: cannot write the picture: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

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
    if (!checkDefines(extraDefines, error))
        return false;
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
        // Read no further than the loader's limit, as for a file.
        const QByteArray data = in.read(VrnNetworkLoader::kMaxFileSize + 1);
        if (data.size() > VrnNetworkLoader::kMaxFileSize) {
            error = QStringLiteral("stdin: the file is larger than %1 MiB").arg(VrnNetworkLoader::kMaxFileSize / (1024 * 1024));
            return false;
        }
        if (!VrnNetworkLoader::loadData(data, QStringLiteral("stdin"), QDir::currentPath(), parent, loaded, error))
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
