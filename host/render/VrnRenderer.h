#pragma once

#include <QImage>
#include <QString>

class VrnShaderNetwork;
class VrnSurfaceShader;

// What one picture needs: the assembled fragment stage, the network whose
// contexts name the uniforms and whose shading context holds the channels,
// and the surface shader with the uniform blocks of the build.
struct VrnRenderJob
{
    QString fragmentSource;
    VrnShaderNetwork* network = nullptr;
    VrnSurfaceShader* surfaceShader = nullptr;
    int size = 256;
};

namespace VrnRenderer {
// The colour of pixels off the sphere (RGBA, 0 to 255).
constexpr unsigned char kBackground[4] = {64, 64, 64, 255};
constexpr int kMaximumSize = 4096;
// The texels of one network's channel texture array (every layer at the size
// of the largest channel of the tile): four layers of 2048 x 2048.
constexpr qint64 kMaximumChannelTexels = qint64(4) * 2048 * 2048;

// Draws the fragment stage on a unit sphere seen head-on into a size x size
// RGBA picture (top row first). Every sphere pixel is the network's result as
// it is. False, with the compiler's or GL's message, when the stage does not
// compile or link or GL reports an error.
bool render(const VrnRenderJob& job, QImage& picture, QString& error);

// Linked programs are kept by the hash of their source text: a rebuild that
// gives the same text draws without compiling. How many programs were
// compiled and linked since start-up:
int compileCount();
} // namespace VrnRenderer
