// Every command the docs show runs as written.

#include "VrnTestSupport.h"

namespace {
// output: what the doc shows it printing; null when it shows nothing.
struct DocumentedCommand { QString where; QString command; QString output; };

// The lines of ```sh blocks, and the "$ " line of any other block, whose
// output is then the rest of the block. Lines of scripts/ are left out (they
// install packages and build), and so are lines with a placeholder path.
QList<DocumentedCommand> documentedCommands(const QString& file)
{
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    static const QRegularExpression comment(QStringLiteral("\\s+#\\s.*$"));
    QList<DocumentedCommand> commands;
    QString fence;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const QString where = QStringLiteral("%1:%2").arg(QFileInfo(file).fileName()).arg(i + 1);
        if (line.startsWith(QLatin1String("```"))) {
            fence = fence.isNull() ? line.mid(3) + QLatin1String("") : QString(); // "" for a block without a language
            continue;
        }
        if (fence == QLatin1String("sh") && !line.trimmed().isEmpty() && !line.startsWith(QLatin1String("scripts/"))
            && !line.contains(QLatin1String("/path/to/")))
            commands.append({where, QString(line).remove(comment), QString()});
        if (!fence.isNull() && fence != QLatin1String("sh") && line.startsWith(QLatin1String("$ "))) {
            DocumentedCommand c{where, line.mid(2), QLatin1String("")};
            for (++i; !lines.at(i).startsWith(QLatin1String("```")); ++i)
                c.output += lines.at(i) + QLatin1Char('\n');
            --i;
            commands.append(c);
        }
    }
    return commands;
}
} // namespace

// Run in a folder that holds what the docs assume: the example network of
// network-format.md as net.json (with its image), examples/ and build/tools/.
TEST(Docs, EveryDocumentedCommandRunsAsWritten)
{
    const QString setUp = QStringLiteral(
        "R=$PWD; cd $TMP && ln -s $R/examples examples && mkdir build && ln -s \"$(dirname \"$(command -v vrn-glsl)\")\" build/tools"
        " && cp examples/rust-spots.png . && awk '/^```json/{f=1;next} /^```/{if(f)exit} f' $R/docs/network-format.md > net.json && ");
    const QDir root(QStringLiteral(VRN_EXAMPLES_DIR "/.."));
    QStringList files{root.filePath(QStringLiteral("README.md"))};
    for (const QString& doc : QDir(root.filePath(QStringLiteral("docs"))).entryList({QStringLiteral("*.md")}))
        files.append(root.filePath(QStringLiteral("docs/") + doc));
    int count = 0;
    for (const QString& file : files)
        for (const DocumentedCommand& c : documentedCommands(file)) {
            SCOPED_TRACE((c.where + QStringLiteral(": ") + c.command).toStdString());
            const VrnTest::ToolRun run = VrnTest::runShell(setUp + c.command);
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            if (!c.output.isNull()) {
                EXPECT_EQ(run.out, c.output);
            }
            ++count;
        }
    EXPECT_GE(count, 15) << "the docs' commands were not found";
}
