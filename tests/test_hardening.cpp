// What the tools promise across processes and under load: the same text
// whatever Qt's hash seed (the one determinism test: every style, every
// example), no encrypted source in any log line, one message and no crash for
// inputs too large or too deep to keep as files.

#include "VrnTestSupport.h"

namespace {
using VrnTest::ToolRun;

ToolRun runGlsl(const QStringList& arguments, const QByteArray& hashSeed = QByteArray(), int timeoutMs = 120000)
{
    return VrnTest::runTool(QStringLiteral("vrn-glsl"), arguments, hashSeed, timeoutMs);
}

QStringList registeredStyles()
{
    const ToolRun list = runGlsl({QStringLiteral("--list-generators")});
    QStringList styles;
    for (const QString& line : list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        styles.append(line.mid(line.lastIndexOf(QLatin1String("Style")) + 5));
    return styles;
}

} // namespace

TEST(Hardening, SameTextAndUniformsWhateverTheHashSeed)
{
    const QStringList styles = registeredStyles();
    ASSERT_FALSE(styles.isEmpty());
    int compared = 0;
    for (const QString& style : styles)
        for (const QString& file : VrnTest::exampleFiles()) {
            SCOPED_TRACE((style + QLatin1Char(' ') + file).toStdString());
            for (const char* form : {"source", "uniforms"}) {
                const QStringList arguments{QStringLiteral("--style"), style, QStringLiteral("--emit"), QString::fromLatin1(form), file};
                const ToolRun first = runGlsl(arguments, "0");
                if (first.exitCode != 0)
                    continue; // a style that cannot build the example says so elsewhere
                EXPECT_EQ(runGlsl(arguments, "97531").out, first.out) << "QT_HASH_SEED=97531 --emit " << form;
                ++compared;
            }
        }
    // Every example builds with Style 1 at least.
    EXPECT_GE(compared, 2 * int(VrnTest::exampleFiles().size()));
}

TEST(Hardening, EncryptedSourceNeverReachesALogLine)
{
    // The code of the encrypted kinds of the example, as their files hold it.
    const QStringList secrets{QStringLiteral("Output = #Input * 0.5 + vec4(0.25);"), QStringLiteral("kind Secret")};
    const QString file = QStringLiteral("%1/secret-recipe.json").arg(QString::fromUtf8(VRN_EXAMPLES_DIR));
    const QStringList styles = registeredStyles();
    ASSERT_FALSE(styles.isEmpty());
    for (const QString& style : styles) {
        SCOPED_TRACE(style.toStdString());
        const ToolRun log = runGlsl({QStringLiteral("--style"), style, QStringLiteral("--emit"), QStringLiteral("log"), file});
        ASSERT_EQ(log.exitCode, 0) << log.err.toStdString();
        for (const QString& secret : secrets) {
            EXPECT_FALSE(log.out.contains(secret)) << log.out.toStdString();
            EXPECT_FALSE(log.err.contains(secret));
        }
    }
}

TEST(Hardening, HugeAndDeepInputsGiveOneMessage)
{
    QTemporaryDir dir;
    const auto write = [&dir](const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return dir.filePath(name);
    };
    // 50 MB: a valid start and then nothing but an endless string.
    const QString huge = write(QStringLiteral("huge.json"), QByteArray("{\"format\": 1, \"name\": \"") + QByteArray(50 * 1024 * 1024, 'a'));
    const QString deep = write(QStringLiteral("deep.json"), QByteArray(100000, '[') + QByteArray(100000, ']'));

    for (const QString& file : {huge, deep}) {
        SCOPED_TRACE(file.toStdString());
        const ToolRun run = runGlsl({file});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QFileInfo(file).fileName())) << run.err.toStdString();
    }
}

TEST(Hardening, HundredThousandNodesBuildWithoutHarm)
{
    const ToolRun run = runGlsl({QStringLiteral("--random"), QStringLiteral("3"), QStringLiteral("--nodes"), QStringLiteral("100000"),
                                 QStringLiteral("--emit"), QStringLiteral("log")},
                                QByteArray(), 600000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}
