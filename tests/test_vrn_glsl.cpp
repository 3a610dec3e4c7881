// vrn-glsl end to end: the program the README hands a newcomer.

#include "VrnTestSupport.h"
#include "VrnToolSupport.h"

#include <QBuffer>

namespace {
using VrnTest::ToolRun;

ToolRun runTool(const QStringList& arguments)
{
    return VrnTest::runTool(QStringLiteral("vrn-glsl"), arguments, QByteArray(), 60000);
}
} // namespace

TEST(VrnGlsl, DemoNetworkGivesCompleteValidStages)
{
    const ToolRun run = runTool({QStringLiteral("--style"), QStringLiteral("1"), QStringLiteral("--validate")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("// ==== fragment stage ====\n#version 450 core\n")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("//--- Style 1 Node '/Demo/Out' ---\n")));
    // The cached node is read from its cache channel instead of being called.
    EXPECT_TRUE(run.out.contains(QStringLiteral("ShadeOutput = texture_lookup2(Cache_")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("Shadefunc(State,_State)")));

    const ToolRun again = runTool({});
    EXPECT_EQ(again.out, run.out) << "the default style is 1 and the text is the same in every run";
}

TEST(VrnGlsl, EmitFormsPrintTheGeneratorsTextsAlone)
{
    const ToolRun body = runTool({QStringLiteral("--emit"), QStringLiteral("body"), QStringLiteral("--stage"), QStringLiteral("fragment")});
    ASSERT_EQ(body.exitCode, 0) << body.err.toStdString();
    EXPECT_EQ(body.out, QStringLiteral("{\n    Finalfunc(State,_State); // Evaluating Node '/Demo/Final'\n\nVrnResult = FinalOutput;\n}\n"));

    const ToolRun declaration = runTool({QStringLiteral("--emit"), QStringLiteral("declaration")});
    ASSERT_EQ(declaration.exitCode, 0);
    EXPECT_TRUE(declaration.out.startsWith(QStringLiteral("// ==== fragment stage ====\n\n//=====================\n//--- Style 1 Node '/Demo/Base' ---\n")));
    EXPECT_FALSE(declaration.out.contains(QStringLiteral("#version")));

    const ToolRun log = runTool({QStringLiteral("--emit"), QStringLiteral("log")});
    ASSERT_EQ(log.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^VrnPlugins/VrnShaderNetworkGlslContext/VrnShaderNetworkGlslContextPlugin:[0-9]+: "
                                                  "\\[ Plugin \\] Shader Network - GLSL Context\n$"))
                    .match(log.out)
                    .hasMatch())
        << log.out.toStdString();

    const ToolRun uniforms = runTool({QStringLiteral("--emit"), QStringLiteral("uniforms")});
    ASSERT_EQ(uniforms.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(uniforms.out.toUtf8()).object();
    EXPECT_EQ(report.keys(), (QStringList{QStringLiteral("attributes"), QStringLiteral("blocks"), QStringLiteral("tessellation"), QStringLiteral("uniforms")}));
    const QJsonObject first = report.value(QStringLiteral("uniforms")).toArray().first().toObject();
    EXPECT_EQ(first.value(QStringLiteral("name")).toString(), QStringLiteral("Channel_Base.ChannelValues"));
    EXPECT_EQ(first.value(QStringLiteral("value")).toString(), QStringLiteral("Base"));
}

TEST(VrnGlsl, ListsRegisteredGeneratorsInRegistrationOrder)
{
    const ToolRun run = runTool({QStringLiteral("--list-generators")});
    ASSERT_EQ(run.exitCode, 0);
    const QStringList names = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(names.isEmpty());
    // In style order; a style not yet in the library leaves a gap.
    int previous = 0;
    for (const QString& name : names) {
        ASSERT_TRUE(name.startsWith(QStringLiteral("VrnSnGlslCodeGenerator_Style"))) << name.toStdString();
        const int style = name.mid(28).toInt();
        EXPECT_GT(style, previous) << name.toStdString();
        EXPECT_LE(style, 6);
        previous = style;
    }
}

TEST(VrnGlsl, BadOptionsGiveOneMessageAndStatusTwo)
{
    const QString notAPlugin = VrnTest::toolPath(QStringLiteral("vrn-glsl"));
    const struct { QStringList arguments; const char* expected; } rows[] = {
        {{QStringLiteral("--style"), QStringLiteral("0")}, "unknown style"}, {{QStringLiteral("--style"), QStringLiteral("7")}, "unknown style"},
        {{QStringLiteral("--style"), QStringLiteral("one")}, "unknown style"},
        {{QStringLiteral("--generator"), QStringLiteral("NoSuchGenerator")}, "no generator named \"NoSuchGenerator\""},
        {{QStringLiteral("--plugin"), QStringLiteral("/nonexistent/plugin.so")}, "no such plug-in file"},
        {{QStringLiteral("--plugin"), notAPlugin}, "not a plug-in of this application"}, {{QStringLiteral("--no-such-option")}, "no-such-option"},
        {{QStringLiteral("--stage"), QStringLiteral("vertex")}, "unknown stage \"vertex\""},
        {{QStringLiteral("--stage"), QStringLiteral("tess-eval")}, "the network has no tess-eval stage"},
        {{QStringLiteral("--emit"), QStringLiteral("pixels")}, "unknown --emit \"pixels\""},
        {{QStringLiteral("a.json"), QStringLiteral("b.json")}, "at most one network file"},
        {{QStringLiteral("/nonexistent/network.json")}, "/nonexistent/network.json"}, {{QString()}, "the network file name is empty"},
        {{QStringLiteral("-o"), QString()}, "-o is given an empty value"}, {{QStringLiteral("--node"), QString()}, "--node is given an empty value"},
        {{QStringLiteral("--nodes"), QStringLiteral("5")}, "--nodes is used only with --random"},
        {{QStringLiteral("--define"), QStringLiteral("main")}, "--define \"main\": it is a name of the host's shader code"},
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

// Command lines as a user types them, run by the shell from the repository
// root with the tools on PATH; $TMP is a fresh folder.
TEST(VrnGlsl, CommandLinesGiveTheirStatusAndOutput)
{
    const struct { const char* command; int status; const char* out; const char* err; } rows[] = {
        {"vrn-glsl examples/bake-point.json", 0, "#version",
         "note: VrnSnGlslCodeGenerator_Style1 does not express this network exactly: bake point \"Baked\""},
        {"echo '{\"format\":1,\"nodes\":[{\"id\":\"M\",\"kind\":\"Multiply\"},{\"id\":\"O\",\"kind\":\"Output\"}],"
         "\"connections\":[{\"from\":\"M.Output\",\"to\":\"O.Input\"}],\"root\":\"O\"}' | vrn-glsl --style 4 --validate -",
         1, "", "fragment stage does not compile (likely cause: no node declares a uniform, and its uniform block cannot be empty):"},
        {"echo '{\"format\":1,\"nodes\":[{\"id\":\"A\",\"kind\":\"AllTypes\"},{\"id\":\"O\",\"kind\":\"Output\"}],"
         "\"connections\":[{\"from\":\"A.Output\",\"to\":\"O.Input\"}],\"root\":\"O\"}' | vrn-glsl --style 4 --validate -",
         1, "", "(likely cause: node \"A\" declares \"uniform sampler1D A_Ramp;\", which its uniform block cannot hold):\n"
                "stdin: node \"A\" (kind AllTypes, declaration): 'A_Ramp' : member of block cannot be or contain a sampler"},
        {"vrn-glsl --stage fragment - < examples/lit-base.json", 0, "#version 450 core\n", ""},
        {"vrn-glsl -o $TMP/d examples/displaced-tiles.json && cat $TMP/d.tese $TMP/d.frag", 0, "layout(triangles", ""},
        {"vrn-glsl --list-kinds", 0, "Mix (stage all)\n    input A = vec4(0.0,0.0,0.0,1.0)\n", ""},
        {"vrn-glsl --emit uniforms examples/every-parameter.json", 0, "\"declared\": false,\n            \"name\": \"Settings_Text\"", ""},
        {"vrn-glsl --emit uniforms examples/cached-dirt.json", 0, "\"name\": \"Cache_6b5a06aeOutput_Dirty.ChannelValues\"", ""},
        {"vrn-glsl --style 5 --random 3 --nodes 3000 --emit uniforms", 1, "\"valid\": false", "too complex"},
        // Any node's output as the result, through a temporary terminal.
        {"vrn-glsl --node Wear.Depth --emit body --stage fragment examples/custom-kinds.json", 0, "VrnResult = WearDepth;", ""},
        {"vrn-glsl --node Wear.Nope examples/custom-kinds.json", 2, "", "--node: node \"Wear\" has no output \"Nope\" (its outputs: Lines, Depth)"},
        {"vrn-render --node Wear -o $TMP/n.png examples/custom-kinds.json && vrn-render -o $TMP/r.png examples/custom-kinds.json"
         " && cmp $TMP/n.png $TMP/r.png", 1, "differ", ""},
        // A compile error names the node, its kind and the line of the kind's glsl, in every style.
        {"for s in 1 2 3 4 5 6; do vrn-glsl --style $s --validate tests/data/kind-error.json; done 2>&1"
         " | grep -c '^tests/data/kind-error.json: node \"Dark\" (kind Tint, glsl line 2): .missingThing. : undeclared identifier$'",
         0, "6\n", ""},
        {"vrn-render --style 6 -o $TMP/x.png tests/data/kind-error.json", 1, "",
         "node \"Dark\" (kind Tint, glsl line 2): error: `missingThing' undeclared\n   103 | Output = c * GET_FLOAT(0) * missingThing;\n"},
        // A kind's code may define a macro that breaks the host's main (a file's own define may not).
        {"echo '{\"format\":1,\"kinds\":[{\"name\":\"Odd\",\"inputs\":[{\"name\":\"Input\"}],"
         "\"glsl\":\"VrnResult = #Input;\\n#define VrnResult 1.0\"}],\"nodes\":[{\"id\":\"O\",\"kind\":\"Odd\"}],\"root\":\"O\"}'"
         " | vrn-glsl --validate -", 1, "", "stdin: host code (main): "},
        {"sed 's/\"glsl\"/\"encrypted\": true, \"glsl\"/' tests/data/kind-error.json | vrn-glsl --validate -", 1, "",
         "stdin: node \"Dark\" (kind Tint, glsl line 2): 'missingThing' : undeclared identifier\n    72 | (encrypted kind)\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        const ToolRun run = VrnTest::runShell(QString::fromUtf8(row.command));
        EXPECT_EQ(run.exitCode, row.status) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(row.out))) << run.out.left(2000).toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.err))) << run.err.toStdString();
    }
}

// A chain of Multiply nodes after a Checker takes 6 elements of Style 5's
// uniform data per Multiply and 17 for the rest; a uniform buffer holds 4,096:
// 679 fit, 680 do not.
TEST(VrnGlsl, Style5RefusesANetworkTooLargeForTheUniformBufferFrom680Multiplies)
{
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    for (const int multiplies : {679, 680}) {
        SCOPED_TRACE(multiplies);
        QString nodes = QStringLiteral(R"({"id": "C", "kind": "Checker"}, {"id": "Out", "kind": "Output"})");
        QString connections, previous = QStringLiteral("C");
        for (int i = 0; i < multiplies; ++i) {
            nodes += QStringLiteral(R"(, {"id": "M%1", "kind": "Multiply"})").arg(i);
            connections += QStringLiteral(R"({"from": "%1.Output", "to": "M%2.A"}, )").arg(previous).arg(i);
            previous = QStringLiteral("M%1").arg(i);
        }
        const QString path = directory.filePath(QStringLiteral("chain.json"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"format": 1, "channels": [], "nodes": [%1], "connections": [%2{"from": "%3.Output", "to": "Out.Input"}], "root": "Out"})")
                       .arg(nodes, connections, previous)
                       .toUtf8());
        file.close();
        const ToolRun run = runTool({QStringLiteral("--style"), QStringLiteral("5"), path});
        EXPECT_EQ(run.exitCode, multiplies == 679 ? 0 : 1);
        EXPECT_EQ(run.err, multiplies == 679 ? QString()
                                             : QStringLiteral("vrn-glsl: Shader set-up is too complex to fit all data into maximum UBO size the video "
                                                              "card supports. Either reduce the complexity of shader, layer or node graph set-up OR "
                                                              "switch Preferences > GPU > Shader Compilation to Optimized or Legacy.\n"));
    }
}

TEST(VrnGlsl, LargeTextsAreWrittenPieceByPieceAsOneUtf8Text)
{
    // Past several pieces, with a surrogate pair across the first boundary.
    QString text(200000, QLatin1Char('a'));
    text[65535] = QChar(0xD83D);
    text[65536] = QChar(0xDE00);
    text[131071] = QChar(0x00E9);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(VrnToolSupport::writeText(buffer, text));
    EXPECT_EQ(buffer.data(), text.toUtf8());
}
