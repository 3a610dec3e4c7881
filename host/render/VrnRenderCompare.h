#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class VrnShaderNetwork;

// Rendering a network through a named generator, and comparing pictures.
namespace VrnRenderCompare {
struct Difference
{
    int maximum = 0;         // largest per-channel difference, 0 to 255
    int differingPixels = 0; // pixels with any channel differing
};

// Builds the network with the generator, assembles the fragment stage and
// renders it. False with the reason when any step fails.
bool renderWithGenerator(const QString& generatorName, VrnShaderNetwork* network, const QStringList& defines, int size,
                         QImage& picture, QString& error);

// Why the generator cannot express the network built with the shader
// defines; empty when it can. Without defines, the host's current ones.
QString notApplicableReason(const QString& generatorName, VrnShaderNetwork* network, const QStringList& defines);
QString notApplicableReason(const QString& generatorName, VrnShaderNetwork* network);

// Pictures of different sizes differ everywhere.
Difference difference(const QImage& a, const QImage& b);

// One style's part in a comparison of every style.
struct StyleResult
{
    QString generatorName;
    QString notApplicable; // why the style cannot express the network; empty when it can
    QString failure;       // why a style that applies was not rendered
    bool reference = false; // the first style rendered, which the others are compared with
    Difference difference;
};
// Renders the network with each generator in turn and compares every picture
// with the first one rendered, which goes to referencePicture. A style that
// does not apply or that fails is reported, and the others still run.
QList<StyleResult> compareStyles(const QStringList& generatorNames, VrnShaderNetwork* network, const QStringList& defines, int size,
                                 QImage& referencePicture);
} // namespace VrnRenderCompare
