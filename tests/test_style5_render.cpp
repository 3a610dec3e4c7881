// Style 5 pictures: the interpreter running on the packed uniform data draws
// what Style 1 draws, on every example and on random networks; where the
// compare says Style 5 does not express a network, its picture really is
// another one; a network too large for a uniform buffer is refused.

#include "VrnTestSupport.h"

#include "VrnNetworkLoader.h"
#include "VrnRandomNetwork.h"
#include "VrnRenderCompare.h"
#include "VrnShaderNetwork.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {
const QString kStyle1 = QStringLiteral("VrnSnGlslCodeGenerator_Style1");
const QString kStyle2 = QStringLiteral("VrnSnGlslCodeGenerator_Style2");
const QString kStyle5 = QStringLiteral("VrnSnGlslCodeGenerator_Style5");
const int kSize = 48;
// Random networks re-evaluate whole subtrees per pixel in the interpreter:
// smaller pictures keep the run short and still show any misplaced value.
const int kRandomSize = 32;
const int kTolerance = 1;

// Style 1 where it expresses the network; Style 2 otherwise (it reads baked
// channels, and the style-pictures tests hold it to Style 1).
QString reference(const VrnLoadedNetwork& loaded)
{
    return VrnRenderCompare::notApplicableReason(kStyle1, loaded.network, loaded.defines).isEmpty() ? kStyle1 : kStyle2;
}

// The largest difference between Style 5's picture and the reference's; -1 on failure.
int differenceFromReference(const VrnLoadedNetwork& loaded, int size = kSize)
{
    QImage mine, theirs;
    QString error;
    if (!VrnRenderCompare::renderWithGenerator(kStyle5, loaded.network, loaded.defines, size, mine, error)
        || !VrnRenderCompare::renderWithGenerator(reference(loaded), loaded.network, loaded.defines, size, theirs, error)) {
        ADD_FAILURE() << error.toStdString();
        return -1;
    }
    return VrnRenderCompare::difference(theirs, mine).maximum;
}

QByteArray network(const QString& channels, const QString& nodes, const QString& connections, const QString& extra = QString())
{
    return QString::fromLatin1(R"({"format": 1, %4 "currentChannel": "Base", "channels": [{"name": "Base", "fill": [0.5, 0.5, 0.5, 1]} %1],
                              "nodes": [%2, {"id": "Out", "kind": "Output"}], "connections": [%3], "root": "Out"})")
        .arg(channels, nodes, connections, extra)
        .toUtf8();
}
} // namespace

TEST(Style5Render, EveryExampleLooksAsInTheReference)
{
    VrnTest::plugin();
    const QStringList files = VrnTest::exampleFiles();
    ASSERT_GE(files.size(), 10);
    QStringList left;
    for (const QString& file : files) {
        SCOPED_TRACE(QFileInfo(file).fileName().toStdString());
        const auto example = VrnTest::loadNetworkFile(file);
        ASSERT_NE(example, nullptr);
        if (!VrnRenderCompare::notApplicableReason(kStyle5, example->network(), example->loaded.defines).isEmpty()) {
            left.append(QFileInfo(file).fileName());
            continue;
        }
        EXPECT_LE(differenceFromReference(example->loaded), kTolerance);
    }
    // Its preview glow is not bakeable, and Style 5 has no bake mode.
    EXPECT_EQ(left, QStringList{QStringLiteral("bake-point.json")});
}

TEST(Style5Render, RandomNetworksLookAsInTheReference)
{
    VrnTest::plugin();
    int compared = 0;
    QStringList left;
    for (quint32 seed = 1; seed <= 230; ++seed) {
        VrnRandomNetwork::Options options;
        options.seed = seed;
        options.nodes = 2 + int(seed * 7 % 59); // 2 to 60
        SCOPED_TRACE(QStringLiteral("--random %1 --nodes %2").arg(seed).arg(options.nodes).toStdString());
        const auto loaded = VrnTest::loadNetwork(QJsonDocument(VrnRandomNetwork::generate(options)).toJson(QJsonDocument::Compact));
        ASSERT_NE(loaded, nullptr);
        const QString reason = VrnRenderCompare::notApplicableReason(kStyle5, loaded->network(), loaded->loaded.defines);
        if (!reason.isEmpty()) {
            left.append(reason);
            continue;
        }
        EXPECT_LE(differenceFromReference(loaded->loaded, kRandomSize), kTolerance);
        ++compared;
    }
    EXPECT_GE(compared, 200) << left.join(QLatin1Char('\n')).toStdString();
}

// Each reason the compare gives names a real difference: Style 5 draws
// another picture there.
TEST(Style5Render, NetworksLeftOutReallyDrawOtherPictures)
{
    VrnTest::plugin();
    const QString checker = QStringLiteral(R"({"id": "C", "kind": "Checker", "attributes": {"Cells": 4.0}})");
    const QString cache = QStringLiteral(R"("cache": {"enabled": true, "valid": true, "active": 2, "channels": {%1}})");
    const struct
    {
        const char* name;
        QByteArray json;
        const char* reason;
    } rows[] = {
        {"a re-evaluation inside another",
         network(QString(), checker + QStringLiteral(R"(, {"id": "O1", "kind": "Offset", "attributes": {"Shift": [0.13, 0.0]}},
                                                       {"id": "O2", "kind": "Offset", "attributes": {"Shift": [0.05, 0.07]}})"),
                 QStringLiteral(R"({"from": "C.Output", "to": "O1.Input"}, {"from": "O1.Output", "to": "O2.Input"}, {"from": "O2.Output", "to": "Out.Input"})")),
         "node \"O1\" re-evaluates its input inside the re-evaluation of node \"O2\", which this style cannot nest"},
        {"a node that is not bakeable, in a bake",
         network(QString(), QStringLiteral(R"({"id": "G", "kind": "ConstantColor", "tags": ["_notbakeable"], "attributes": {"Color": [0.3, 0.2, 0.1, 1]}})"),
                 QStringLiteral(R"({"from": "G.Output", "to": "Out.Input"})"), QStringLiteral(R"("defines": ["NODE_BAKE"],)")),
         "node \"G\" is not bakeable, and this style runs its code in a bake"},
        {"a translucent cache",
         network(QStringLiteral(R"(, {"name": "Store", "fill": [0.8, 0.6, 0.4, 0.5]})"),
                 QStringLiteral(R"({"id": "K", "kind": "ConstantColor", %1})").arg(cache.arg(QStringLiteral(R"("Output": "Store")"))),
                 QStringLiteral(R"({"from": "K.Output", "to": "Out.Input"})")),
         "node \"K\" reads a translucent cache, which this style lays over opaque black"},
        {"a translucent baked channel",
         network(QStringLiteral(R"(, {"name": "Baked", "fill": [0.8, 0.6, 0.4, 0.5]})"),
                 QStringLiteral(R"({"id": "K", "kind": "ConstantColor"},
                                  {"id": "B", "kind": "BakePoint", "attributes": {"Channel": "Baked"}, "bake": {"useBakedResult": true}})"),
                 QStringLiteral(R"({"from": "K.Output", "to": "B.Input"}, {"from": "B.Output", "to": "Out.Input"})")),
         "bake point \"B\" reads a translucent baked channel, which this style lays over its background"},
        {"a cache of two outputs",
         network(QStringLiteral(R"(, {"name": "Lo", "fill": [0.2, 0.2, 0.2, 1]}, {"name": "Hi", "fill": [0.9, 0.7, 0.5, 1]})"),
                 QStringLiteral(R"({"id": "S", "kind": "Split", %1})").arg(cache.arg(QStringLiteral(R"("Lo": "Lo", "Hi": "Hi")"))),
                 QStringLiteral(R"({"from": "S.Hi", "to": "Out.Input"})"),
                 QStringLiteral(R"("kinds": [{"name": "Split", "outputs": ["Lo", "Hi"], "glsl": "Lo = vec4(0.0);\nHi = vec4(1.0);"}],)")),
         "node \"S\" reads its cache for 2 outputs, and this style's cache lookup writes one"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto loaded = VrnTest::loadNetwork(row.json);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(VrnRenderCompare::notApplicableReason(kStyle5, loaded->network(), loaded->loaded.defines), QString::fromLatin1(row.reason));
        EXPECT_GT(differenceFromReference(loaded->loaded), kTolerance);
    }
}

// A chain of Multiply nodes after a Checker takes 6 elements per Multiply
// and 17 for the rest; a uniform buffer holds 4,096: 679 fit, 680 do not.
TEST(Style5Render, ANetworkTooLargeForTheUniformBufferIsRefusedFrom680Multiplies)
{
    VrnTest::plugin();
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    for (const int multiplies : {679, 680}) {
        SCOPED_TRACE(multiplies);
        QJsonArray nodes{QJsonObject{{QStringLiteral("id"), QStringLiteral("C")}, {QStringLiteral("kind"), QStringLiteral("Checker")}}};
        QJsonArray connections;
        QString previous = QStringLiteral("C.Output");
        for (int i = 0; i < multiplies; ++i) {
            const QString id = QStringLiteral("M%1").arg(i);
            nodes.append(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("kind"), QStringLiteral("Multiply")}});
            connections.append(QJsonObject{{QStringLiteral("from"), previous}, {QStringLiteral("to"), id + QStringLiteral(".A")}});
            previous = id + QStringLiteral(".Output");
        }
        nodes.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("Out")}, {QStringLiteral("kind"), QStringLiteral("Output")}});
        connections.append(QJsonObject{{QStringLiteral("from"), previous}, {QStringLiteral("to"), QStringLiteral("Out.Input")}});
        const QJsonObject file{{QStringLiteral("format"), 1}, {QStringLiteral("channels"), QJsonArray()}, {QStringLiteral("nodes"), nodes},
                               {QStringLiteral("connections"), connections}, {QStringLiteral("root"), QStringLiteral("Out")}};
        const QString path = directory.filePath(QStringLiteral("chain%1.json").arg(multiplies));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(file).toJson(QJsonDocument::Compact));
        out.close();

        QProcess process;
        process.start(VrnTest::toolPath(QStringLiteral("vrn-glsl")), {QStringLiteral("--style"), QStringLiteral("5"), path});
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (multiplies == 679) {
            EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
            EXPECT_TRUE(err.isEmpty());
        } else {
            EXPECT_EQ(process.exitCode(), 1);
            EXPECT_EQ(err, QStringLiteral("vrn-glsl: Shader set-up is too complex to fit all data into maximum UBO size the video card "
                                          "supports. Either reduce the complexity of shader, layer or node graph set-up OR switch "
                                          "Preferences > GPU > Shader Compilation to Optimized or Legacy.\n"));
        }
    }
}
