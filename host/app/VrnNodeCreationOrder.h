#pragma once

#include "VrnSnNodeKind.h"

#include <QJsonArray>
#include <QMap>
#include <QString>
#include <QVector>

// The order in which a loader makes the nodes of a network file: the order in
// which a build's walk from the root meets them (producers before the nodes
// that read them, inputs in the kind's order), then the nodes that walk does
// not meet, in file order. Objects made one after another lie together in
// memory, so every pass of a build over a large network reads it front to
// back instead of jumping across it.
//
// Read from the file before anything is checked: entries that are not what
// the loader expects are passed over, and the order is then the file's
// wherever they leave it undecided. Every index of nodes comes once.
namespace VrnNodeCreationOrder {
QVector<int> of(const QJsonArray& nodes, const QJsonArray& connections, const QString& rootId,
                const QMap<QString, VrnSnNodeKindPtr>& kinds);
} // namespace VrnNodeCreationOrder
