#pragma once

#include <QByteArray>
#include <QString>

namespace VrnFuzz {
// Makes the application object, silences the log and loads the plug-in, once.
void initialise();
// Loads the network text and, when it is accepted, builds and assembles it
// with every registered generator. Returns whether the file was accepted.
bool buildEveryStyle(const QByteArray& json, const QString& label);
} // namespace VrnFuzz
