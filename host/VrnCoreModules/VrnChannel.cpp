#include "VrnChannel.h"

VrnChannel::VrnChannel(const QString& name, int uvTile, int width, int height, const QVector<float>& rgba, QObject* parent)
    : QObject(parent), m_name(name), m_uvTile(uvTile), m_width(width), m_height(height), m_pixels(rgba)
{
}

VrnChannel* VrnChannel::filled(const QString& name, int uvTile, int size, float r, float g, float b, float a, QObject* parent)
{
    QVector<float> pixels;
    pixels.reserve(size * size * 4);
    for (int i = 0; i < size * size; ++i)
        pixels << r << g << b << a;
    return new VrnChannel(name, uvTile, size, size, pixels, parent);
}
