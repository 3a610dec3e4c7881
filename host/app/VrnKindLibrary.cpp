#include "VrnKindLibrary.h"

#include "VrnAttributeValues.h"
#include "VrnGlslNames.h"
#include "VrnParameterTypes.h"

#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <cfloat>
#include <climits>
#include <cmath>

// ---------------------------------------------------------------------------
// VrnJsonRead

namespace {
// Longer values are shortened in messages, which would be swamped otherwise.
constexpr int kMaxShownLength = 64;

bool isPlainKey(const QString& key)
{
    static const QRegularExpression plain(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*")));
    return plain.match(key).hasMatch();
}
} // namespace

QString VrnJsonRead::place(const QString& parent, const QString& key)
{
    // A long key is quoted, and so shortened, like any long value.
    if (!isPlainKey(key) || key.size() > kMaxShownLength)
        return parent + QLatin1Char('[') + quote(key) + QLatin1Char(']');
    return parent.isEmpty() ? key : parent + QLatin1Char('.') + key;
}

QString VrnJsonRead::place(const QString& parent, int index)
{
    return QStringLiteral("%1[%2]").arg(parent).arg(index);
}

QString VrnJsonRead::quote(const QString& text)
{
    const QString shown = text.size() > kMaxShownLength ? text.left(kMaxShownLength) + QStringLiteral("...") : text;
    // QJsonDocument escapes quotes and control characters the JSON way.
    const QByteArray array = QJsonDocument(QJsonArray{shown}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString VrnJsonRead::describe(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("a boolean");
    case QJsonValue::Double: return QStringLiteral("a number");
    case QJsonValue::String: return QStringLiteral("a string");
    case QJsonValue::Array: return QStringLiteral("an array");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("nothing");
}

bool VrnJsonRead::fail(QString& error, const QString& place, const QString& what)
{
    error = place.isEmpty() ? what : place + QStringLiteral(": ") + what;
    return false;
}

bool VrnJsonRead::checkKeys(const QJsonObject& object, const QString& parent, const QStringList& allowed,
                            const QStringList& required, QString& error)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        if (!allowed.contains(it.key()))
            return fail(error, place(parent, it.key()), QStringLiteral("unknown key"));
    for (const QString& key : required)
        if (!object.contains(key))
            return fail(error, place(parent, key), QStringLiteral("required key is missing"));
    return true;
}

namespace {
bool expected(QString& error, const QString& place, const QString& what, const QJsonValue& got)
{
    return VrnJsonRead::fail(error, place, QStringLiteral("expected %1, got %2").arg(what, VrnJsonRead::describe(got)));
}

QString numberText(double d)
{
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}
} // namespace

bool VrnJsonRead::toObject(const QJsonValue& value, const QString& place, QJsonObject& out, QString& error)
{
    if (!value.isObject())
        return expected(error, place, QStringLiteral("an object"), value);
    out = value.toObject();
    return true;
}

bool VrnJsonRead::toArray(const QJsonValue& value, const QString& place, QJsonArray& out, QString& error)
{
    if (!value.isArray())
        return expected(error, place, QStringLiteral("an array"), value);
    out = value.toArray();
    return true;
}

bool VrnJsonRead::toShortArray(const QJsonValue& value, const QString& place, QJsonArray& out, QString& error)
{
    if (!toArray(value, place, out, error))
        return false;
    if (out.size() > kMaxListEntries)
        return fail(error, place, QStringLiteral("the list has %1 entries, more than %2, the limit of one list").arg(out.size()).arg(kMaxListEntries));
    return true;
}

bool VrnJsonRead::toShortStringList(const QJsonValue& value, const QString& place, QStringList& out, QString& error)
{
    QJsonArray array;
    return toShortArray(value, place, array, error) && toStringList(array, place, out, error);
}

bool VrnJsonRead::toString(const QJsonValue& value, const QString& place, QString& out, QString& error)
{
    if (!value.isString())
        return expected(error, place, QStringLiteral("a string"), value);
    out = value.toString();
    return true;
}

bool VrnJsonRead::toName(const QJsonValue& value, const QString& place, QString& out, QString& error)
{
    if (!toString(value, place, out, error))
        return false;
    if (out.isEmpty())
        return fail(error, place, QStringLiteral("must not be empty"));
    return true;
}

bool VrnJsonRead::toBool(const QJsonValue& value, const QString& place, bool& out, QString& error)
{
    if (!value.isBool())
        return expected(error, place, QStringLiteral("true or false"), value);
    out = value.toBool();
    return true;
}

bool VrnJsonRead::toInt(const QJsonValue& value, const QString& place, int min, int max, int& out, QString& error)
{
    if (!value.isDouble())
        return expected(error, place, QStringLiteral("a whole number"), value);
    const double d = value.toDouble();
    if (!std::isfinite(d) || std::floor(d) != d)
        return fail(error, place, QStringLiteral("%1 is not a whole number").arg(numberText(d)));
    if (d < double(min) || d > double(max))
        return fail(error, place, QStringLiteral("%1 is not in the range %2 to %3").arg(numberText(d)).arg(min).arg(max));
    out = int(d);
    return true;
}

bool VrnJsonRead::toDouble(const QJsonValue& value, const QString& place, double& out, QString& error)
{
    if (!value.isDouble())
        return expected(error, place, QStringLiteral("a number"), value);
    const double d = value.toDouble();
    if (!std::isfinite(d))
        return fail(error, place, QStringLiteral("the number is not finite"));
    out = d;
    return true;
}

bool VrnJsonRead::toFloat(const QJsonValue& value, const QString& place, float& out, QString& error)
{
    double d = 0;
    if (!toDouble(value, place, d, error))
        return false;
    if (std::fabs(d) > double(FLT_MAX))
        return fail(error, place, QStringLiteral("%1 does not fit a float").arg(numberText(d)));
    out = float(d);
    return true;
}

bool VrnJsonRead::toStringList(const QJsonValue& value, const QString& parent, QStringList& out, QString& error)
{
    QJsonArray array;
    if (!toArray(value, parent, array, error))
        return false;
    QStringList result;
    for (int i = 0; i < array.size(); ++i) {
        QString s;
        if (!toString(array.at(i), place(parent, i), s, error))
            return false;
        result.append(s);
    }
    out = result;
    return true;
}

bool VrnJsonRead::toFloats(const QJsonValue& value, const QString& parent, int count, QVector<float>& out, QString& error)
{
    QJsonArray array;
    if (!toArray(value, parent, array, error))
        return false;
    if (array.size() != count)
        return fail(error, parent, QStringLiteral("expected %1 numbers, got %2").arg(count).arg(array.size()));
    QVector<float> result(count);
    for (int i = 0; i < count; ++i)
        if (!toFloat(array.at(i), place(parent, i), result[i], error))
            return false;
    out = result;
    return true;
}

// ---------------------------------------------------------------------------
// VrnKindLibrary

using namespace VrnJsonRead;

namespace {

// Input, output and parameter names become parts of GLSL identifiers.
bool isIdentifier(const QString& name)
{
    static const QRegularExpression identifier(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z][A-Za-z0-9_]*")));
    return identifier.match(name).hasMatch();
}

// Output names are declared as they are (local variables); input and
// parameter names only become parts of longer names.
enum class NameUse { Declared, Part };

bool toIdentifier(const QJsonValue& value, const QString& place, QString& out, QString& error, NameUse use)
{
    if (!toString(value, place, out, error))
        return false;
    if (!isIdentifier(out))
        return fail(error, place, QStringLiteral("%1 is not a valid name (letters, digits and _, starting with a letter)").arg(quote(out)));
    const QString fault = use == NameUse::Declared ? VrnGlslNames::fault(out) : VrnGlslNames::partFault(out);
    if (!fault.isEmpty())
        return fail(error, place, QStringLiteral("%1 is %2").arg(quote(out), fault));
    return true;
}

// The meta type of a type name's values; UnknownType for a name that is no type.
int metaTypeNamed(const QString& type)
{
    const VrnParameterType* row = VrnParameterTypes::named(type);
    return row ? row->metaType : int(QMetaType::UnknownType);
}

// The value a parameter has when its kind gives no default.
QVariant zeroValue(const QString& type)
{
    const VrnParameterType* row = VrnParameterTypes::named(type);
    return row ? row->zero : QVariant();
}

bool optionIndex(const QStringList& options, const QString& text, const QString& place, int& index, QString& error)
{
    index = options.indexOf(text);
    if (index >= 0)
        return true;
    QStringList quoted;
    for (const QString& o : options)
        quoted.append(quote(o));
    return fail(error, place, QStringLiteral("%1 is not one of the options %2").arg(quote(text), quoted.join(QStringLiteral(", "))));
}
} // namespace

const QStringList& VrnKindLibrary::parameterTypes()
{
    static const QStringList names = [] {
        QStringList list;
        for (const VrnParameterType& type : VrnParameterTypes::all())
            list.append(type.name);
        return list;
    }();
    return names;
}

QString VrnKindLibrary::parameterType(const QVariant& value)
{
    const VrnParameterType* row = VrnParameterTypes::ofValue(value);
    return row ? row->name : QString();
}

bool VrnKindLibrary::parameterValue(const QString& type, const QJsonValue& json, const QString& where, QVariant& value,
                                    QString& error, const QVariant& base)
{
    const VrnAttributeMetaTypes& m = vrnAttributeMetaTypes();
    const int t = metaTypeNamed(type);
    if (t == QMetaType::Bool) {
        bool b = false;
        if (!toBool(json, where, b, error))
            return false;
        value = QVariant(b);
        return true;
    }
    if (t == QMetaType::Int) {
        int i = 0;
        if (!toInt(json, where, INT_MIN, INT_MAX, i, error))
            return false;
        value = QVariant(i);
        return true;
    }
    if (t == QMetaType::Float) {
        float f = 0;
        if (!toFloat(json, where, f, error))
            return false;
        value = QVariant(f);
        return true;
    }
    if (t == QMetaType::Double) {
        double d = 0;
        if (!toDouble(json, where, d, error))
            return false;
        value = QVariant(d);
        return true;
    }
    if (t == QMetaType::QString) {
        QString s;
        if (!toString(json, where, s, error))
            return false;
        value = QVariant(s);
        return true;
    }
    if (t == m.vector2f || t == m.vector3f || t == m.vector4f || t == m.color) {
        const int count = t == m.vector2f ? 2 : t == m.vector3f ? 3 : 4;
        QVector<float> f;
        if (!toFloats(json, where, count, f, error))
            return false;
        if (t == m.vector2f) value = QVariant::fromValue(Vector2f(f[0], f[1]));
        else if (t == m.vector3f) value = QVariant::fromValue(Vector3f(f[0], f[1], f[2]));
        else if (t == m.vector4f) value = QVariant::fromValue(Vector4f(f[0], f[1], f[2], f[3]));
        else value = QVariant::fromValue(VrnColor(f[0], f[1], f[2], f[3]));
        return true;
    }
    if (t == m.userEnum) {
        QString text;
        if (!toString(json, where, text, error))
            return false;
        const VrnUserEnum options = base.value<VrnUserEnum>();
        if (base.userType() != vrnAttributeMetaTypes().userEnum || options.options().isEmpty()) {
            value = QVariant::fromValue(VrnUserEnum({text}, 0, false));
            return true;
        }
        int index = -1;
        if (!optionIndex(options.options(), text, where, index, error))
            return false;
        value = QVariant::fromValue(VrnUserEnum(options.options(), index, options.isBlendMode()));
        return true;
    }
    if (t == m.stringList) {
        QString text;
        if (!toString(json, where, text, error))
            return false;
        const VrnStringList entries = base.value<VrnStringList>();
        if (base.userType() != vrnAttributeMetaTypes().stringList || entries.strings().isEmpty()) {
            value = QVariant::fromValue(VrnStringList({text}, 0));
            return true;
        }
        int index = -1;
        if (!optionIndex(entries.strings(), text, where, index, error))
            return false;
        value = QVariant::fromValue(VrnStringList(entries.strings(), index));
        return true;
    }
    if (t == m.channelId) {
        QString name;
        if (!toName(json, where, name, error))
            return false;
        value = QVariant::fromValue(VrnChannelId(name));
        return true;
    }
    if (t == m.fileList || t == m.imageList) {
        QStringList list;
        if (!toStringList(json, where, list, error))
            return false;
        if (t == m.fileList)
            value = QVariant::fromValue(VrnFileList(0, list));
        else
            value = QVariant::fromValue(VrnImageList(list));
        return true;
    }
    if (t == m.gradient) {
        QJsonObject o;
        bool atlas = false;
        int size = 0;
        if (!toObject(json, where, o, error)
            || !checkKeys(o, where, {QStringLiteral("atlas"), QStringLiteral("size")}, {QStringLiteral("atlas"), QStringLiteral("size")}, error)
            || !toBool(o.value(QStringLiteral("atlas")), place(where, QStringLiteral("atlas")), atlas, error)
            || !toInt(o.value(QStringLiteral("size")), place(where, QStringLiteral("size")), 1, 4096, size, error))
            return false;
        value = QVariant::fromValue(VrnGradient(size, 0, atlas));
        return true;
    }
    if (t == m.locatorList) {
        QJsonObject o;
        QString glslType;
        const QString typePlace = place(where, QStringLiteral("glslType"));
        if (!toObject(json, where, o, error)
            || !checkKeys(o, where, {QStringLiteral("glslType"), QStringLiteral("value")}, {QStringLiteral("glslType"), QStringLiteral("value")}, error)
            || !toString(o.value(QStringLiteral("glslType")), typePlace, glslType, error))
            return false;
        int count = 0;
        if (glslType == QLatin1String("vec3"))
            count = 3;
        else if (glslType == QLatin1String("mat4x4"))
            count = 16;
        else
            return fail(error, typePlace, QStringLiteral("%1 is not \"vec3\" or \"mat4x4\"").arg(quote(glslType)));
        QVector<float> values;
        if (!toFloats(o.value(QStringLiteral("value")), place(where, QStringLiteral("value")), count, values, error))
            return false;
        value = QVariant::fromValue(VrnLocatorList(glslType, values));
        return true;
    }
    return fail(error, where, QStringLiteral("%1 is not a parameter type").arg(quote(type)));
}

namespace {
bool parseInputs(const QJsonValue& json, const QString& where, VrnSnNodeKind& kind, QString& error)
{
    QJsonArray array;
    if (!toShortArray(json, where, array, error))
        return false;
    for (int i = 0; i < array.size(); ++i) {
        const QString at = place(where, i);
        QJsonObject o;
        VrnSnNodeInputDefinition input;
        if (!toObject(array.at(i), at, o, error)
            || !checkKeys(o, at, {QStringLiteral("name"), QStringLiteral("default"), QStringLiteral("invertible")}, {QStringLiteral("name")}, error)
            || !toIdentifier(o.value(QStringLiteral("name")), place(at, QStringLiteral("name")), input.name, error, NameUse::Part))
            return false;
        if (kind.input(input.name))
            return fail(error, place(at, QStringLiteral("name")), QStringLiteral("input %1 is declared twice").arg(quote(input.name)));
        if (o.contains(QStringLiteral("default")) && !toString(o.value(QStringLiteral("default")), place(at, QStringLiteral("default")), input.defaultExpression, error))
            return false;
        if (o.contains(QStringLiteral("invertible")) && !toBool(o.value(QStringLiteral("invertible")), place(at, QStringLiteral("invertible")), input.invertible, error))
            return false;
        kind.inputs.append(input);
    }
    return true;
}

bool parseOutputs(const QJsonValue& json, const QString& where, VrnSnNodeKind& kind, QString& error)
{
    QJsonArray array;
    if (!toShortArray(json, where, array, error))
        return false;
    for (int i = 0; i < array.size(); ++i) {
        QString name;
        if (!toIdentifier(array.at(i), place(where, i), name, error, NameUse::Declared))
            return false;
        if (kind.outputs.contains(name))
            return fail(error, place(where, i), QStringLiteral("output %1 is declared twice").arg(quote(name)));
        kind.outputs.append(name);
    }
    return true;
}

bool parseParameter(const QJsonValue& json, const QString& at, VrnSnNodeKind& kind, QString& error)
{
    const QString kOptions = QStringLiteral("options");
    const QString kBlendMode = QStringLiteral("blendMode");
    const QString kDefault = QStringLiteral("default");
    QJsonObject o;
    QString name;
    QString type;
    if (!toObject(json, at, o, error)
        || !checkKeys(o, at, {QStringLiteral("name"), QStringLiteral("type"), kDefault, kOptions, kBlendMode},
                      {QStringLiteral("name"), QStringLiteral("type")}, error)
        || !toIdentifier(o.value(QStringLiteral("name")), place(at, QStringLiteral("name")), name, error, NameUse::Part)
        || !toString(o.value(QStringLiteral("type")), place(at, QStringLiteral("type")), type, error))
        return false;
    if (kind.parameter(name))
        return fail(error, place(at, QStringLiteral("name")), QStringLiteral("parameter %1 is declared twice").arg(quote(name)));
    if (!VrnKindLibrary::parameterTypes().contains(type))
        return fail(error, place(at, QStringLiteral("type")), QStringLiteral("%1 is not a parameter type").arg(quote(type)));

    const int metaType = metaTypeNamed(type);
    const bool isEnum = metaType == vrnAttributeMetaTypes().userEnum;
    const bool hasOptions = isEnum || metaType == vrnAttributeMetaTypes().stringList;
    if (o.contains(kOptions) && !hasOptions)
        return fail(error, place(at, kOptions), QStringLiteral("only an enum or a string list has options"));
    if (o.contains(kBlendMode) && !isEnum)
        return fail(error, place(at, kBlendMode), QStringLiteral("only an enum can be a blend mode"));

    QVariant base = zeroValue(type);
    if (hasOptions) {
        QStringList options;
        if (o.contains(kOptions) && !toShortStringList(o.value(kOptions), place(at, kOptions), options, error))
            return false;
        for (int i = 0; i < options.size(); ++i)
            if (options.indexOf(options.at(i)) != i)
                return fail(error, place(place(at, kOptions), i), QStringLiteral("option %1 is listed twice").arg(quote(options.at(i))));
        bool blendMode = false;
        if (o.contains(kBlendMode) && !toBool(o.value(kBlendMode), place(at, kBlendMode), blendMode, error))
            return false;
        if (isEnum) {
            if (options.isEmpty())
                return fail(error, at, QStringLiteral("an enum needs at least one option"));
            base = QVariant::fromValue(VrnUserEnum(options, 0, blendMode));
        } else {
            base = QVariant::fromValue(VrnStringList(options, options.isEmpty() ? -1 : 0));
        }
    }
    QVariant value = base;
    if (o.contains(kDefault) && !VrnKindLibrary::parameterValue(type, o.value(kDefault), place(at, kDefault), value, error, base))
        return false;
    kind.parameters.append(VrnCustomAttribute(name, value));
    return true;
}

bool parseReval(const QJsonValue& json, const QString& where, VrnSnNodeKind& kind, QString& error)
{
    QJsonArray array;
    if (!toShortArray(json, where, array, error))
        return false;
    const QStringList keys{QStringLiteral("placeholder"), QStringLiteral("input"), QStringLiteral("u"), QStringLiteral("v")};
    for (int i = 0; i < array.size(); ++i) {
        const QString at = place(where, i);
        QJsonObject o;
        VrnSnGlslRevalInfo reval;
        if (!toObject(array.at(i), at, o, error) || !checkKeys(o, at, keys, keys, error)
            || !toName(o.value(QStringLiteral("placeholder")), place(at, QStringLiteral("placeholder")), reval.placeholder, error)
            || !toName(o.value(QStringLiteral("input")), place(at, QStringLiteral("input")), reval.inputName, error)
            || !toName(o.value(QStringLiteral("u")), place(at, QStringLiteral("u")), reval.u, error)
            || !toName(o.value(QStringLiteral("v")), place(at, QStringLiteral("v")), reval.v, error))
            return false;
        if (!kind.input(reval.inputName))
            return fail(error, place(at, QStringLiteral("input")), QStringLiteral("the kind has no input %1").arg(quote(reval.inputName)));
        // A placeholder missing from the code would silently never re-evaluate anything.
        if (!kind.glsl.isEmpty() && !kind.glsl.contains(reval.placeholder))
            return fail(error, place(at, QStringLiteral("placeholder")), QStringLiteral("%1 does not appear in the kind's glsl").arg(quote(reval.placeholder)));
        kind.reval.append(reval);
    }
    return true;
}

bool parseStage(const QJsonValue& json, const QString& where, unsigned& stage, QString& error)
{
    QString text;
    if (!toString(json, where, text, error))
        return false;
    if (text == QLatin1String("all")) stage = VrnShaderType::AllStages;
    else if (text == QLatin1String("fragment")) stage = VrnShaderType::Fragment;
    else if (text == QLatin1String("tess-eval")) stage = VrnShaderType::TessEvaluation;
    else if (text == QLatin1String("tess-control")) stage = VrnShaderType::TessControl;
    else
        return fail(error, where, QStringLiteral("%1 is not a stage (all, fragment, tess-eval or tess-control)").arg(quote(text)));
    return true;
}
} // namespace

VrnSnNodeKindPtr VrnKindLibrary::parseKind(const QJsonValue& json, const QString& at, QString& error)
{
    static const QStringList keys{QStringLiteral("name"),       QStringLiteral("context"),   QStringLiteral("stage"),
                                  QStringLiteral("inputs"),     QStringLiteral("outputs"),   QStringLiteral("parameters"),
                                  QStringLiteral("reval"),      QStringLiteral("glsl"),      QStringLiteral("container"),
                                  QStringLiteral("alias"),      QStringLiteral("encrypted"), QStringLiteral("pathKey")};
    QJsonObject o;
    auto kind = QSharedPointer<VrnSnNodeKind>::create();
    if (!toObject(json, at, o, error) || !checkKeys(o, at, keys, {QStringLiteral("name")}, error)
        || !toName(o.value(QStringLiteral("name")), place(at, QStringLiteral("name")), kind->name, error))
        return VrnSnNodeKindPtr();

    auto has = [&o](const char* key) { return o.contains(QLatin1String(key)); };
    auto value = [&o](const char* key) { return o.value(QLatin1String(key)); };
    auto where = [&at](const char* key) { return place(at, QLatin1String(key)); };

    if (has("context")) {
        if (!toName(value("context"), where("context"), kind->contextClass, error))
            return VrnSnNodeKindPtr();
        // The node classes that the plug-in's channel contexts expect.
        if (kind->contextClass == QLatin1String("VrnSnGlslChannelInputContext"))
            kind->nodeClass = VrnSnNodeKind::NodeClass::ImageSet;
        else if (kind->contextClass == QLatin1String("VrnSnGlslChannelBakeContext"))
            kind->nodeClass = VrnSnNodeKind::NodeClass::BakePoint;
    }
    if (has("stage") && !parseStage(value("stage"), where("stage"), kind->shaderType, error))
        return VrnSnNodeKindPtr();
    if (has("glsl") && !toString(value("glsl"), where("glsl"), kind->glsl, error))
        return VrnSnNodeKindPtr();
    if (has("inputs") && !parseInputs(value("inputs"), where("inputs"), *kind, error))
        return VrnSnNodeKindPtr();
    if (has("outputs") && !parseOutputs(value("outputs"), where("outputs"), *kind, error))
        return VrnSnNodeKindPtr();
    if (has("parameters")) {
        QJsonArray parameters;
        if (!toShortArray(value("parameters"), where("parameters"), parameters, error))
            return VrnSnNodeKindPtr();
        for (int i = 0; i < parameters.size(); ++i)
            if (!parseParameter(parameters.at(i), place(where("parameters"), i), *kind, error))
                return VrnSnNodeKindPtr();
    }
    if (has("reval") && !parseReval(value("reval"), where("reval"), *kind, error))
        return VrnSnNodeKindPtr();
    if ((has("container") && !toBool(value("container"), where("container"), kind->container, error))
        || (has("alias") && !toBool(value("alias"), where("alias"), kind->alias, error))
        || (has("encrypted") && !toBool(value("encrypted"), where("encrypted"), kind->encrypted, error))
        || (has("pathKey") && !toName(value("pathKey"), where("pathKey"), kind->pathKey, error)))
        return VrnSnNodeKindPtr();
    return kind;
}

bool VrnKindLibrary::parseKinds(const QJsonValue& json, const QString& where, const QStringList& taken,
                                QList<VrnSnNodeKindPtr>& kinds, QString& error)
{
    QJsonArray array;
    if (!toArray(json, where, array, error))
        return false;
    QList<VrnSnNodeKindPtr> result;
    QSet<QString> names(taken.begin(), taken.end());
    for (int i = 0; i < array.size(); ++i) {
        const QString at = place(where, i);
        VrnSnNodeKindPtr kind = parseKind(array.at(i), at, error);
        if (!kind)
            return false;
        if (names.contains(kind->name))
            return fail(error, place(at, QStringLiteral("name")), QStringLiteral("the kind name %1 is already taken").arg(quote(kind->name)));
        names.insert(kind->name);
        result.append(kind);
    }
    kinds = result;
    return true;
}
