#pragma once

#include <QImage>
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
} // namespace VrnRenderCompare
