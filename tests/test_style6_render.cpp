// Style 6 pictures against Style 1's: every example, random networks, and a
// kind that reads every parameter type through the uniform block.
//
// Style 1 runs the code of nodes whose outputs the other styles read from a
// channel (a valid cache, a baked result). Where that changes its picture,
// those nodes are replaced by ChannelInput nodes of the same channels before
// Style 1 draws, so that it draws what the channels hold.

#include "VrnTestSupport.h"

#include "VrnAttributeValues.h"
#include "VrnBuiltinKinds.h"
#include "VrnNetworkLoader.h"
#include "VrnRandomNetwork.h"
#include "VrnRenderCompare.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <QDir>
#include <QJsonDocument>

#include <cstdlib>

namespace {
const QString kStyle1 = QStringLiteral("VrnSnGlslCodeGenerator_Style1");
const QString kStyle6 = QStringLiteral("VrnSnGlslCodeGenerator_Style6");
const int kSize = 48;

// Every consumer of (node, output) reads replacement's Output instead.
void rewire(VrnShaderNetwork* network, VrnSnBaseNode* node, const QString& output, VrnSnBaseNode* replacement)
{
    for (VrnSnBaseNode* consumer : network->nodes())
        for (const QString& input : consumer->inputNames()) {
            const VrnSnBaseNode::ConnectionPoint point = consumer->inputConnection(input);
            if (point.node == node && point.name == output)
                consumer->connectInput(input, replacement, QStringLiteral("Output"));
        }
}

// Nodes that read a channel instead of running their code become
// ChannelInput nodes of that channel, one per output.
void readStoredOutputsThroughChannelInputs(VrnShaderNetwork* network)
{
    VrnShadingContext* sc = network->shadingContext();
    const VrnSnNodeKindPtr channelInput = VrnBuiltinKinds::kind(QStringLiteral("ChannelInput"));
    ASSERT_NE(channelInput, nullptr);
    int made = 0;
    const QList<VrnSnBaseNode*> nodes = network->nodes();
    for (VrnSnBaseNode* node : nodes) {
        QHash<QString, QString> channelByOutput;
        if (VrnSnBaseGlslCodeGenerator::nodeReadsCache(node, sc)) {
            for (const QString& output : node->kind().outputs)
                channelByOutput.insert(output, node->userAttribute(node->cacheAttributeName(output)).value().value<VrnChannelId>().channelName());
        } else if (VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(node, sc)) {
            channelByOutput.insert(QStringLiteral("Output"), node->userAttribute(QStringLiteral("Channel")).toString());
        }
        for (auto it = channelByOutput.constBegin(); it != channelByOutput.constEnd(); ++it) {
            QString error;
            VrnSnBaseNode* reader = network->createNode(channelInput, QStringLiteral("Stored%1").arg(made++), &error);
            ASSERT_NE(reader, nullptr) << error.toStdString();
            reader->setUserAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(it.value())));
            rewire(network, node, it.key(), reader);
        }
        // Nothing reads the node now; it reads its channel no more either.
        node->setCacheEnabled(false);
        if (VrnSnBakePointNode* bakePoint = qobject_cast<VrnSnBakePointNode*>(node))
            bakePoint->setUseBakedResult(false);
    }
}

// Renders with Style 6, then with Style 1 (on the rewired network where
// Style 1 does not express it as it is), and compares.
void expectStyle6LikeStyle1(VrnShaderNetwork* network, const QStringList& defines)
{
    ASSERT_EQ(VrnRenderCompare::notApplicableReason(kStyle6, network), QString());
    QImage style6, style1;
    QString error;
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle6, network, defines, kSize, style6, error)) << error.toStdString();
    const QString reason = VrnRenderCompare::notApplicableReason(kStyle1, network);
    if (!reason.isEmpty()) {
        readStoredOutputsThroughChannelInputs(network);
        ASSERT_EQ(VrnRenderCompare::notApplicableReason(kStyle1, network), QString()) << "was: " << reason.toStdString();
    }
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle1, network, defines, kSize, style1, error)) << error.toStdString();
    const VrnRenderCompare::Difference d = VrnRenderCompare::difference(style1, style6);
    EXPECT_LE(d.maximum, 1) << d.differingPixels << " pixels differ" << (reason.isEmpty() ? "" : "; rewired: ") << reason.toStdString();
}
} // namespace

TEST(Style6Render, EveryExampleLooksAsInStyle1)
{
    VrnTest::plugin();
    const QStringList files = VrnTest::exampleFiles();
    ASSERT_GE(files.size(), 10);
    for (const QString& file : files) {
        SCOPED_TRACE(QFileInfo(file).fileName().toStdString());
        const auto example = VrnTest::loadNetworkFile(file);
        ASSERT_NE(example, nullptr);
        expectStyle6LikeStyle1(example->network(), example->loaded.defines);
    }
}

TEST(Style6Render, RandomNetworksLookAsInStyle1)
{
    VrnTest::plugin();
    int rewired = 0;
    for (quint32 seed = 1; seed <= 60; ++seed) {
        VrnRandomNetwork::Options options;
        options.seed = seed;
        options.nodes = 2 + int(seed * 7 % 39); // 2 to 40
        SCOPED_TRACE(QStringLiteral("seed %1, %2 nodes").arg(seed).arg(options.nodes).toStdString());
        const auto random =
            VrnTest::loadNetwork(QJsonDocument(VrnRandomNetwork::generate(options)).toJson(QJsonDocument::Compact), QStringLiteral("random"));
        ASSERT_NE(random, nullptr);
        if (!VrnRenderCompare::notApplicableReason(kStyle1, random->network()).isEmpty())
            ++rewired;
        expectStyle6LikeStyle1(random->network(), random->loaded.defines);
    }
    // Both kinds of network occur among the seeds.
    EXPECT_GT(rewired, 0);
    EXPECT_LT(rewired, 60);
}

// Each parameter type reaches the code through its own slots and the host's
// refresh of them: a value in the wrong slot or of the wrong width shows.
TEST(Style6Render, EveryParameterTypeReadsTheSameValuesAsItsUniform)
{
    VrnTest::plugin();
    const QByteArray json = R"({
      "format": 1, "name": "Readers", "currentChannel": "Base",
      "channels": [
        {"name": "Base", "fill": [0.8, 0.3, 0.1, 1]},
        {"name": "Dirt", "checker": {"cells": 4, "colors": [[0.1, 0.2, 0.9, 1], [0.9, 0.8, 0.1, 1]]}}
      ],
      "kinds": [
        {"name": "Reader", "outputs": ["Output"],
         "parameters": [
           {"name": "Flag", "type": "bool", "default": true},
           {"name": "Count", "type": "int", "default": 3},
           {"name": "Rate", "type": "float", "default": 0.25},
           {"name": "Weight", "type": "double", "default": 0.125},
           {"name": "Shift", "type": "Vector2f", "default": [0.1, 0.3]},
           {"name": "Tilt", "type": "Vector3f", "default": [0.2, 0.05, 0.4]},
           {"name": "Bias", "type": "Vector4f", "default": [0.05, 0.1, 0.15, 0.0]},
           {"name": "Tint", "type": "VrnColor", "default": [0.3, 0.6, 0.9, 1]},
           {"name": "Pick", "type": "VrnUserEnum", "default": "y", "options": ["x", "y", "z"]},
           {"name": "Mode", "type": "VrnUserEnum", "default": "Screen", "options": ["Normal", "Multiply", "Screen"], "blendMode": true},
           {"name": "Entries", "type": "VrnStringList", "default": "second", "options": ["first", "second"]},
           {"name": "Paint", "type": "VrnChannelId", "default": "Dirt"},
           {"name": "Layers", "type": "VrnImageList", "default": ["Dirt", "Base"]},
           {"name": "Ramp", "type": "VrnGradient", "default": {"atlas": true, "size": 64}},
           {"name": "Anchor", "type": "VrnLocatorList", "default": {"glslType": "vec3", "value": [0.25, 0.5, 0.75]}},
           {"name": "Frame", "type": "VrnLocatorList", "default": {"glslType": "mat4x4",
             "value": [2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1, 0, 0.5, 0.25, 0, 1]}}
         ],
         "glsl": "vec4 painted = texture_lookup2($Paint, State, _State);\nfloat k = ($Flag ? 0.1 : 0.0) + float($Count) * 0.05 + $Rate + $Weight + float($Mode) * 0.03 + float($Entries) * 0.07 + float($Ramp + 1) * 0.01 + float($Layers.x) * 0.11 + float($Layers.y) * 0.13;\nvec4 framed = $Frame * vec4(State.uv, 0.0, 1.0);\nvec4 back = $Frame_Inverse * framed;\nOutput = vec4(painted.rgb * 0.4 + vec3($Shift, 0.0) * 0.3 + $Tilt * 0.2 + $Anchor * 0.1, 1.0) * vec4(vec3(0.5 + k * 0.5), 1.0) + $Bias + vec4(framed.xy * 0.05, back.y * 0.1, 0.0) + $Tint * 0.1;\nOutput.$Pick = Output.$Pick * 0.5;"}
      ],
      "nodes": [{"id": "R", "kind": "Reader"}, {"id": "Out", "kind": "Output"}],
      "connections": [{"from": "R.Output", "to": "Out.Input"}],
      "root": "Out"
    })";
    const auto loaded = VrnTest::loadNetwork(json, QStringLiteral("readers.json"));
    ASSERT_NE(loaded, nullptr);
    QString error;
    expectStyle6LikeStyle1(loaded->network(), loaded->loaded.defines);

    // And the picture does depend on a value read from an int slot.
    QImage before, after;
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle6, loaded->network(), {}, kSize, before, error)) << error.toStdString();
    loaded->network()->node(QStringLiteral("R"))->setUserAttribute(QStringLiteral("Count"), 9);
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle6, loaded->network(), {}, kSize, after, error)) << error.toStdString();
    EXPECT_GT(VrnRenderCompare::difference(before, after).maximum, 1);
}

// The one place where Style 6 means something else: it lays a baked result
// over the bake background (transparent black in this host) by its alpha.
TEST(Style6Render, TranslucentBakedChannelShowsPremultiplied)
{
    VrnTest::plugin();
    const QByteArray json = R"({"format": 1, "channels": [{"name": "Baked", "fill": [0.8, 0.6, 0.4, 0.5]}],
      "nodes": [{"id": "C", "kind": "ConstantColor"},
                {"id": "B", "kind": "BakePoint", "attributes": {"Channel": "Baked"}, "bake": {"useBakedResult": true}},
                {"id": "Out", "kind": "Output"}],
      "connections": [{"from": "C.Output", "to": "B.Input"}, {"from": "B.Output", "to": "Out.Input"}], "root": "Out"})";
    const auto loaded = VrnTest::loadNetwork(json, QStringLiteral("t.json"));
    ASSERT_NE(loaded, nullptr);
    QString error;
    EXPECT_NE(VrnRenderCompare::notApplicableReason(kStyle6, loaded->network()), QString());
    QImage picture;
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle6, loaded->network(), {}, kSize, picture, error)) << error.toStdString();
    const QRgb centre = picture.pixel(kSize / 2, kSize / 2);
    const int want[4] = {102, 77, 51, 128}; // (0.8, 0.6, 0.4) * 0.5 and the alpha 0.5
    const int got[4] = {qRed(centre), qGreen(centre), qBlue(centre), qAlpha(centre)};
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(std::abs(got[i] - want[i]), 1) << "channel " << i << ": " << got[i];
}

TEST(Style6Render, NodeReadingASamplerOtherThanACubeIsNotExpressed)
{
    VrnTest::plugin();
    const QByteArray json = R"({"format": 1,
      "kinds": [{"name": "Ramped", "outputs": ["Output"], "glsl": "Output = texture($Ramp, 0.5);",
                 "parameters": [{"name": "Ramp", "type": "VrnGradient", "default": {"atlas": false, "size": 64}}]}],
      "nodes": [{"id": "G", "kind": "Ramped"}, {"id": "Out", "kind": "Output"}],
      "connections": [{"from": "G.Output", "to": "Out.Input"}], "root": "Out"})";
    const auto loaded = VrnTest::loadNetwork(json, QStringLiteral("r.json"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(VrnRenderCompare::notApplicableReason(kStyle6, loaded->network()),
              QStringLiteral("node \"G\" reads its sampler1D \"Ramp\", which this style does not declare"));
    EXPECT_EQ(VrnRenderCompare::notApplicableReason(kStyle1, loaded->network()), QString());
}
