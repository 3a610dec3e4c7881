#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

// A paint channel of one UV tile: a named RGBA float image.
class VrnChannel : public QObject
{
    Q_OBJECT
public:
    VrnChannel(const QString& name, int uvTile, int width, int height, const QVector<float>& rgba, QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    int uvTile() const { return m_uvTile; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // width * height * 4 floats, row by row from the bottom (texture order).
    const QVector<float>& pixels() const { return m_pixels; }

    // A channel of one colour.
    static VrnChannel* filled(const QString& name, int uvTile, int size, float r, float g, float b, float a, QObject* parent = nullptr);

private:
    QString m_name;
    int m_uvTile;
    int m_width;
    int m_height;
    QVector<float> m_pixels;
};

using VrnImageSetPtr = QPointer<VrnChannel>;
