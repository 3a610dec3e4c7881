#pragma once

#include "VrnAttributeValues.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

#include <vector>

class VrnSurfaceShader;

// The uniform data of one shader stage, uploaded as one std140 uniform block:
// three int arrays, a float array and a vec4 array, with the map that says
// where each node attribute lives and the uniforms to refresh every frame.
class VrnShaderUniformBlock : public QObject
{
    Q_OBJECT
public:
    using Key = QPair<QString, QString>;      // node uuid, attribute name
    using Location = QPair<int, int>;         // int array (0 to 2), index
    using LocationMap = QHash<Key, Location>;
    using EveryFrameMap = QHash<QString, Key>; // uniform name to its attribute

    // std140 gives every int, float and vec4 array element 16 bytes; 65,536 bytes is the usual limit.
    static constexpr int kMaximumBytes = 65536;
    static constexpr int kBytesPerElement = 16;

    explicit VrnShaderUniformBlock(const QString& name, QObject* parent = nullptr);
    VrnShaderUniformBlock(const QString& name, const QVector<int>& int0, const QVector<int>& int1, const QVector<int>& int2,
                          const LocationMap& locations, const EveryFrameMap& everyFrame, const QVector<float>& floats,
                          const QVector<Wm3::Vector4<float>>& vec4s, QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    QVector<int>& uniformIntArray0() { return m_int[0]; }
    QVector<int>& uniformIntArray1() { return m_int[1]; }
    QVector<int>& uniformIntArray2() { return m_int[2]; }
    QVector<float>& uniformFloatArray() { return m_floats; }
    QVector<Wm3::Vector4<float>>& uniformVec4Array() { return m_vec4s; }
    LocationMap& uniformLocationMap() { return m_locations; }
    EveryFrameMap& uniformsToUpdateEveryFrame() { return m_everyFrame; }
    const QVector<int>& intArray(int which) const { return m_int[which]; }
    const QVector<float>& floatArray() const { return m_floats; }
    const QVector<Wm3::Vector4<float>>& vec4Array() const { return m_vec4s; }
    const LocationMap& locationMap() const { return m_locations; }
    const EveryFrameMap& everyFrameMap() const { return m_everyFrame; }

    // Bytes the block takes in std140 layout.
    int byteSize() const;
    // False when the data exceed the uniform-buffer limit.
    bool isValid() const { return byteSize() <= kMaximumBytes; }

    // Writes the attribute's value where its location says: numbers, booleans,
    // enum and string-list indices, atlas gradients (row 0: this host's
    // atlas has one) and cube-map tokens of file lists into the int array, floats into the float array, vectors
    // and colours into the vec4 array. A bake point's "limitBakeBackground"
    // refreshed every frame stands for the background colour in a vec4 slot:
    // this host bakes without one, so the slot is transparent black. Channel
    // references and image lists cannot be resolved here (texture layers are
    // the renderer's), nor locator matrices inverted: they are kept for the
    // renderer to fill. False when the key has no location or the slot lies
    // outside its array.
    bool setShaderUniformBlockUniform(VrnSurfaceShader* surfaceShader, const QString& uuid, const QString& attributeName, const QVariant& value);
    // The same for every value of the map, in key order: the every-frame list
    // is read once for all of them instead of searched per bake background.
    void setShaderUniformBlockUniforms(VrnSurfaceShader* surfaceShader, const QMap<Key, QVariant>& values);
    // The same for the values of a hash, with the result of writing them in
    // key order as from a map (where two keys share a slot, the later key's
    // value stays).
    void setShaderUniformBlockUniforms(VrnSurfaceShader* surfaceShader, const QHash<Key, QVariant>& values);

    // (int array, index) of the first of three channel ints to the channel name.
    const QHash<Location, QString>& channelReferences() const { return m_channelReferences; }
    // (int array, index) of the first of four layer ints to the image list's channels.
    const QHash<Location, QStringList>& imageListReferences() const { return m_imageListReferences; }
    // Index of the first vec4 slot to the locator list: one slot for "vec3",
    // eight for "mat4x4" (the matrix's columns, then its inverse's).
    const QHash<int, VrnLocatorList>& locatorLists() const { return m_locatorLists; }
    // Every value handed to setShaderUniformBlockUniform, by key.
    const QHash<Key, QVariant>& values() const { return m_values; }

private:
    // The keys of the every-frame list for a run of writes. Only a bake
    // point's background switch asks, so only the keys of that attribute are
    // gathered, when the first write asks.
    class EveryFrameKeys
    {
    public:
        explicit EveryFrameKeys(const EveryFrameMap& map) : m_map(map) {}
        bool containsBackgroundSwitch(const Key& key);

    private:
        const EveryFrameMap& m_map;
        QSet<Key> m_keys;
        bool m_gathered = false;
    };

    // The slots that a run of writes has filled, a kept channel, image-list
    // or locator entry by the slot that is its key (the renderer resolves
    // those after every write). While no slot is filled twice, the order of
    // the writes cannot show in the block.
    class FilledSlots
    {
    public:
        enum Array { Ints0, Ints1, Ints2, Floats, Vec4s, ArrayCount };
        explicit FilledSlots(const VrnShaderUniformBlock& block);
        // count slots from index; a slot filled before, or one outside the array, is a clash.
        void fill(int array, int index, int count);
        bool clashed() const { return m_clashed; }

    private:
        std::vector<bool> m_filled[ArrayCount];
        bool m_clashed = false;
    };

    // Keeps the value among the block's values, then writes it.
    bool keepAndWrite(const Key& key, const QVariant& value, EveryFrameKeys* everyFrameKeys);
    // Writes where the key's location says (the caller keeps the value);
    // everyFrameKeys, when given, answers for the every-frame list; filled,
    // when given, is told the slots written.
    bool writeUniform(const Key& key, const QVariant& value, EveryFrameKeys* everyFrameKeys, FilledSlots* filled = nullptr);

    QString m_name;
    QVector<int> m_int[3];
    QVector<float> m_floats;
    QVector<Wm3::Vector4<float>> m_vec4s;
    LocationMap m_locations;
    EveryFrameMap m_everyFrame;
    QHash<Location, QString> m_channelReferences;
    QHash<Location, QStringList> m_imageListReferences;
    QHash<int, VrnLocatorList> m_locatorLists;
    QHash<Key, QVariant> m_values;
};
