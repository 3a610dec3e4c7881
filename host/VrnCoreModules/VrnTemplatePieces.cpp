#include "VrnTemplatePieces.h"

#include "VrnChainedArg.h"

namespace {
// Noncharacters, which no template holds: argument k's mark is kFirstMark + k.
const ushort kFirstMark = 0xFDD0;
const int kMarks = 32;
} // namespace

VrnTemplatePieces::VrnTemplatePieces(const QString& text, int arguments) : m_text(text), m_arguments(qBound(0, arguments, kMarks))
{
    VrnChainedArg chain(text);
    for (int k = 0; k < m_arguments; ++k)
        chain.arg(QString(QChar(ushort(kFirstMark + k))));
    // A template the chain cannot fill in one pass (a '%' that starts no
    // marker may become one with the digits of an argument) is always filled
    // by the chain.
    m_onePass = chain.fillsInOnePass();
    const QString filled = chain;
    Piece piece;
    for (const QChar c : filled) {
        const int argument = c.unicode() - kFirstMark;
        if (argument < 0 || argument >= m_arguments) {
            m_literals += c;
            ++piece.literalSize;
            continue;
        }
        piece.argument = argument;
        m_pieces.append(piece);
        piece = Piece();
    }
    m_pieces.append(piece);
}

void VrnTemplatePieces::appendTo(QString& out, std::initializer_list<VrnJoinedText> arguments) const
{
    const VrnJoinedText* const given = arguments.begin();
    const int count = int(arguments.size());
    if (!m_onePass || count != m_arguments) {
        appendByChain(out, arguments);
        return;
    }
    for (int k = 0; k + 1 < count; ++k)
        for (int i = 0; i < given[k].count(); ++i)
            if (vrnHasPercent(given[k].part(i))) {
                appendByChain(out, arguments);
                return;
            }
    int size = m_literals.size();
    for (const Piece& piece : m_pieces)
        if (piece.argument >= 0)
            size += given[piece.argument].size();
    const int start = out.size();
    out.resize(start + size);
    QChar* w = out.data() + start;
    const QChar* literal = m_literals.constData();
    for (const Piece& piece : m_pieces) {
        w = vrnCopyChars(literal, piece.literalSize, w);
        literal += piece.literalSize;
        if (piece.argument < 0)
            continue;
        w = given[piece.argument].copyTo(w);
    }
}

void VrnTemplatePieces::appendByChain(QString& out, std::initializer_list<VrnJoinedText> arguments) const
{
    VrnChainedArg chain(m_text);
    for (const VrnJoinedText& argument : arguments)
        chain.arg(argument.toString());
    chain.appendTo(out);
}
