#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>
#include <mutex>

// A paint channel of one UV tile: a named RGBA float image. Its texels may be
// made on first use, so that a program that never draws never holds them.
class VrnChannel : public QObject
{
    Q_OBJECT
public:
    // Makes the width * height * 4 floats; an empty result reads as a channel without texels.
    using TexelSource = std::function<QVector<float>()>;

    VrnChannel(const QString& name, int uvTile, int width, int height, const QVector<float>& rgba, QObject* parent = nullptr);
    VrnChannel(const QString& name, int uvTile, int width, int height, TexelSource source, QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    int uvTile() const { return m_uvTile; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // width * height * 4 floats, row by row from the bottom (texture order).
    // Made by the texel source on the first call.
    const QVector<float>& pixels() const;

    // A channel of one colour.
    static VrnChannel* filled(const QString& name, int uvTile, int size, float r, float g, float b, float a, QObject* parent = nullptr);

private:
    QString m_name;
    int m_uvTile;
    int m_width;
    int m_height;
    mutable TexelSource m_source;
    mutable std::once_flag m_made;
    mutable QVector<float> m_pixels;
};

using VrnImageSetPtr = QPointer<VrnChannel>;
