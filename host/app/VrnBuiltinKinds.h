#pragma once

#include "VrnSnNodeKind.h"

#include <QMap>
#include <QString>

// The node kinds the application ships with, by name.
namespace VrnBuiltinKinds {
const QMap<QString, VrnSnNodeKindPtr>& all();
VrnSnNodeKindPtr kind(const QString& name);
} // namespace VrnBuiltinKinds
