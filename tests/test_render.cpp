// Pictures: what the GL runtime draws must match values computed here on the
// CPU, whatever the styles agree on among themselves.

#include "VrnTestSupport.h"

#include "VrnRenderer.h"
#include "VrnShaderBuild.h"
#include "VrnSurfaceShader.h"

#include <cmath>

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
// x, y, z: the normal; u, v: the texture position.
struct SpherePoint { bool inside = false; double x = 0, y = 0, z = 0; double u = 0, v = 0; };

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
