// vrn-render end to end.

#include "VrnTestSupport.h"

#include "VrnGlslValidator.h"
#include "VrnNetworkLoader.h"
#include "VrnRandomNetwork.h"
#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnSurfaceShader.h"


#include <QImage>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

namespace {
using VrnTest::ToolRun;

ToolRun runRender(const QStringList& arguments)
{
    return VrnTest::runTool(QStringLiteral("vrn-render"), arguments);
}
} // namespace

TEST(VrnRender, WritesThePictureOfARandomNetwork)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("r.png"));
    const ToolRun run = runRender({QStringLiteral("--random"), QStringLiteral("5"), QStringLiteral("--nodes"), QStringLiteral("12"),
                                   QStringLiteral("--size"), QStringLiteral("96"), QStringLiteral("-o"), png});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage picture(png);
    EXPECT_EQ(picture.size(), QSize(96, 96));
    EXPECT_EQ(qRed(picture.pixel(0, 0)), 64) << "a corner is background";
}

TEST(VrnRender, CompareReportsEachStyleOrWhyItDoesNotApply)
{
    const ToolRun lit = runRender({QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("32"), VrnTest::examplePath(QStringLiteral("lit-base.json"))});
    ASSERT_EQ(lit.exitCode, 0) << lit.err.toStdString();
    EXPECT_TRUE(lit.out.startsWith(QStringLiteral("VrnSnGlslCodeGenerator_Style1: reference\n"))) << lit.out.toStdString();

    const ToolRun baked = runRender({QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("32"), VrnTest::examplePath(QStringLiteral("bake-point.json"))});
    EXPECT_TRUE(baked.out.contains(QStringLiteral("VrnSnGlslCodeGenerator_Style1: not applicable: bake point")))
        << baked.out.toStdString();
}

TEST(VrnRender, BadOptionsGiveOneMessageAndStatusTwo)
{
    const struct
    {
        QStringList arguments;
        const char* expected;
    } rows[] = {
        {{QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("0")}, "--size must be a number"},
        {{QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("big")}, "--size must be a number"},
        {{QStringLiteral("--compare"), QStringLiteral("--tolerance"), QStringLiteral("300")}, "--tolerance must be a number"},
        {{QStringLiteral("--compare"), QStringLiteral("--random"), QStringLiteral("x")}, "--random needs a whole number seed"},
        {{QStringLiteral("--compare"), QStringLiteral("--nodes"), QStringLiteral("0")}, "--nodes must be a number"},
        {{QStringLiteral("--style"), QStringLiteral("9"), QStringLiteral("--compare")}, "unknown style"},
        {{}, "give -o FILE"},
        {{QStringLiteral("--compare"), QStringLiteral("--random"), QStringLiteral("1"), QStringLiteral("a.json")}, "give one network"},
        {{QStringLiteral("--compare"), QStringLiteral("/nonexistent.json")}, "/nonexistent.json"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const ToolRun run = runRender(row.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.expected))) << run.err.toStdString();
    }
}
