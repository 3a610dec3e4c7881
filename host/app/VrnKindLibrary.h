#pragma once

#include "VrnSnNodeKind.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Reading JSON with one message per fault. Every reader names the place of
// the value it looks at ("nodes[3].id") in front of what is wrong with it, so
// that a caller only prefixes the file name.
namespace VrnJsonRead {
// "parent.key", or parent["key"] for a key that is no plain name; the key alone at the top.
QString place(const QString& parent, const QString& key);
// "parent[index]".
QString place(const QString& parent, int index);
// The text as a JSON string literal, shortened when it is long.
QString quote(const QString& text);
// "a string", "a number", "an array", ... for messages.
QString describe(const QJsonValue& value);
// Sets error to "place: what" and returns false.
bool fail(QString& error, const QString& place, const QString& what);

// Unknown keys and missing required keys are faults; the first one (in key order) is reported.
bool checkKeys(const QJsonObject& object, const QString& place, const QStringList& allowed, const QStringList& required,
               QString& error);
bool toObject(const QJsonValue& value, const QString& place, QJsonObject& out, QString& error);
bool toArray(const QJsonValue& value, const QString& place, QJsonArray& out, QString& error);
bool toString(const QJsonValue& value, const QString& place, QString& out, QString& error);
// A string that is not empty.
bool toName(const QJsonValue& value, const QString& place, QString& out, QString& error);
bool toBool(const QJsonValue& value, const QString& place, bool& out, QString& error);
// A whole number within [min, max].
bool toInt(const QJsonValue& value, const QString& place, int min, int max, int& out, QString& error);
// A finite number that fits a float.
bool toFloat(const QJsonValue& value, const QString& place, float& out, QString& error);
bool toDouble(const QJsonValue& value, const QString& place, double& out, QString& error);
bool toStringList(const QJsonValue& value, const QString& place, QStringList& out, QString& error);
// The most entries of a list whose entries are checked against each other
// (the inputs, outputs, parameters, re-evaluations and options of a kind, a
// node's tags, the defines): a longer one would make loading slow.
constexpr int kMaxListEntries = 256;
// An array, or an array of strings, of at most kMaxListEntries entries.
bool toShortArray(const QJsonValue& value, const QString& place, QJsonArray& out, QString& error);
bool toShortStringList(const QJsonValue& value, const QString& place, QStringList& out, QString& error);
// An array of exactly count floats.
bool toFloats(const QJsonValue& value, const QString& place, int count, QVector<float>& out, QString& error);
} // namespace VrnJsonRead

// Node kinds from JSON, in the form of a network file's "kinds" entries.
namespace VrnKindLibrary {
// Parameter type names of network files: bool, int, float, double, string,
// Vector2f, Vector3f, Vector4f, VrnColor, VrnUserEnum, VrnStringList,
// VrnChannelId, VrnFileList, VrnImageList, VrnGradient, VrnLocatorList.
const QStringList& parameterTypes();
// The type name of a host value; empty when the value has no JSON form.
QString parameterType(const QVariant& value);

// Converts the JSON form of a value of the type to the host value (a float
// parameter gives a QVariant of QMetaType::Float). For enums and string lists
// the options come from base, a value of the same type: the text must be one
// of them; without options a one-entry list is made. False, with
// "place: what", when the value does not fit the type.
bool parameterValue(const QString& type, const QJsonValue& json, const QString& place, QVariant& value, QString& error,
                    const QVariant& base = QVariant());

// One kind object. Null, with "place...: what", when it is malformed.
VrnSnNodeKindPtr parseKind(const QJsonValue& json, const QString& place, QString& error);
// An array of kind objects; names must be unique within it and must not be in
// taken. False, with the first fault, when any entry is malformed.
bool parseKinds(const QJsonValue& json, const QString& place, const QStringList& taken, QList<VrnSnNodeKindPtr>& kinds,
                QString& error);
} // namespace VrnKindLibrary
