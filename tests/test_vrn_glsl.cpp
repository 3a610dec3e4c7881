// vrn-glsl end to end: the program the README hands a newcomer.

#include "VrnTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

namespace {
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(VrnTest::toolPath(QStringLiteral("vrn-glsl")), arguments);
    ToolRun run;
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "vrn-glsl did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
} // namespace

TEST(VrnGlsl, DemoNetworkPrintsStyleOneTextPerShaderType)
{
    const ToolRun run = runTool({QStringLiteral("--style"), QStringLiteral("1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("// ---- fragment declarations ----\n")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("//--- Style 1 Node '/Demo/Out' ---\n")));
    // The cached node is read from its cache channel instead of being called.
    EXPECT_TRUE(run.out.contains(QStringLiteral("ShadeOutput = texture_lookup2(Cache_")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("Shadefunc(State,_State)")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("// ---- fragment body ----\n{\n    Finalfunc(State,_State); // Evaluating Node '/Demo/Final'\n")));

    const ToolRun again = runTool({});
    EXPECT_EQ(again.out, run.out) << "the default style is 1 and the text is the same in every run";
}

TEST(VrnGlsl, ListsRegisteredGeneratorsInRegistrationOrder)
{
    const ToolRun run = runTool({QStringLiteral("--list-generators")});
    ASSERT_EQ(run.exitCode, 0);
    const QStringList names = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(names.isEmpty());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(names.at(i), QStringLiteral("VrnSnGlslCodeGenerator_Style%1").arg(i + 1));
}

TEST(VrnGlsl, LogOptionPrintsThePluginLine)
{
    const ToolRun run = runTool({QStringLiteral("--log")});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("VrnPlugins/VrnShaderNetworkGlslContext/VrnShaderNetworkGlslContextPlugin:")));
    EXPECT_TRUE(run.err.contains(QStringLiteral(": [ Plugin ] Shader Network - GLSL Context\n")));
}

TEST(VrnGlsl, BadOptionsGiveOneMessageAndStatusTwo)
{
    const QString notAPlugin = VrnTest::toolPath(QStringLiteral("vrn-glsl"));
    const struct
    {
        QStringList arguments;
        const char* expected;
    } rows[] = {
        {{QStringLiteral("--style"), QStringLiteral("0")}, "unknown style"},
        {{QStringLiteral("--style"), QStringLiteral("7")}, "unknown style"},
        {{QStringLiteral("--style"), QStringLiteral("one")}, "unknown style"},
        {{QStringLiteral("--generator"), QStringLiteral("NoSuchGenerator")}, "no generator named \"NoSuchGenerator\""},
        {{QStringLiteral("--plugin"), QStringLiteral("/nonexistent/plugin.so")}, "no such plug-in file"},
        {{QStringLiteral("--plugin"), notAPlugin}, "not a plug-in of this application"},
        {{QStringLiteral("--no-such-option")}, "no-such-option"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const ToolRun run = runTool(row.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.expected))) << run.err.toStdString();
    }
}
