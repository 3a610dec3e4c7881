// Every registered style draws the picture of the first style that can
// express the network: the example networks, hand-made states and random
// networks. Where a style is said not to express a network, its picture
// really is another one.

#include "VrnTestSupport.h"

#include <QHash>

#include <cstdlib>

namespace {
using VrnTest::style;

const int kSize = 48;
// The interpreter of Style 5 re-evaluates whole subtrees per pixel: random
// networks are drawn smaller, which still shows any misplaced value.
const int kRandomSize = 24;
const int kTolerance = 1;

QImage render(const QString& generator, const VrnLoadedNetwork& loaded, int size = kSize)
{
    QImage picture;
    QString error;
    if (!VrnRenderCompare::renderWithGenerator(generator, loaded.network, loaded.defines, size, picture, error))
        ADD_FAILURE() << generator << ": " << error;
    return picture;
}

// Renders with every registered style that expresses the network and checks
// each picture against the first one's. Returns the styles rendered.
QStringList expectSamePictures(const VrnLoadedNetwork& loaded, int size = kSize)
{
    QStringList rendered;
    QImage first;
    for (const QString& name : VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames()) {
        if (!VrnRenderCompare::notApplicableReason(name, loaded.network, loaded.defines).isEmpty())
            continue;
        const QImage picture = render(name, loaded, size);
        if (rendered.isEmpty())
            first = picture;
        const VrnRenderCompare::Difference d = VrnRenderCompare::difference(first, picture);
        EXPECT_LE(d.maximum, kTolerance) << name << " vs " << rendered.value(0) << ": " << d.differingPixels << " pixels differ";
        rendered.append(name);
    }
    return rendered;
}

} // namespace

TEST(StylePictures, ExamplesMatchInEveryStyle)
{
    VrnTest::plugin();
    // Networks whose result is one colour everywhere on the sphere: read from
    // flat caches or baked channels, or made of constants only.
    const QStringList flat{QStringLiteral("bake-preview"), QStringLiteral("cached-dirt"), QStringLiteral("displaced-tiles"),
                           QStringLiteral("every-parameter"), QStringLiteral("grouped-layers"), QStringLiteral("secret-recipe")};
    const QStringList files = VrnTest::exampleFiles();
    ASSERT_GE(files.size(), 10);
    for (const QString& file : files) {
        const QString name = QFileInfo(file).baseName();
        SCOPED_TRACE(name.toStdString());
        const auto example = VrnTest::loadNetworkFile(file);
        ASSERT_NE(example, nullptr);
        const QStringList rendered = expectSamePictures(example->loaded);
        for (int n : {2, 4, 6})
            EXPECT_TRUE(rendered.contains(style(n))) << n;
        // Style 3 evaluates bake points; it leaves only the baking examples.
        EXPECT_EQ(rendered.contains(style(3)), !name.startsWith(QLatin1String("bake-")));
        // The preview glow of bake-point is not bakeable, and Style 5 has no bake mode.
        EXPECT_EQ(rendered.contains(style(5)), name != QLatin1String("bake-point"));
        // Style 1 runs every node's code, whatever the network reads from channels.
        const QImage styleOne = render(style(1), example->loaded);
        QSet<QRgb> colours;
        for (int y = kSize / 4; y < kSize * 3 / 4; ++y)
            for (int x = kSize / 4; x < kSize * 3 / 4; ++x)
                colours.insert(styleOne.pixel(x, y));
        EXPECT_EQ(colours.size() == 1, flat.contains(name)) << colours.size() << " colours";
    }
}

// Random networks small enough to draw quickly, which together still hold
// every kind of the generator's pool, caches and both bake-point states.
TEST(StylePictures, RandomNetworksMatchInEveryStyle)
{
    VrnTest::plugin();
    QHash<QString, int> renderedBy;
    QSet<QString> seen;
    const int networks = 60;
    for (quint32 seed = 1; seed <= quint32(networks); ++seed) {
        VrnRandomNetwork::Options options;
        options.seed = seed;
        options.nodes = 2 + int(seed * 13 % 39); // 2 to 40
        SCOPED_TRACE(QStringLiteral("--random %1 --nodes %2").arg(seed).arg(options.nodes).toStdString());
        const QJsonObject json = VrnRandomNetwork::generate(options);
        for (const QJsonValue& node : json.value(QStringLiteral("nodes")).toArray()) {
            const QJsonObject n = node.toObject();
            seen.insert(n.value(QStringLiteral("kind")).toString());
            for (const QString& state : {QStringLiteral("cache"), QStringLiteral("inputTags")})
                if (n.contains(state))
                    seen.insert(state);
            if (n.contains(QStringLiteral("bake")))
                seen.insert(QStringLiteral("baked %1").arg(n.value(QStringLiteral("bake")).toObject().value(QStringLiteral("useBakedResult")).toBool()));
        }
        const auto loaded = VrnTest::loadNetwork(QJsonDocument(json).toJson(QJsonDocument::Compact), QStringLiteral("random"));
        ASSERT_NE(loaded, nullptr);
        for (const QString& name : expectSamePictures(loaded->loaded, kRandomSize))
            ++renderedBy[name];
    }
    EXPECT_EQ(seen.size(), 15 + 1 + 2 + 2) << QStringList(seen.values()).join(QLatin1Char(' ')); // kinds, Output, states
    // Styles 2 and 6 express every network; the others skip only the states
    // they cannot express (baked channels, nested re-evaluations, uniform-free
    // builds), a minority.
    EXPECT_EQ(renderedBy.value(style(2)), networks);
    EXPECT_EQ(renderedBy.value(style(6)), networks);
    for (int n : {1, 3, 4, 5})
        EXPECT_GE(renderedBy.value(style(n)), networks / 2) << n;
}

// Hand-made states the random networks reach rarely, with the styles that
// must express each.
TEST(StylePictures, HandMadeStatesMatch)
{
    VrnTest::plugin();
    const struct { const char* file; QList<int> styles; } rows[] = {
        // In a bake, a left-out node's uniforms are not declared (Style 3's
        // main body still writes its code: it is in the table below).
        {"left-out/style3-left-out-node-in-bake", {1, 2, 4}},
        // The cache holds another value than the checker computes: every
        // style must read it at the shifted position, Style 1 included.
        {"re-evaluated-cache", {1, 2, 6}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const auto loaded = VrnTest::loadNetworkFile(VrnTest::dataPath(QStringLiteral("networks/%1.json").arg(QString::fromLatin1(row.file))));
        ASSERT_NE(loaded, nullptr);
        const QStringList rendered = expectSamePictures(loaded->loaded);
        for (int n : row.styles)
            EXPECT_TRUE(rendered.contains(style(n))) << n;
    }
    // Each parameter type reaches the code of Style 6 through its own slots and
    // the host's refresh of them: a value in the wrong slot or of the wrong width shows.
    const auto readers = VrnTest::loadNetworkFile(VrnTest::dataPath(QStringLiteral("networks/readers.json")));
    ASSERT_NE(readers, nullptr);
    EXPECT_TRUE(expectSamePictures(readers->loaded).contains(style(6)));
    // And the picture does depend on a value read from an int slot.
    const QImage before = render(style(6), readers->loaded);
    readers->network()->node(QStringLiteral("R"))->setUserAttribute(QStringLiteral("Count"), 9);
    EXPECT_GT(VrnRenderCompare::difference(before, render(style(6), readers->loaded)).maximum, kTolerance);
}

// Each reason the compare gives names a real difference: the style left out
// draws another picture there, or its text does not compile.
TEST(StylePictures, StylesLeftOutReallyDrawOtherPictures)
{
    VrnTest::plugin();
    // file: under networks/left-out; reason: the reason, or its start.
    const struct { int style; const char* file; const char* reason; } rows[] = {
        {4, "style4-nothing-declared", "no node declares a uniform"},
        {4, "style4-sampler1d", "node \"T\" declares \"uniform sampler1D T_Ramp;\""},
        {1, "style1-outputless-left-out-of-bake", "node \"Out\" is left out of the bake"},
        {3, "style3-left-out-node-in-bake",
         "node \"Rim\" is left out of the bake, but this style writes its code inline, which reads the uniform \"Rim_Color\" that its stub does not declare"},
        {5, "style5-gradient-without-atlas", "node \"G\" reads its gradient \"Ramp\", which has no atlas"},
        {5, "style5-nested-reevaluation",
         "node \"O1\" re-evaluates its input inside the re-evaluation of node \"O2\", which this style cannot nest"},
        {5, "style5-not-bakeable-in-bake", "node \"G\" is not bakeable, and this style runs its code in a bake"},
        {5, "style5-translucent-cache", "node \"K\" reads a translucent cache, which this style lays over opaque black"},
        {5, "style5-translucent-baked-channel",
         "bake point \"B\" reads a translucent baked channel, which this style lays over its background"},
        {5, "style5-cache-of-two-outputs", "node \"S\" reads its cache for 2 outputs, and this style's cache lookup writes one"},
        {6, "style6-sampler1d", "node \"G\" reads its sampler1D \"Ramp\", which this style does not declare"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        const auto loaded = VrnTest::loadNetworkFile(VrnTest::dataPath(QStringLiteral("networks/left-out/%1.json").arg(QString::fromLatin1(row.file))));
        ASSERT_NE(loaded, nullptr);
        VrnShaderNetwork* net = loaded->network();
        const QStringList& defines = loaded->loaded.defines;
        EXPECT_TRUE(VrnRenderCompare::notApplicableReason(style(row.style), net, defines).startsWith(QString::fromLatin1(row.reason)))
            << VrnRenderCompare::notApplicableReason(style(row.style), net, defines);
        EXPECT_EQ(VrnRenderCompare::notApplicableReason(style(2), net, defines), QString());
        // Style 1 where it expresses the network; Style 2 otherwise (it reads baked channels).
        const QString reference = VrnRenderCompare::notApplicableReason(style(1), net, defines).isEmpty() ? style(1) : style(2);
        QImage picture;
        QString error;
        if (VrnRenderCompare::renderWithGenerator(style(row.style), net, defines, kSize, picture, error))
            EXPECT_GT(VrnRenderCompare::difference(render(reference, loaded->loaded), picture).maximum, kTolerance);
        else
            EXPECT_TRUE(error.contains(QLatin1String("does not compile"))) << error;
    }
}

// The one place where Style 6 means something else: it lays a baked result
// over the bake background (transparent black in this host) by its alpha.
TEST(StylePictures, Style6ShowsATranslucentBakedChannelPremultiplied)
{
    VrnTest::plugin();
    const auto loaded = VrnTest::loadNetworkFile(VrnTest::dataPath(QStringLiteral("networks/left-out/style5-translucent-baked-channel.json")));
    ASSERT_NE(loaded, nullptr);
    EXPECT_NE(VrnRenderCompare::notApplicableReason(style(6), loaded->network()), QString());
    const QRgb centre = render(style(6), loaded->loaded).pixel(kSize / 2, kSize / 2);
    const int want[4] = {102, 77, 51, 128}; // (0.8, 0.6, 0.4) * 0.5 and the alpha 0.5
    const int got[4] = {qRed(centre), qGreen(centre), qBlue(centre), qAlpha(centre)};
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(std::abs(got[i] - want[i]), 1) << "channel " << i << ": " << got[i];
}
