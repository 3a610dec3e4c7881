#include "VrnChannel.h"

VrnChannel::VrnChannel(const QString& name, int uvTile, int width, int height, const QVector<float>& rgba, QObject* parent)
    : QObject(parent), m_name(name), m_uvTile(uvTile), m_width(width), m_height(height), m_pixels(rgba)
{
    std::call_once(m_made, [] {});
}

VrnChannel::VrnChannel(const QString& name, int uvTile, int width, int height, TexelSource source, QObject* parent)
    : QObject(parent), m_name(name), m_uvTile(uvTile), m_width(width), m_height(height), m_source(std::move(source))
{
}

const QVector<float>& VrnChannel::pixels() const
{
    std::call_once(m_made, [this] {
        if (m_source)
            m_pixels = m_source();
        m_source = nullptr;
    });
    return m_pixels;
}

VrnChannel* VrnChannel::filled(const QString& name, int uvTile, int size, float r, float g, float b, float a, QObject* parent)
{
    return new VrnChannel(name, uvTile, size, size, TexelSource([size, r, g, b, a] {
        QVector<float> pixels;
        pixels.reserve(size * size * 4);
        for (int i = 0; i < size * size; ++i)
            pixels << r << g << b << a;
        return pixels;
    }), parent);
}
