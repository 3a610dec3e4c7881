#pragma once

#include "VrnSnNodeKind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QObject;
class VrnShaderNetwork;

// A network read from a file, with what the file says about the build around it.
struct VrnLoadedNetwork
{
    VrnShaderNetwork* network = nullptr; // owned by the parent given to the loader (the caller's without one)
    QString fileLabel;                   // the file as the loader's messages name it
    QStringList defines;                 // the file's shader defines; see applyDefines()
    int currentUv = 1001;
    QString currentChannel;              // empty when the file names none
    QList<VrnSnNodeKindPtr> fileKinds;   // the kinds the file adds, in file order

    // Makes the file's defines the host's shader defines.
    void applyDefines() const;
};

// Reads network files. On success the network is complete: channels in its
// shading context (current tile set), nodes with their attributes, tags,
// cache and bake state, connections and root; the project's current channel is
// the file's (none when it names none), and kinds of the file with a path key
// are registered with the network manager.
//
// On failure nothing is created, out is left as it was and error holds one
// line "FILE: PLACE: what is wrong", FILE being the path or label as given.
namespace VrnNetworkLoader {
// Larger files are refused unread.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

bool loadFile(const QString& path, QObject* parent, VrnLoadedNetwork& out, QString& error);
// fileLabel names the data in messages; image paths are relative to baseDirectory.
bool loadData(const QByteArray& json, const QString& fileLabel, const QString& baseDirectory, QObject* parent,
              VrnLoadedNetwork& out, QString& error);

// Node ids become parts of GLSL identifiers: letters and digits, starting with a letter.
bool isValidNodeId(const QString& id);
// A connection's end, "node.point", split at the first dot; false when either part is empty.
bool splitEndpoint(const QString& text, QString& nodeId, QString& point);
} // namespace VrnNetworkLoader
