// Style 5, node functions: one GLSL function per used version hash and
// variant key, which reads its parameters from the parameter list and its
// inputs and outputs through the wiring list.

#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnChainedArg.h"
#include "VrnDebug.h"
#include "VrnShaderManager.h"
#include "VrnSnGlslLog.h"
#include "VrnSnGlslParameterLayout.h"
#include "VrnSnGlslStyle5Steps.h"
#include "VrnSnNodeKind.h"

#include <algorithm>

using namespace VrnSnGlslStyle5Steps;
namespace ParameterLayout = VrnSnGlslParameterLayout;

namespace {
// Longer names first, so that a name is never replaced inside a longer one
// that starts with it; equal lengths by name, so that the text is the same in every run.
void sortLongestFirst(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
}

// The kind's analysis for the record's stage, else for every stage.
VrnSnNodeGlslInfo stageInfo(const Info& r, const QMap<unsigned, VrnSnNodeGlslInfo>& byType)
{
    if (byType.contains(r.ShaderType))
        return byType.value(r.ShaderType);
    return byType.contains(VrnShaderType::AllStages) ? byType.value(VrnShaderType::AllStages) : VrnSnNodeGlslInfo();
}

// The kind's path key, or its source text. The source of an encrypted kind,
// or of one whose flag is unknown, goes between the tokens that keep it out
// of the secure shader log.
QString kindHeader(Info& r, const QString& versionHash, const QString& variantKey)
{
    QString text = nodeFunctionBanner();
    const QString source = r.VersionHashSources[versionHash];
    const QString pathKey = r.NodePathKeys.value(versionHash);
    if (!pathKey.isEmpty()) {
        text += QStringLiteral("// %1 %2\n").arg(pathKey).arg(variantKey);
    } else {
        const bool secure = !r.VersionHashEncrypted.contains(versionHash) || r.VersionHashEncrypted.value(versionHash);
        if (secure)
            text += VrnShaderManager::startTokenForSecureShaderLog();
        text += QStringLiteral("// (No NodePathKey) %1\n").arg(variantKey);
        text += QStringLiteral("// VersionHashSource :\n");
        for (const QString& part : source.split(QLatin1Char('\n')))
            text += QStringLiteral("// %1\n").arg(part);
        if (secure)
            text += VrnShaderManager::endTokenForSecureShaderLog();
    }
    return text + nodeFunctionBanner();
}

QString functionHead(const Info& r, int index, bool revalTwin)
{
    return VrnChainedArg(QString::fromLatin1(revalTwin ? "void NodeFuncForReval%1 (int ParameterIndex, int OutputInputIndex, inout %2 State, inout %3 _State)\n"
                                                       : "void NodeFunc%1 (int ParameterIndex, int OutputInputIndex, inout %2 State, inout %3 _State)\n"))
        .arg(index)
        .arg(r.StateType)
        .arg(r.SystemStateType);
}

// What "$name" stands for in the kind's code, per parameter name, and the
// names in the order they first appear.
struct ParameterTexts
{
    QHash<QString, QString> byName;
    QStringList names;
};

QString parameterDeclarations(Info& r, const VrnSnNodeGlslInfo& info, const QString& variantKey, ParameterTexts& texts,
                              int& parameterInts)
{
    QString text;
    for (int i = 0; i < info.parameters.size(); ++i) {
        const QString& name = info.parameters.at(i).first;
        const QVariant value = info.parameters.at(i).second.value();
        if (!texts.byName.contains(name))
            texts.names.append(name);
        texts.byName.insert(name, QStringLiteral("Parameter%1").arg(i));
        const ParameterLayout::Kind kind = ParameterLayout::kindOf(name, value);
        if (kind == ParameterLayout::Kind::OtherLocators)
            VrnSnGlslLog::unsupportedLocators(VrnSnGlslLog::kStyle5File, VrnSnGlslLog::Style5Line::kUnsupportedLocator, value);
        text += ParameterLayout::style5Declaration(kind, i, parameterInts);
        // The enum's text is compiled into the variant's function.
        if (kind == ParameterLayout::Kind::CompiledEnum)
            texts.byName.insert(name, r.VariantEnumValues[variantKey].value(name));
        parameterInts += ParameterLayout::layoutOf(kind).parameterInts;
    }
    return text;
}

// What "#input" stands for goes to inputVariables.
QString inputDeclarations(const VrnSnNodeGlslInfo& info, QHash<QString, QString>& inputVariables, int& wiringInts)
{
    QString text;
    for (int j = 0; j < info.inputs.size(); ++j) {
        const QString& input = info.inputs.at(j);
        VrnChainedArg(QStringLiteral("    vec4 Input%1 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+%2) ? %3 : GET_INPUT(OutputInputIndex+%2);\n"))
            .arg(j)
            .arg(wiringInts)
            .arg(info.defaultInputs.value(input))
            .appendTo(text);
        ++wiringInts;
        inputVariables.insert(input, QStringLiteral("Input%1").arg(j));
        if (info.invertibleInputs.contains(input)) {
            VrnChainedArg(QStringLiteral("    bool Input%1_INVERTED = GET_INPUT_INVERTED(OutputInputIndex+%2);\n")).arg(j).arg(wiringInts).appendTo(text);
            ++wiringInts;
        }
    }
    return text;
}

// Each re-evaluated input runs its inner instruction list at the derived
// position; the wiring holds where that list starts and where its result lies.
QString codeWithRevalBlocks(Info& r, const VrnSnNodeGlslInfo& info, const QString& versionHash,
                            const QHash<QString, QString>& inputVariables, bool revalTwin, int& wiringInts)
{
    QString code = info.glslCode;
    for (const Info::RevalEntry& e : qAsConst(r.RevalInfoMap[versionHash])) {
        const QString block = QStringLiteral("{\n"
                                             "    %6 StateStore;\n"
                                             "    store_state(State, _State, StateStore);\n"
                                             "    derive_state(State, _State, vec2(%1, %2));\n"
                                             "    {\n"
                                             "        int InnerInstructionIndex = GET_REVAL_INSTRUCTION(OutputInputIndex+%3);\n"
                                             "        if(InnerInstructionIndex>=0)\n"
                                             "        {\n"
                                             "            iterateInstructionListForReval(InnerInstructionIndex,State,_State);\n"
                                             "            %4 = GET_INPUT(OutputInputIndex+%5);\n"
                                             "        }\n"
                                             "    }\n"
                                             "    restore_state(State, _State, StateStore);\n"
                                             "}\n")
                                  .arg(e.u)
                                  .arg(e.v)
                                  .arg(wiringInts)
                                  .arg(inputVariables.value(e.inputName))
                                  .arg(wiringInts + 1)
                                  .arg(r.StateStackType);
        // A twin runs inside another node's re-evaluation. Calling the
        // re-evaluation loop from there would make the shader recursive,
        // which GLSL forbids, and the inner list's storage slots are in use by
        // the outer one: the input keeps the value it has at this position.
        const QString twinBlock = QStringLiteral("{\n    // not re-evaluated inside a re-evaluation\n}\n");
        // An empty placeholder stands nowhere; its wiring slots are still the entry's.
        if (!e.placeholder.isEmpty())
            code.replace(e.placeholder, revalTwin ? twinBlock : block);
        wiringInts += 2;
    }
    return code;
}

// "$parameter" and "#input" tokens, over the whole text so far.
void replaceTokens(QString& text, ParameterTexts parameters, QStringList inputNames, const QHash<QString, QString>& inputVariables)
{
    // An empty name would match every sigil: such names replace nothing.
    parameters.names.removeAll(QString());
    sortLongestFirst(parameters.names);
    for (const QString& name : qAsConst(parameters.names))
        text.replace(QLatin1Char('$') + name, parameters.byName.value(name));
    inputNames.removeDuplicates();
    inputNames.removeAll(QString());
    sortLongestFirst(inputNames);
    for (const QString& input : qAsConst(inputNames))
        text.replace(QLatin1Char('#') + input, inputVariables.value(input));
}
} // namespace

void VrnSnGlslCodeGenerator_Style5::buildNodeFunctions(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.RevalNodeFuncIndices.insert(0);
    r.NodeFuncCount = 1;
    // Version hashes in key order and variant keys sorted: the numbering is
    // the same in every run, whatever the graph's wiring.
    const QMap<QString, QMap<unsigned, VrnSnNodeGlslInfo>> infoMap = r.VersionHashGlslInfoMap;
    for (auto it = infoMap.constBegin(); it != infoMap.constEnd(); ++it) {
        const QString& versionHash = it.key();
        if (!r.UsedVersionHashes.contains(versionHash))
            continue;
        QStringList variants = r.VersionHashVariants[versionHash].values();
        if (variants.isEmpty())
            variants.append(QString());
        std::sort(variants.begin(), variants.end());
        const VrnSnNodeGlslInfo info = stageInfo(r, it.value());
        for (const QString& variantKey : qAsConst(variants))
            buildNodeFunction(r, versionHash, variantKey, info);
    }
}

void VrnSnGlslCodeGenerator_Style5::buildNodeFunction(ShaderTypeInfo& r, const QString& versionHash, const QString& variantKey,
                                                      const VrnSnNodeGlslInfo& info)
{
    const int index = r.NodeFuncCount;
    VrnDebug(VrnSnGlslLog::kStyle5File, VrnSnGlslLog::Style5Line::kGenerateNodeFunc,
             QString::asprintf("Generate NodeFunc : %d %s %s", index, versionHash.toLocal8Bit().constData(),
                               variantKey.toLocal8Bit().constData()),
             false, false);
    const bool twin = r.RevalVersionHashes.contains(versionHash);
    if (twin)
        r.RevalNodeFuncIndices.insert(index);
    int parameterInts = 0;
    int wiringInts = 0;
    for (int pass = 0; pass < (twin ? 2 : 1); ++pass)
        r.DeclarationCode += nodeFunctionText(r, index, versionHash, variantKey, info, pass == 1, parameterInts, wiringInts);
    const QString key = nodeFunctionKey(versionHash, variantKey);
    r.NodeFuncIndexByKey[key] = index;
    r.NodeFuncParameterCount[key] = parameterInts;
    r.NodeFuncWiringCount[key] = wiringInts;
    r.NodeFuncCount = index + 1;
}

QString VrnSnGlslCodeGenerator_Style5::nodeFunctionText(ShaderTypeInfo& r, int index, const QString& versionHash,
                                                        const QString& variantKey, const VrnSnNodeGlslInfo& info, bool revalTwin,
                                                        int& parameterInts, int& wiringInts)
{
    parameterInts = 0;
    wiringInts = 0;
    ParameterTexts parameters;
    QHash<QString, QString> inputVariables;

    QString text = kindHeader(r, versionHash, variantKey) + functionHead(r, index, revalTwin) + QStringLiteral("{\n");
    for (const QString& output : info.outputs)
        VrnChainedArg(QStringLiteral("    vec4 %1 = vec4(0,0,0,0);\n")).arg(output).appendTo(text);
    text += parameterDeclarations(r, info, variantKey, parameters, parameterInts);
    text += inputDeclarations(info, inputVariables, wiringInts);
    text += QStringLiteral("\n") + codeWithRevalBlocks(r, info, versionHash, inputVariables, revalTwin, wiringInts) + QStringLiteral("\n");
    replaceTokens(text, parameters, info.inputs, inputVariables);

    for (const QString& output : info.outputs) {
        VrnChainedArg(QStringLiteral("    GET_OUTPUT(OutputInputIndex+%1) = %2;\n")).arg(wiringInts).arg(output).appendTo(text);
        ++wiringInts;
    }
    return text + QStringLiteral("}\n\n");
}
