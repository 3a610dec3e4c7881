// Pictures: what the GL runtime draws must match values computed here on the
// CPU, and the comparison must notice a wrong value.

#include "VrnTestSupport.h"

#include "VrnAttributeValues.h"
#include "VrnNetworkLoader.h"
#include "VrnRenderCompare.h"
#include "VrnRenderer.h"
#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <functional>
#include <memory>

namespace {
const QString kStyle1 = QStringLiteral("VrnSnGlslCodeGenerator_Style1");
const int kSize = 64;

struct Rendered
{
    std::unique_ptr<VrnTest::LoadedNetwork> loaded;
    VrnShaderNetwork* network = nullptr;
    QImage picture;
};

// Loads the network text and renders it with Style 1; fails the test on any error.
Rendered render(const QString& json, int size = kSize)
{
    VrnTest::plugin();
    Rendered r;
    r.loaded = VrnTest::loadNetwork(json.toUtf8());
    if (!r.loaded)
        return r;
    r.network = r.loaded->network();
    QString error;
    if (!VrnRenderCompare::renderWithGenerator(kStyle1, r.network, r.loaded->loaded.defines, size, r.picture, error))
        ADD_FAILURE() << error;
    return r;
}

QString network(const QString& channels, const QString& nodes, const QString& connections)
{
    return QStringLiteral(R"({"format": 1, "channels": [%1], "nodes": [%2, {"id": "Out", "kind": "Output"}],
                              "connections": [%3], "root": "Out"})")
        .arg(channels, nodes, connections);
}

// The sphere as the fragment stage sees it at a pixel (top row first).
struct SpherePoint
{
    bool inside = false;
    double x = 0, y = 0, z = 0; // the normal
    double u = 0, v = 0;        // the texture position
};

SpherePoint spherePoint(int column, int row, int size)
{
    SpherePoint p;
    p.x = (column + 0.5) / size * 2.0 - 1.0;
    p.y = (size - 1 - row + 0.5) / size * 2.0 - 1.0;
    const double r2 = p.x * p.x + p.y * p.y;
    p.inside = r2 <= 1.0;
    p.z = p.inside ? std::sqrt(1.0 - r2) : 0.0;
    p.u = p.x * 0.5 + 0.5;
    p.v = p.y * 0.5 + 0.5;
    return p;
}

int byte(double value)
{
    return int(std::lround(std::min(1.0, std::max(0.0, value)) * 255.0));
}

// Checks every pixel against the expected colour; pixels off the sphere are the background.
void expectPicture(const QImage& picture, const std::function<QVector<double>(const SpherePoint&)>& expected, int tolerance = 1)
{
    ASSERT_EQ(picture.width(), kSize);
    int checked = 0;
    for (int row = 0; row < picture.height(); ++row)
        for (int column = 0; column < picture.width(); ++column) {
            const SpherePoint p = spherePoint(column, row, picture.width());
            // Pixels right at the rim may fall either way in the rasteriser.
            const double r2 = p.x * p.x + p.y * p.y;
            if (std::abs(r2 - 1.0) < 0.05)
                continue;
            const QRgb got = picture.pixel(column, row);
            const int gotBytes[4] = {qRed(got), qGreen(got), qBlue(got), qAlpha(got)};
            int want[4];
            if (p.inside) {
                const QVector<double> c = expected(p);
                for (int i = 0; i < 4; ++i)
                    want[i] = byte(c.at(i));
            } else {
                for (int i = 0; i < 4; ++i)
                    want[i] = VrnRenderer::kBackground[i];
            }
            for (int i = 0; i < 4; ++i)
                ASSERT_LE(std::abs(gotBytes[i] - want[i]), tolerance)
                    << "pixel " << column << "," << row << " channel " << i << ": got " << gotBytes[i] << ", want " << want[i];
            ++checked;
        }
    EXPECT_GT(checked, kSize * kSize / 2);
}
} // namespace

TEST(RenderOracle, ConstantColourCoversTheSphereExactly)
{
    const Rendered r = render(network(QString(), QStringLiteral(R"({"id": "C", "kind": "ConstantColor", "attributes": {"Color": [0.2, 0.6, 0.8, 1.0]}})"),
                                      QStringLiteral(R"({"from": "C.Output", "to": "Out.Input"})")));
    expectPicture(r.picture, [](const SpherePoint&) { return QVector<double>{0.2, 0.6, 0.8, 1.0}; }, 0);
}

TEST(RenderOracle, FilledChannelGivesItsColour)
{
    const Rendered r = render(network(QStringLiteral(R"({"name": "Base", "fill": [0.9, 0.4, 0.1, 1.0]}, {"name": "Other", "fill": [0, 1, 0, 1]})"),
                                      QStringLiteral(R"({"id": "B", "kind": "ChannelInput", "attributes": {"Channel": "Base"}})"),
                                      QStringLiteral(R"({"from": "B.Output", "to": "Out.Input"})")));
    expectPicture(r.picture, [](const SpherePoint&) { return QVector<double>{0.9, 0.4, 0.1, 1.0}; });
}

TEST(RenderOracle, CheckerChannelIsSampledAtTheTexturePosition)
{
    const Rendered r = render(network(QStringLiteral(R"({"name": "Dirt", "size": 16, "checker": {"cells": 4, "colors": [[1, 0, 0, 1], [0, 0, 1, 1]]}})"),
                                      QStringLiteral(R"({"id": "D", "kind": "ChannelInput", "attributes": {"Channel": "Dirt"}})"),
                                      QStringLiteral(R"({"from": "D.Output", "to": "Out.Input"})")));
    ASSERT_NE(r.network, nullptr);
    const VrnChannel* dirt = r.network->shadingContext()->channel(1001, QStringLiteral("Dirt"));
    ASSERT_NE(dirt, nullptr);
    // The texel under the texture position, read from the channel's own data.
    expectPicture(r.picture, [dirt](const SpherePoint& p) {
        const int x = int(std::floor(p.u * dirt->width())), y = int(std::floor(p.v * dirt->height()));
        const int at = (y * dirt->width() + x) * 4;
        return QVector<double>{dirt->pixels().at(at), dirt->pixels().at(at + 1), dirt->pixels().at(at + 2), dirt->pixels().at(at + 3)};
    });
    // And the picture is not uniform: both colours show.
    EXPECT_NE(r.picture.pixel(kSize / 2 - 4, kSize / 2 - 4), r.picture.pixel(kSize / 2 + 4, kSize / 2 - 4));
}

TEST(RenderOracle, LightingNodeGivesTheIrradianceOfTheNormal)
{
    const Rendered r = render(network(QString(),
                                      QStringLiteral(R"({"id": "L", "kind": "SphericalHarmonicsLight", "attributes": {
                                          "l00": [0.7, 0.6, 0.5], "l1_1": [0.2, 0.1, 0.0], "l10": [0.1, 0.1, 0.2], "l11": [-0.1, 0.0, 0.1],
                                          "l2_2": [0.05, 0.0, 0.0], "l2_1": [0.0, 0.05, 0.0], "l20": [0.02, 0.02, 0.02],
                                          "l21": [0.0, 0.0, 0.05], "l22": [0.03, 0.0, 0.03], "Amount": 0.8}})"),
                                      QStringLiteral(R"({"from": "L.Output", "to": "Out.Input"})")));
    // c1..c5 and the coefficients L(l,m), per colour channel.
    const double c1 = 0.429043, c2 = 0.511664, c3 = 0.743125, c4 = 0.886227, c5 = 0.247708;
    const double l00[] = {0.7, 0.6, 0.5}, l1m1[] = {0.2, 0.1, 0.0}, l10[] = {0.1, 0.1, 0.2}, l11[] = {-0.1, 0.0, 0.1},
                 l2m2[] = {0.05, 0.0, 0.0}, l2m1[] = {0.0, 0.05, 0.0}, l20[] = {0.02, 0.02, 0.02}, l21[] = {0.0, 0.0, 0.05},
                 l22[] = {0.03, 0.0, 0.03};
    expectPicture(r.picture, [&](const SpherePoint& p) {
        QVector<double> colour;
        for (int k = 0; k < 3; ++k) {
            const double e = c1 * l22[k] * (p.x * p.x - p.y * p.y) + c3 * l20[k] * p.z * p.z + c4 * l00[k] - c5 * l20[k]
                           + 2 * c1 * (l2m2[k] * p.x * p.y + l21[k] * p.x * p.z + l2m1[k] * p.y * p.z)
                           + 2 * c2 * (l11[k] * p.x + l1m1[k] * p.y + l10[k] * p.z);
            colour.append(e * 0.8);
        }
        colour.append(1.0);
        return colour;
    });
}

TEST(RenderCompare, NoticesAWrongUniformValue)
{
    const QString base = network(QString(), QStringLiteral(R"({"id": "C", "kind": "ConstantColor", "attributes": {"Color": [0.5, 0.5, 0.5, 1.0]}})"),
                                 QStringLiteral(R"({"from": "C.Output", "to": "Out.Input"})"));
    Rendered right = render(base);
    Rendered same = render(base);
    EXPECT_EQ(VrnRenderCompare::difference(right.picture, same.picture).maximum, 0);

    // The same shader with one uniform value off by about 2/255.
    ASSERT_NE(same.network, nullptr);
    VrnSnBaseNode* c = same.network->node(QStringLiteral("C"));
    c->setUserAttribute(QStringLiteral("Color"), QVariant::fromValue(VrnColor(0.5f, 0.508f, 0.5f, 1.0f)));
    QImage wrong;
    QString error;
    ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle1, same.network, {}, kSize, wrong, error)) << error.toStdString();
    const VrnRenderCompare::Difference d = VrnRenderCompare::difference(right.picture, wrong);
    EXPECT_EQ(d.maximum, 2);
    EXPECT_GT(d.differingPixels, kSize * kSize / 2);
    EXPECT_LT(d.differingPixels, kSize * kSize) << "the background is the same in both";
}

TEST(RenderCompare, CompilerMessagesComeBackAsErrors)
{
    VrnTest::plugin();
    const auto loaded = VrnTest::loadNetwork(network(QString(), QStringLiteral(R"({"id": "C", "kind": "ConstantColor"})"),
                                                     QStringLiteral(R"({"from": "C.Output", "to": "Out.Input"})"))
                                                 .toUtf8());
    ASSERT_NE(loaded, nullptr);
    VrnRenderJob job;
    job.network = loaded->network();
    job.fragmentSource = QStringLiteral("#version 450 core\nout vec4 c;\nvoid main() { c = undefinedThing; }\n");
    QImage picture;
    QString error;
    EXPECT_FALSE(VrnRenderer::render(job, picture, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("the fragment stage does not compile:"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("undefinedThing"))) << error.toStdString();
}

TEST(RenderExamples, EveryExampleRendersAndShowsItsVariation)
{
    VrnTest::plugin();
    // Networks whose result is one colour everywhere on the sphere: read from
    // flat caches or baked channels, or made of constants only.
    const QStringList flat{QStringLiteral("bake-preview"), QStringLiteral("cached-dirt"), QStringLiteral("displaced-tiles"),
                           QStringLiteral("every-parameter"), QStringLiteral("grouped-layers"), QStringLiteral("secret-recipe")};
    const QStringList files = VrnTest::exampleFiles();
    ASSERT_GE(files.size(), 10);
    for (const QString& file : files) {
        SCOPED_TRACE(QFileInfo(file).fileName().toStdString());
        const auto example = VrnTest::loadNetworkFile(file);
        ASSERT_NE(example, nullptr);
        QImage picture;
        QString error;
        ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(kStyle1, example->network(), example->loaded.defines, kSize, picture, error)) << error;
        QSet<QRgb> colours;
        for (int row = 0; row < kSize; ++row)
            for (int column = 0; column < kSize; ++column)
                if (spherePoint(column, row, kSize).inside)
                    colours.insert(picture.pixel(column, row));
        if (flat.contains(QFileInfo(file).baseName()))
            EXPECT_EQ(colours.size(), 1);
        else
            EXPECT_GT(colours.size(), 1) << "a uniform picture";
    }
}

TEST(RenderCompare, AValueEditIsDrawnWithoutABuildOrACompile)
{
    const QString json = network(QString(), QStringLiteral(R"({"id": "C", "kind": "ConstantColor", "attributes": {"Color": [0.1, 0.2, 0.3, 1.0]}})"),
                                 QStringLiteral(R"({"from": "C.Output", "to": "Out.Input"})"));
    VrnTest::plugin();
    // Style 1 reads the colour as a uniform of its own, Styles 5 and 6 from their uniform data.
    for (const char* style : {"1", "5", "6"}) {
        SCOPED_TRACE(style);
        std::unique_ptr<VrnTest::LoadedNetwork> loaded = VrnTest::loadNetwork(json.toUtf8());
        ASSERT_TRUE(loaded);
        VrnSurfaceShader surface;
        QMap<unsigned, QString> sources;
        QString error;
        const QString generator = QStringLiteral("VrnSnGlslCodeGenerator_Style") + QLatin1String(style);
        ASSERT_TRUE(VrnShaderBuild::buildStages(generator, loaded->network(), &surface, {}, sources, error)) << error.toStdString();
        const VrnRenderJob job{sources.value(VrnShaderType::Fragment), loaded->network(), &surface, kSize};
        QImage picture;
        ASSERT_TRUE(VrnRenderer::render(job, picture, error)) << error.toStdString();
        const int compiles = VrnRenderer::compileCount(), builds = VrnShaderBuild::buildCount();
        VrnSnBaseNode* constant = loaded->network()->node(QStringLiteral("C"));
        constant->setUserAttribute(QStringLiteral("Color"), QVariant::fromValue(VrnColor(0.9f, 0.2f, 0.3f, 1.0f)));
        EXPECT_EQ(VrnShaderBuild::writeValue(&surface, constant, QStringLiteral("Color")), QLatin1String(style) != QLatin1String("1"));
        ASSERT_TRUE(VrnRenderer::render(job, picture, error)) << error.toStdString();
        EXPECT_EQ(VrnRenderer::compileCount(), compiles);
        EXPECT_EQ(VrnShaderBuild::buildCount(), builds);
        EXPECT_EQ(qRed(picture.pixel(kSize / 2, kSize / 2)), 230);
        QImage rebuilt;
        ASSERT_TRUE(VrnRenderCompare::renderWithGenerator(generator, loaded->network(), {}, kSize, rebuilt, error)) << error.toStdString();
        EXPECT_EQ(rebuilt, picture) << "as a rebuild draws it";
        EXPECT_EQ(VrnRenderer::compileCount(), compiles) << "the same text finds its program";
    }
}
