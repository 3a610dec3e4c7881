#pragma once

#include "VrnJoinedText.h"

#include <QString>
#include <QVarLengthArray>

#include <initializer_list>

// A template that chained arg calls fill with texts only, a node's own texts
// on each fill. The chain fills it once with a mark in each argument's place,
// and the template is kept as the pieces between the marks: a fill copies the
// pieces and the arguments with one growth of the text. That is the chain's
// text wherever the chain fills in one pass (no argument but the last holds a
// '%'); where an argument would be read again, the fill is the chain's.
class VrnTemplatePieces
{
public:
    VrnTemplatePieces(const QString& text, int arguments);

    void appendTo(QString& out, std::initializer_list<VrnJoinedText> arguments) const;

private:
    void appendByChain(QString& out, std::initializer_list<VrnJoinedText> arguments) const;

    struct Piece
    {
        int literalSize = 0;
        int argument = -1; // after the literal; none after the last piece
    };

    QString m_text;
    int m_arguments = 0;
    bool m_onePass = false;
    QString m_literals; // the pieces' literal texts, one after the other
    QVarLengthArray<Piece, 8> m_pieces;
};
