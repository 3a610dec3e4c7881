// vrn-render end to end.

#include "VrnTestSupport.h"

#include <QImage>
#include <QSaveFile>

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

    // Code that compiles in no style: each failure is reported and the next style still runs.
    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral("broken.json")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(R"({"format": 1, "kinds": [{"name": "Broken", "outputs": ["Output"], "glsl": "Output = nonsense;"}],
                    "nodes": [{"id": "B", "kind": "Broken"}, {"id": "Out", "kind": "Output"}],
                    "connections": [{"from": "B.Output", "to": "Out.Input"}], "root": "Out"})");
    broken.close();
    const ToolRun failing = runRender({QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("8"), broken.fileName()});
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_EQ(failing.out.count(QStringLiteral(": failed: ")) + failing.out.count(QStringLiteral(": not applicable: ")),
              failing.out.count(QRegularExpression(QStringLiteral("^VrnSnGlslCodeGenerator_Style"), QRegularExpression::MultilineOption)));
    EXPECT_TRUE(failing.out.contains(QStringLiteral("VrnSnGlslCodeGenerator_Style6: failed: "))) << failing.out.toStdString();
}

TEST(VrnRender, BadOptionsGiveOneMessageAndStatusTwo)
{
    const struct { QStringList arguments; const char* expected; } rows[] = {
        {{QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("0")}, "--size must be a number"},
        {{QStringLiteral("--compare"), QStringLiteral("--size"), QStringLiteral("big")}, "--size must be a number"},
        {{QStringLiteral("--compare"), QStringLiteral("--tolerance"), QStringLiteral("300")}, "--tolerance must be a number"},
        {{QStringLiteral("--compare"), QStringLiteral("--random"), QStringLiteral("x")}, "--random needs a whole number seed"},
        {{QStringLiteral("--compare"), QStringLiteral("--nodes"), QStringLiteral("0")}, "--nodes must be a number"},
        {{QStringLiteral("--style"), QStringLiteral("9"), QStringLiteral("--compare")}, "unknown style"}, {{}, "give -o FILE"},
        {{QStringLiteral("--compare"), QStringLiteral("--random"), QStringLiteral("1"), QStringLiteral("a.json")}, "give one network"},
        {{QStringLiteral("--compare"), QStringLiteral("/nonexistent.json")}, "/nonexistent.json"},
        {{QStringLiteral("--compare"), QString()}, "the network file name is empty"},
        {{QStringLiteral("--compare"), QStringLiteral("--nodes"), QStringLiteral("5")}, "--nodes is used only with --random"},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--tolerance"), QStringLiteral("3")}, "--tolerance is used only with --compare"},
        {{QStringLiteral("-o"), QStringLiteral("x.jpg")}, "\"x.jpg\": only .png files are written"},
        {{QStringLiteral("-o"), QStringLiteral("/nonexistent/x.png")}, "cannot write the file: there is no directory \"/nonexistent\""},
        {{QStringLiteral("--watch"), QStringLiteral("-o"), QStringLiteral("x.png")}, "--watch needs one network file and -o FILE"},
        {{QStringLiteral("--reloads"), QStringLiteral("2"), QStringLiteral("--compare")}, "--reloads needs --watch"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const ToolRun run = runRender(row.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.expected))) << run.err.toStdString();
    }
}

// A live preview through a scripted sequence of edits: a value edit draws
// from the program cache, a broken edit is reported in the network's terms
// without leaving the loop, and the fixed code compiles again.
TEST(VrnRender, WatchRendersEachEditOfTheFile)
{
    QTemporaryDir dir;
    const QString network = dir.filePath(QStringLiteral("n.json"));
    const QString png = dir.filePath(QStringLiteral("n.png"));
    QFile::copy(VrnTest::examplePath(QStringLiteral("custom-kinds.json")), network);
    const struct { const char* from; const char* to; const char* line; } edits[] = {
        {"", "", "reload 0: load "},
        {"\"Amount\": 1.3", "\"Amount\": 1.5", "reload 1: load "},
        {"#Input.a);", "#Input.a) * oops;", "reload 2: failed"},
        {"* oops;", "* 0.5;", "reload 3: load "},
    };
    QProcess process;
    process.start(VrnTest::toolPath(QStringLiteral("vrn-render")), {QStringLiteral("--watch"), QStringLiteral("--reloads"), QStringLiteral("3"),
                                                                      QStringLiteral("--size"), QStringLiteral("32"), QStringLiteral("-o"), png, network});
    QString out;
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.line);
        if (*edit.from) {
            QFile file(network);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll().replace(edit.from, edit.to);
            file.close();
            QSaveFile edited(network); // written whole, as editors do
            ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
            edited.write(text);
            ASSERT_TRUE(edited.commit());
        }
        while (!out.contains(QString::fromUtf8(edit.line)) && process.waitForReadyRead(60000))
            out += QString::fromUtf8(process.readAllStandardOutput());
        ASSERT_TRUE(out.contains(QString::fromUtf8(edit.line))) << out.toStdString();
    }
    ASSERT_TRUE(process.waitForFinished(60000));
    out += QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitCode(), 0);
    const auto line = [&out](const QString& start) { return out.section(start, 1).section(QLatin1Char('\n'), 0, 0); };
    EXPECT_TRUE(line(QStringLiteral("reload 1:")).contains(QStringLiteral("cache hit"))) << out.toStdString();
    EXPECT_TRUE(line(QStringLiteral("reload 3:")).contains(QStringLiteral(", compile "))) << out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("node \"Punchy\" (kind Contrast, glsl line 1): error: `oops' undeclared")));
    EXPECT_EQ(QImage(png).size(), QSize(32, 32));
}
