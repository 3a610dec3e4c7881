// Every registered style draws the picture of the first style that can
// express the network: the example networks, hand-made states and random
// networks. Where a style is said not to express a network, its picture
// really is another one.

#include "VrnTestSupport.h"

#include "VrnNetworkLoader.h"
#include "VrnRandomNetwork.h"
#include "VrnRenderCompare.h"
#include "VrnShaderNetwork.h"
#include "VrnSnGlslCodeGeneratorManager.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <QDir>
#include <QHash>
#include <QJsonDocument>

#include <memory>

namespace {
using VrnTest::style;

const int kSize = 48;
const int kTolerance = 1;

// Renders with every registered style that expresses the network and checks
// each picture against the first one's. Returns the styles rendered.
QStringList expectSamePictures(const VrnLoadedNetwork& loaded)
{
    QStringList rendered;
    QImage reference;
    for (const QString& name : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        if (!VrnRenderCompare::notApplicableReason(name, loaded.network, loaded.defines).isEmpty())
            continue;
        QImage picture;
        QString error;
        if (!VrnRenderCompare::renderWithGenerator(name, loaded.network, loaded.defines, kSize, picture, error)) {
            ADD_FAILURE() << name.toStdString() << ": " << error.toStdString();
            continue;
        }
        if (rendered.isEmpty())
            reference = picture;
        const VrnRenderCompare::Difference d = VrnRenderCompare::difference(reference, picture);
        EXPECT_LE(d.maximum, kTolerance) << name.toStdString() << " vs " << rendered.value(0).toStdString() << ": "
                                         << d.differingPixels << " pixels differ";
        rendered.append(name);
    }
    return rendered;
}

QByteArray network(const QString& channels, const QString& nodes, const QString& connections, const QString& extra = QString())
{
    return QStringLiteral(R"({"format": 1, %4 "channels": [%1], "nodes": [%2, {"id": "Out", "kind": "Output"}],
                              "connections": [%3], "root": "Out"})")
        .arg(channels, nodes, connections, extra)
        .toUtf8();
}
} // namespace

TEST(StylePictures, ExamplesMatchInEveryStyle)
{
    VrnTest::plugin();
    const QStringList files = VrnTest::exampleFiles();
    ASSERT_GE(files.size(), 10);
    for (const QString& file : files) {
        SCOPED_TRACE(QFileInfo(file).fileName().toStdString());
        const auto example = VrnTest::loadNetworkFile(file);
        ASSERT_NE(example, nullptr);
        const QStringList rendered = expectSamePictures(example->loaded);
        EXPECT_TRUE(rendered.contains(style(2)));
        EXPECT_TRUE(rendered.contains(style(4)));
        // Style 3 evaluates bake points; it leaves only the baking examples.
        EXPECT_EQ(rendered.contains(style(3)), !QFileInfo(file).fileName().startsWith(QLatin1String("bake-")));
    }
}

// In a bake, a left-out node's uniforms are not declared, though Style 3's
// main body writes its code inline: that build cannot compile.
TEST(StylePictures, BakeWithALeftOutNodeMatches)
{
    VrnTest::plugin();
    const auto loaded = VrnTest::loadNetwork(network(QStringLiteral(R"({"name": "Base", "fill": [0.3, 0.5, 0.35, 1.0]})"),
                                     QStringLiteral(R"({"id": "Base", "kind": "ChannelInput", "attributes": {"Channel": "Base"}},
                                                      {"id": "Rim", "kind": "ConstantColor", "tags": ["_notbakeable"],
                                                       "attributes": {"Color": [0.2, 0.1, 0.05, 0.0]}},
                                                      {"id": "Sum", "kind": "Add"})"),
                                     QStringLiteral(R"({"from": "Base.Output", "to": "Sum.A"}, {"from": "Rim.Output", "to": "Sum.B"},
                                                      {"from": "Sum.Output", "to": "Out.Input"})"),
                                     QStringLiteral(R"("defines": ["NODE_BAKE"],)")),
                             QStringLiteral("bake"));
    ASSERT_NE(loaded, nullptr);
    const QStringList rendered = expectSamePictures(loaded->loaded);
    for (int n : {1, 2, 4})
        EXPECT_TRUE(rendered.contains(style(n))) << n;
    EXPECT_EQ(VrnRenderCompare::notApplicableReason(style(3), loaded->network(), loaded->loaded.defines),
              QStringLiteral("node \"Rim\" is left out of the bake, but this style writes its code inline, "
                             "which reads the uniform \"Rim_Color\" that its stub does not declare"));
    QImage picture;
    QString error;
    EXPECT_FALSE(VrnRenderCompare::renderWithGenerator(style(3), loaded->network(), loaded->loaded.defines, kSize, picture, error));
    EXPECT_TRUE(error.contains(QLatin1String("Rim_Color' undeclared"))) << error.toStdString();
}

TEST(StylePictures, RandomNetworksMatchInEveryStyle)
{
    VrnTest::plugin();
    QHash<QString, int> renderedBy;
    const int networks = 60;
    for (quint32 seed = 1; seed <= quint32(networks); ++seed) {
        VrnRandomNetwork::Options options;
        options.seed = seed;
        options.nodes = 2 + int(seed * 13 % 39);
        SCOPED_TRACE(QStringLiteral("--random %1 --nodes %2").arg(seed).arg(options.nodes).toStdString());
        const auto loaded = VrnTest::loadNetwork(QJsonDocument(VrnRandomNetwork::generate(options)).toJson(), QStringLiteral("random"));
        ASSERT_NE(loaded, nullptr);
        for (const QString& name : expectSamePictures(loaded->loaded))
            ++renderedBy[name];
    }
    // Style 2 expresses every network; the others skip only the states they
    // cannot express (baked channels, uniform-free builds), a minority.
    EXPECT_EQ(renderedBy.value(style(2)), networks);
    EXPECT_GE(renderedBy.value(style(3)), networks / 2);
    EXPECT_GE(renderedBy.value(style(4)), networks * 3 / 4);
}

TEST(StylePictures, StylesLeftOutReallyDrawOtherPictures)
{
    VrnTest::plugin();
    const struct
    {
        const char* name;
        int style;
        QByteArray json;
        const char* reason; // start of the reason the style is left out
    } rows[] = {
        {"nothing declared", 4,
         network(QString(), QStringLiteral(R"({"id": "S", "kind": "Add"})"), QStringLiteral(R"({"from": "S.Output", "to": "Out.Input"})")),
         "no node declares a uniform"},
        {"a one-dimensional sampler", 4,
         network(QString(), QStringLiteral(R"({"id": "T", "kind": "AllTypes"})"), QStringLiteral(R"({"from": "T.Output", "to": "Out.Input"})")),
         "node \"T\" declares \"uniform sampler1D T_Ramp;\""},
        {"a gradient without an atlas read by the code", 5,
         network(QString(), QStringLiteral(R"({"id": "G", "kind": "Ramped"})"), QStringLiteral(R"({"from": "G.Output", "to": "Out.Input"})"),
                 QStringLiteral(R"("kinds": [{"name": "Ramped", "outputs": ["Output"], "glsl": "Output = texture($Ramp, 0.5);",
                                  "parameters": [{"name": "Ramp", "type": "VrnGradient", "default": {"atlas": false, "size": 16}}]}],)")),
         "node \"G\" reads its gradient \"Ramp\", which has no atlas"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto loaded = VrnTest::loadNetwork(row.json, QString::fromLatin1(row.name));
        ASSERT_NE(loaded, nullptr);
        VrnShaderNetwork* net = loaded->network();
        const QString reason = VrnRenderCompare::notApplicableReason(style(row.style), net);
        EXPECT_TRUE(reason.startsWith(QString::fromLatin1(row.reason))) << reason.toStdString();
        for (int other : {2, 3})
            EXPECT_EQ(VrnRenderCompare::notApplicableReason(style(other), net), QString());

        QImage reference, picture;
        QString error;
        ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(style(2), net, {}, kSize, reference, error)) << error.toStdString();
        if (VrnRenderCompare::renderWithGenerator(style(row.style), net, {}, kSize, picture, error))
            EXPECT_GT(VrnRenderCompare::difference(reference, picture).maximum, kTolerance);
        else
            EXPECT_TRUE(error.contains(QLatin1String("does not compile"))) << error.toStdString();
    }
}

TEST(StylePictures, ReevaluationReadsACachedProducerFromItsCacheInEveryStyle)
{
    VrnTest::plugin();
    // The cache holds another value than the checker computes: every style
    // must read it at the shifted position, Style 1 included.
    const auto loaded = VrnTest::loadNetwork(network(QStringLiteral(R"({"name": "Store", "fill": [0.9, 0.1, 0.1, 1.0]})"),
                                     QStringLiteral(R"({"id": "C", "kind": "Checker", "attributes": {"Cells": 4.0}},
                                                      {"id": "K", "kind": "Multiply",
                                                       "cache": {"enabled": true, "valid": true, "active": 2, "channels": {"Output": "Store"}}},
                                                      {"id": "O", "kind": "Offset"})"),
                                     QStringLiteral(R"({"from": "C.Output", "to": "K.A"}, {"from": "K.Output", "to": "O.Input"},
                                                      {"from": "O.Output", "to": "Out.Input"})")),
                             QStringLiteral("re-evaluated cache"));
    ASSERT_NE(loaded, nullptr);
    const QStringList rendered = expectSamePictures(loaded->loaded);
    EXPECT_TRUE(rendered.contains(style(1))) << rendered.join(QLatin1Char(' ')).toStdString();
    EXPECT_GE(rendered.size(), 3);
}

TEST(StylePictures, StyleOneDropsAnOutputlessNodeLeftOutOfABake)
{
    VrnTest::plugin();
    const QByteArray json = R"({"format": 1, "defines": ["NODE_BAKE"],
        "nodes": [{"id": "C", "kind": "ConstantColor", "attributes": {"Color": [0.2, 0.7, 0.4, 1.0]}},
                  {"id": "Out", "kind": "Output", "tags": ["_notbakeable"]}],
        "connections": [{"from": "C.Output", "to": "Out.Input"}], "root": "Out"})";
    const auto loaded = VrnTest::loadNetwork(json, QStringLiteral("outputless non-bakeable"));
    ASSERT_NE(loaded, nullptr);
    VrnShaderNetwork* net = loaded->network();
    const QStringList defines = loaded->loaded.defines;
    EXPECT_TRUE(VrnRenderCompare::notApplicableReason(style(1), net, defines).startsWith(QStringLiteral("node \"Out\" is left out of the bake")));
    EXPECT_EQ(VrnRenderCompare::notApplicableReason(style(1), net, {}), QString()) << "outside a bake the node runs in every style";
    QImage styleOne, styleTwo;
    QString error;
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(style(1), net, defines, kSize, styleOne, error)) << error.toStdString();
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(style(2), net, defines, kSize, styleTwo, error)) << error.toStdString();
    EXPECT_GT(VrnRenderCompare::difference(styleOne, styleTwo).maximum, kTolerance);
}
