// The example networks: each one still shows the node states its line in
// examples/README.md promises, and together they use every built-in kind and
// every state. A state counts only when the host and Style 1 treat the node
// the way the state says, not merely when the file spells it.

#include "VrnTestSupport.h"

#include "VrnAttributeValues.h"
#include "VrnBuiltinKinds.h"
#include "VrnGlslValidator.h"
#include "VrnKindLibrary.h"
#include "VrnNetworkLoader.h"
#include "VrnProjectManager.h"
#include "VrnShaderAssembler.h"
#include "VrnShaderBuild.h"
#include "VrnShaderNetwork.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslContextManager.h"
#include "VrnSurfaceShader.h"
#include "VrnUniformReport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <set>
#include <string>
#include <vector>

namespace {
const QString kExamplesDir = QString::fromUtf8(VRN_EXAMPLES_DIR);
const QString kNodeBake = QStringLiteral("NODE_BAKE");
const QString kNotBakeable = QStringLiteral("_notbakeable");

enum class State {
    ChannelByName,             // a channel input reads a channel it names
    ChannelCurrent,            // a channel input follows "Current Channel", and there is a current channel
    ImageChannel,              // a channel loaded from a PNG, with more than one colour
    ReadsCache,                // a node's outputs come from its cache channels
    CacheInvalid,              // a cache that is not read because it is out of date
    CacheInactive,             // a valid cache that is not read because its active state is not 2
    CacheOutputWithoutChannel, // a valid, active cache that is not read because an output has no channel
    BakeDefine,                // the build has the NODE_BAKE define
    ReadsBakedResult,          // a bake point reads its baked channel
    BakeEvaluatesInput,        // a bake point evaluates its input
    NotBakeableLeftOut,        // a "_notbakeable" node that Style 1 zeroes (NODE_BAKE)
    NotBakeableEvaluated,      // a "_notbakeable" node that Style 1 evaluates (no NODE_BAKE)
    InvertedInput,             // an invertible input tagged "_invertable" and "_invert"
    InvertableInput,           // an invertible input tagged "_invertable" only
    NestedContainer,           // a container that evaluates another container inside its own function
    AliasChain,                // a pass-through reading a pass-through, resolved to a real producer
    EnumVariants,              // two nodes of one kind with different options of a non-blend enum
    BlendModeVariants,         // two nodes of one kind with different blend modes
    EveryParameterType,        // one node with every parameter type, each parameter off its default
    UndeclaredAttribute,       // an attribute that the node's kind does not declare
    EncryptedKind,             // a node of an encrypted kind, left encrypted
    EncryptionOverridden,      // a node whose encryption differs from its kind's
    TessEvalStage,             // a tess-eval stage is built
    Reevaluation,              // an input is evaluated again at a derived position
    OwnKinds,                  // a node of a kind that the file defines
};

// The states' names, in the enum's order.
const char* const kStateNames[] = {
    "ChannelByName", "ChannelCurrent", "ImageChannel", "ReadsCache", "CacheInvalid", "CacheInactive", "CacheOutputWithoutChannel",
    "BakeDefine", "ReadsBakedResult", "BakeEvaluatesInput", "NotBakeableLeftOut", "NotBakeableEvaluated", "InvertedInput",
    "InvertableInput", "NestedContainer", "AliasChain", "EnumVariants", "BlendModeVariants", "EveryParameterType", "UndeclaredAttribute",
    "EncryptedKind", "EncryptionOverridden", "TessEvalStage", "Reevaluation", "OwnKinds",
};
const int kStateCount = int(sizeof(kStateNames) / sizeof(kStateNames[0]));
static_assert(kStateCount == int(State::OwnKinds) + 1, "one name per state");

struct Example
{
    const char* file;
    std::set<State> promised; // what examples/README.md says the file shows
};

const std::vector<Example>& examples()
{
    using S = State;
    static const std::vector<Example> table{
        {"lit-base.json", {S::ChannelByName}},
        {"checker-offset.json", {S::ChannelCurrent, S::Reevaluation}},
        {"cached-dirt.json", {S::ChannelByName, S::ReadsCache}},
        {"stale-caches.json", {S::CacheInvalid, S::CacheInactive, S::CacheOutputWithoutChannel}},
        {"bake-point.json", {S::BakeDefine, S::ReadsBakedResult, S::BakeEvaluatesInput, S::NotBakeableLeftOut}},
        {"bake-preview.json", {S::ReadsBakedResult, S::BakeEvaluatesInput, S::NotBakeableEvaluated}},
        {"masked-rust.json", {S::ImageChannel, S::InvertedInput, S::InvertableInput, S::EnumVariants, S::BlendModeVariants}},
        {"grouped-layers.json", {S::NestedContainer, S::AliasChain, S::ChannelCurrent}},
        {"every-parameter.json", {S::EveryParameterType, S::UndeclaredAttribute}},
        {"secret-recipe.json", {S::EncryptedKind, S::EncryptionOverridden}},
        {"displaced-tiles.json", {S::TessEvalStage, S::OwnKinds}},
        {"custom-kinds.json", {S::OwnKinds, S::CacheOutputWithoutChannel}},
    };
    return table;
}

// What one example really shows once loaded and built.
struct Observed
{
    std::set<State> states;
    QSet<QString> kinds; // kinds of the nodes upstream of the root
    QString error;       // why the file did not load, build or compile
};

// The nodes the root depends on, pass-through nodes included.
QList<VrnSnBaseNode*> upstreamOf(VrnSnBaseNode* root)
{
    QList<VrnSnBaseNode*> found{root};
    for (int i = 0; i < found.size(); ++i)
        for (const QString& input : found.at(i)->inputNames()) {
            VrnSnBaseNode* producer = found.at(i)->inputConnection(input).node.data();
            if (producer && !found.contains(producer))
                found.append(producer);
        }
    return found;
}

bool hasSeveralTexelValues(const VrnChannel* channel)
{
    const QVector<float>& texels = channel->pixels();
    for (int i = 4; i + 3 < texels.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            if (texels.at(i + c) != texels.at(c))
                return true;
    return false;
}

// A channel from an image that the file names, read as a real picture.
bool hasImageChannel(const QString& path, VrnShadingContext* shading, int uvTile)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonArray channels = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("channels")).toArray();
    for (const QJsonValue& value : channels) {
        const QJsonObject channel = value.toObject();
        if (!channel.contains(QStringLiteral("image")))
            continue;
        const VrnChannel* loaded = shading->channel(uvTile, channel.value(QStringLiteral("name")).toString());
        if (loaded && hasSeveralTexelValues(loaded))
            return true;
    }
    return false;
}

// declarations: Style 1's declaration texts; code: those and its body texts.
void observeNode(VrnSnBaseNode* n, const VrnSnGlslContextInfoMap& info, const QString& declarations, const QString& code,
                 bool bakeMode, const QSet<QString>& fileKinds, Observed& o)
{
    const VrnSnNodeKind& k = n->kind();
    o.kinds.insert(k.name);
    const bool listed = n->context() && info.contains(n->context());
    const VrnSnGlslCodeGeneratorContextInfo record = listed ? info.value(n->context()) : VrnSnGlslCodeGeneratorContextInfo();

    // Style 1 either reads a node from its cache or calls the node's function, never both.
    const bool called = code.contains(n->id() + QStringLiteral("func(State,_State);"));
    const bool readFromCache = code.contains(QStringLiteral("texture_lookup2(Cache_") + n->hash());
    if (record.readsCache && readFromCache && !called)
        o.states.insert(State::ReadsCache);
    if (listed && n->cacheEnabled() && !record.readsCache && called && !readFromCache) {
        bool everyOutputHasChannel = true;
        for (const VrnSnBaseNode::ConnectionPoint& p : n->outputPoints())
            everyOutputHasChannel = everyOutputHasChannel && n->exists(n->cacheAttributeName(p.name));
        if (!n->cacheUpToDate())
            o.states.insert(State::CacheInvalid);
        else if (n->cacheActive() != 2)
            o.states.insert(State::CacheInactive);
        else if (!everyOutputHasChannel)
            o.states.insert(State::CacheOutputWithoutChannel);
    }

    if (listed && qobject_cast<VrnSnBakePointNode*>(n))
        o.states.insert(record.readsBakedChannel ? State::ReadsBakedResult : State::BakeEvaluatesInput);

    if (n->hasTag(kNotBakeable)) {
        const bool leftOut = declarations.contains(QStringLiteral("//--- Non-Bakeable Node '%1' ---\n").arg(n->path()));
        const bool evaluated = declarations.contains(QStringLiteral("//--- Style 1 Node '%1' ---\n").arg(n->path()));
        if (bakeMode && leftOut && !evaluated)
            o.states.insert(State::NotBakeableLeftOut);
        if (!bakeMode && evaluated && !leftOut)
            o.states.insert(State::NotBakeableEvaluated);
    }

    if (k.nodeClass == VrnSnNodeKind::NodeClass::ImageSet) {
        const VrnChannelId channel = n->userAttribute(QStringLiteral("Channel")).value().value<VrnChannelId>();
        if (!channel.isCurrentChannel())
            o.states.insert(State::ChannelByName);
        else if (VrnProjectManager::instance().currentChannel())
            o.states.insert(State::ChannelCurrent);
    }

    for (const VrnSnNodeInputDefinition& input : k.inputs)
        if (input.invertible && n->hasInputTag(input.name, QStringLiteral("_invertable")))
            o.states.insert(n->hasInputTag(input.name, QStringLiteral("_invert")) ? State::InvertedInput : State::InvertableInput);

    if (k.container)
        for (VrnSnBaseGlslContext* nested : record.nestedContexts)
            if (nested->parentNode() && nested->parentNode()->kind().container)
                o.states.insert(State::NestedContainer);

    if (k.alias && !k.inputs.isEmpty() && !k.outputs.isEmpty()) {
        const VrnSnBaseNode* producer = n->inputConnection(k.inputs.first().name).node.data();
        const VrnSnBaseNode* supplier = VrnSnGlslNodeAliases::resolve(n->outputPoint(k.outputs.first())).node.data();
        if (producer && producer->kind().alias && supplier && !supplier->kind().alias
            && !declarations.contains(n->id() + QStringLiteral("func(")))
            o.states.insert(State::AliasChain);
    }

    // Every parameter type on one node, each kind parameter set off its default.
    QSet<QString> types;
    bool allChanged = !k.parameters.isEmpty();
    for (const QString& name : n->userAttributeNames()) {
        const QVariant value = n->userAttribute(name).value();
        types.insert(VrnKindLibrary::parameterType(value));
        if (const VrnCustomAttribute* parameter = k.parameter(name))
            allChanged = allChanged && VrnUniformReport::toJson(value) != VrnUniformReport::toJson(parameter->value());
        else if (!name.startsWith(QStringLiteral("Cache_")))
            o.states.insert(State::UndeclaredAttribute);
    }
    if (allChanged && types.contains(QSet<QString>(VrnKindLibrary::parameterTypes().begin(), VrnKindLibrary::parameterTypes().end())))
        o.states.insert(State::EveryParameterType);

    if (k.encrypted && n->isEncrypted())
        o.states.insert(State::EncryptedKind);
    if (k.encrypted != n->isEncrypted())
        o.states.insert(State::EncryptionOverridden);
    if (fileKinds.contains(k.name))
        o.states.insert(State::OwnKinds);
}

// The states of nodes that differ from each other: enum options per kind and parameter.
void observeVariants(const QList<VrnSnBaseNode*>& nodes, Observed& o)
{
    QMap<QString, QSet<int>> options; // "kind/parameter" -> options in use
    QSet<QString> blendModes;
    for (VrnSnBaseNode* n : nodes)
        for (const VrnCustomAttribute& parameter : n->kind().parameters) {
            const QVariant value = n->userAttribute(parameter.name()).value();
            if (value.userType() != vrnAttributeMetaTypes().userEnum)
                continue;
            const VrnUserEnum e = value.value<VrnUserEnum>();
            const QString key = n->kind().name + QLatin1Char('/') + parameter.name();
            options[key].insert(e.currentIndex());
            if (e.isBlendMode())
                blendModes.insert(key);
        }
    for (auto it = options.constBegin(); it != options.constEnd(); ++it)
        if (it.value().size() > 1)
            o.states.insert(blendModes.contains(it.key()) ? State::BlendModeVariants : State::EnumVariants);
}

Observed observe(const QString& file, QObject* parent)
{
    Observed o;
    const QString path = VrnTest::examplePath(file);
    VrnLoadedNetwork loaded;
    if (!VrnNetworkLoader::loadFile(path, parent, loaded, o.error))
        return o;
    VrnTest::ScopedDefines defines(loaded.defines);
    VrnShaderNetwork* network = loaded.network;
    VrnShadingContext* shading = network->shadingContext();

    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    if (!VrnShaderBuild::run(QStringLiteral("VrnSnGlslCodeGenerator_Style1"), network, &surface, result)) {
        o.error = result.errorText;
        return o;
    }
    const QMap<unsigned, QString> sources = VrnShaderBuild::assembleStages(result, network, &surface, loaded.defines);
    const QString declarations = QStringList(result.declarationCodes.values()).join(QString());
    const QString bodies = QStringList(result.bodyCodes.values()).join(QString());
    if (!VrnGlslValidator::validate(sources, o.error))
        return o;

    // What the host decides about each context of each stage.
    VrnSnBaseGlslCodeGenerator generator;
    auto* svt = qobject_cast<VrnSvtShadingContext*>(shading);
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    generator.buildContextsList(&VrnSnGlslContextManager::instance(), svt, aliases, contexts, network->root());
    VrnSnGlslContextInfoMap info;
    for (auto it = contexts.begin(); it != contexts.end(); ++it)
        generator.buildContextInfo(svt, aliases[it.key()], it.value(), info);

    QSet<QString> fileKinds;
    for (const VrnSnNodeKindPtr& k : loaded.fileKinds)
        fileKinds.insert(k->name);
    const bool bakeMode = loaded.defines.contains(kNodeBake);
    if (bakeMode)
        o.states.insert(State::BakeDefine);
    const QList<VrnSnBaseNode*> used = upstreamOf(network->root());
    for (VrnSnBaseNode* n : used)
        observeNode(n, info, declarations, declarations + bodies, bakeMode, fileKinds, o);
    observeVariants(used, o);

    if (result.declarationCodes.contains(VrnShaderType::TessEvaluation))
        o.states.insert(State::TessEvalStage);
    if (declarations.contains(QStringLiteral("derive_state(State, _State, vec2(")))
        o.states.insert(State::Reevaluation);
    if (hasImageChannel(path, shading, loaded.currentUv))
        o.states.insert(State::ImageChannel);
    return o;
}

std::string names(const std::set<State>& states)
{
    std::string text;
    for (State s : states)
        text += std::string(text.empty() ? "" : ", ") + kStateNames[int(s)];
    return text;
}

// Failure messages name the file rather than dumping the row's bytes.
void PrintTo(const Example& e, std::ostream* os)
{
    *os << e.file;
}

struct ExampleTest : ::testing::TestWithParam<Example>
{
    QObject parent;
    void SetUp() override { VrnTest::plugin(); }
};

std::string testName(const ::testing::TestParamInfo<Example>& info)
{
    std::string name = QFileInfo(QString::fromUtf8(info.param.file)).completeBaseName().toStdString();
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}
} // namespace

TEST_P(ExampleTest, CompilesAndShowsWhatItsReadmeLinePromises)
{
    const Observed o = observe(QString::fromUtf8(GetParam().file), &parent);
    ASSERT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    std::set<State> missing;
    for (State s : GetParam().promised)
        if (!o.states.count(s))
            missing.insert(s);
    EXPECT_TRUE(missing.empty()) << "missing: " << names(missing) << "\nobserved: " << names(o.states);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest, ::testing::ValuesIn(examples()), testName);

TEST(Examples, TableReadmeAndDirectoryListTheSameFiles)
{
    QSet<QString> inTable;
    for (const Example& e : examples())
        inTable.insert(QString::fromUtf8(e.file));
    const QStringList onDisk = QDir(kExamplesDir).entryList({QStringLiteral("*.json")}, QDir::Files);
    EXPECT_EQ(QSet<QString>(onDisk.begin(), onDisk.end()), inTable) << "every example needs a row here, and every row a file";

    QFile readme(VrnTest::examplePath(QStringLiteral("README.md")));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'));
    for (const QString& file : inTable) {
        const QString entry = QStringLiteral("- `%1`: ").arg(file);
        EXPECT_EQ(lines.filter(entry).size(), 1) << file.toStdString() << " needs one line in examples/README.md";
    }
}

TEST(Examples, TogetherUseEveryBuiltinKindAndEveryState)
{
    VrnTest::plugin();
    QObject parent;
    QSet<QString> kinds;
    std::set<State> promised;
    for (const Example& e : examples()) {
        const Observed o = observe(QString::fromUtf8(e.file), &parent);
        ASSERT_TRUE(o.error.isEmpty()) << e.file << ": " << o.error.toStdString();
        kinds.unite(o.kinds);
        promised.insert(e.promised.begin(), e.promised.end());
    }
    QStringList unused;
    for (const QString& name : VrnBuiltinKinds::all().keys())
        if (!kinds.contains(name))
            unused.append(name);
    EXPECT_TRUE(unused.isEmpty()) << "built-in kinds no example uses: " << unused.join(QStringLiteral(", ")).toStdString();

    std::set<State> unshown;
    for (int s = 0; s < kStateCount; ++s)
        if (!promised.count(State(s)))
            unshown.insert(State(s));
    EXPECT_TRUE(unshown.empty()) << "states no example promises: " << names(unshown);
}
