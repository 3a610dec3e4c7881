// Network files: the kinds they define, the networks they build, and one clear
// message for every malformed file with nothing left behind.

#include "VrnTestSupport.h"

#include "VrnGlobalNameTable.h"
#include "VrnKindLibrary.h"
#include "VrnNodeCreationOrder.h"

namespace {
const QString kDataDir = QString::fromUtf8(VRN_TEST_DATA_DIR);

// Loads relative to the data directory, so that messages name files as "malformed/x.json".
struct LoaderTest : ::testing::Test
{
    QString previousDirectory;
    QObject parent;

    void SetUp() override
    {
        VrnTest::plugin();
        previousDirectory = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(kDataDir));
    }
    void TearDown() override { QDir::setCurrent(previousDirectory); }

    VrnLoadedNetwork load(const QString& path)
    {
        VrnLoadedNetwork loaded;
        QString error;
        EXPECT_TRUE(VrnNetworkLoader::loadFile(path, &parent, loaded, error)) << error;
        return loaded;
    }
};

// The value's type name and text, so a mismatch shows both.
QString typed(const QVariant& v)
{
    QString text;
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    if (v.userType() == t.userEnum) {
        const VrnUserEnum e = v.value<VrnUserEnum>();
        text = QStringLiteral("%1 of %2%3").arg(e.currentIndex()).arg(e.options().join(QLatin1Char('|')), e.isBlendMode() ? " blend" : "");
    } else if (v.userType() == t.channelId) {
        text = v.value<VrnChannelId>().channelName();
    } else if (v.userType() == t.gradient) {
        const VrnGradient g = v.value<VrnGradient>();
        text = QStringLiteral("size %1 atlas %2").arg(g.size()).arg(g.useAtlas());
    } else {
        text = v.toString();
    }
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(v.typeName()), text);
}

QJsonValue json(const char* text)
{
    // Wrapped in an array so that scalars parse too.
    return QJsonDocument::fromJson(QByteArray("[") + text + "]").array().at(0);
}
} // namespace

// ---------------------------------------------------------------------------
// Parameter values

TEST(ParameterValues, ValuesThatDoNotFitTheirTypeAreRefusedWithThePlace)
{
    const VrnUserEnum modes({"Normal", "Screen"}, 0, true);
    const struct { const char* type; const char* json; QVariant base; const char* error; } rows[] = {
        {"bool", "1", {}, "p: expected true or false, got a number"},
        {"int", "2147483648", {}, "p: 2147483648 is not in the range -2147483648 to 2147483647"},
        {"int", "\"3\"", {}, "p: expected a whole number, got a string"}, {"float", "1e39", {}, "p: 1e+39 does not fit a float"},
        {"double", "null", {}, "p: expected a number, got null"}, {"Vector2f", "[1, \"2\"]", {}, "p[1]: expected a number, got a string"},
        {"VrnColor", "[1, 1, 1]", {}, "p: expected 4 numbers, got 3"},
        {"VrnUserEnum", "\"Overlay\"", QVariant::fromValue(modes), "p: \"Overlay\" is not one of the options \"Normal\", \"Screen\""},
        {"VrnChannelId", "\"\"", {}, "p: must not be empty"}, {"VrnImageList", "[\"Base\", 3]", {}, "p[1]: expected a string, got a number"},
        {"VrnGradient", "{\"atlas\": true}", {}, "p.size: required key is missing"},
        {"VrnGradient", "{\"atlas\": true, \"size\": 0}", {}, "p.size: 0 is not in the range 1 to 4096"},
        {"VrnLocatorList", "{\"glslType\": \"vec3\", \"value\": [0, 1]}", {}, "p.value: expected 3 numbers, got 2"},
        {"vec9", "1", {}, "p: \"vec9\" is not a parameter type"},
    };
    for (const auto& row : rows) {
        QVariant value;
        QString error;
        EXPECT_FALSE(VrnKindLibrary::parameterValue(QString::fromLatin1(row.type), json(row.json), QStringLiteral("p"), value, error, row.base));
        EXPECT_EQ(error, QString::fromLatin1(row.error)) << row.type << " " << row.json;
    }
}

// ---------------------------------------------------------------------------
// A valid network

TEST_F(LoaderTest, BuildsChannelsNodesAttributesCachesAndConnections)
{
    const VrnLoadedNetwork loaded = load("networks/full.json");
    VrnShaderNetwork* net = loaded.network;
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->parent(), &parent);
    EXPECT_EQ(net->name(), "Full");
    EXPECT_EQ(loaded.fileLabel, "networks/full.json");
    EXPECT_EQ(loaded.defines, (QStringList{"NODE_BAKE", "VRN_EXTRA"}));
    EXPECT_EQ(loaded.currentUv, 1002);

    // Channels: the file's, per tile, plus the cache alias.
    VrnShadingContext* sc = net->shadingContext();
    EXPECT_EQ(sc->getCurrentUvChannel(), 1002);
    EXPECT_EQ(sc->channelNames(1001), QStringList{"Base"});
    VrnChannel* base = sc->channel(1002, "Base");
    VrnChannel* dirt = sc->channel(1002, "Dirt");
    VrnChannel* photo = sc->channel(1002, "Photo");
    ASSERT_TRUE(base && dirt && photo);
    EXPECT_EQ(VrnProjectManager::instance().currentChannel(), base);
    EXPECT_EQ(base->width(), 4);
    EXPECT_EQ(base->pixels().mid(15 * 4, 4), (QVector<float>{0.8f, 0.3f, 0.2f, 1.0f}));
    auto texel = [](VrnChannel* c, int x, int y) { return c->pixels().mid((y * c->width() + x) * 4, 4); };
    const QVector<float> black{0, 0, 0, 1};
    const QVector<float> orange{1, 0.5f, 0.25f, 1};
    EXPECT_EQ(texel(dirt, 0, 0), black);
    EXPECT_EQ(texel(dirt, 1, 1), black);
    EXPECT_EQ(texel(dirt, 2, 0), orange);
    EXPECT_EQ(texel(dirt, 1, 3), orange);
    EXPECT_EQ(texel(dirt, 3, 3), black);
    // The image's bottom row comes first.
    ASSERT_EQ(photo->width(), 2);
    ASSERT_EQ(photo->height(), 2);
    EXPECT_EQ(texel(photo, 0, 0), (QVector<float>{0, 0, 1, 1}));
    EXPECT_EQ(texel(photo, 1, 0), (QVector<float>{1, 1, 1, 128 / 255.0f}));
    EXPECT_EQ(texel(photo, 0, 1), (QVector<float>{1, 0, 0, 1}));

    // Nodes in file order, with names and the file's kind.
    QStringList ids;
    for (VrnSnBaseNode* n : net->nodes())
        ids.append(n->id());
    EXPECT_EQ(ids, (QStringList{"Base", "T1", "Blend", "M", "Bake", "Hidden", "Open", "Out"}));
    EXPECT_EQ(net->root(), net->node("Out"));
    VrnSnBaseNode* t1 = net->node("T1");
    EXPECT_EQ(t1->path(), QStringLiteral("/Full/Assombrir · 暗くする")) << "names in any script";
    EXPECT_EQ(net->node("Base")->name(), "Base");
    ASSERT_EQ(loaded.fileKinds.size(), 1);
    EXPECT_EQ(&t1->kind(), loaded.fileKinds.first().data());
    EXPECT_EQ(t1->kind().shaderType, VrnShaderType::Fragment);
    EXPECT_EQ(VrnShaderNetworkManager::instance().pathKeyForVersionUUID(t1->versionUUID()), "tests/Tint");

    // Attributes: declared ones keep their kind's type, undeclared ones are added.
    EXPECT_EQ(typed(t1->userAttribute("Amount").value()), "float(0.5)");
    EXPECT_EQ(typed(t1->userAttribute("Scale").value()), "double(2)");
    EXPECT_EQ(typed(net->node("Base")->userAttribute("Channel").value()), "VrnChannelId(Photo)");
    VrnSnBaseNode* blend = net->node("Blend");
    EXPECT_EQ(blend->userAttributeNames(), (QStringList{"Mode", "Amount", "Note", "Ramp"}));
    EXPECT_EQ(typed(blend->userAttribute("Mode").value()), "VrnUserEnum(2 of Normal|Multiply|Screen blend)");
    EXPECT_EQ(typed(blend->userAttribute("Amount").value()), "float(0.75)");
    EXPECT_EQ(typed(blend->userAttribute("Note").value()), "QString(hand-made)");
    EXPECT_EQ(typed(blend->userAttribute("Ramp").value()), "VrnGradient(size 32 atlas 1)");
    EXPECT_EQ(typed(net->node("Bake")->userAttribute("Channel").value()), "VrnChannelId(Current Channel)");

    // Tags, cache, bake and encryption state.
    EXPECT_EQ(t1->tags(), QStringList{"_notbakeable"});
    EXPECT_TRUE(t1->hasInputTag("Input", "_invertable"));
    EXPECT_FALSE(t1->hasInputTag("Input", "_invert"));
    EXPECT_TRUE(net->node("M")->hasInputTag("Mask", "_invert"));
    EXPECT_TRUE(t1->cacheEnabled());
    EXPECT_TRUE(t1->hasValidCache());
    EXPECT_EQ(t1->cacheActive(), 2);
    EXPECT_FALSE(blend->cacheEnabled());
    const QString cacheName = t1->cacheAttributeName("Output");
    EXPECT_EQ(typed(t1->userAttribute(cacheName).value()), "VrnChannelId(Dirt)");
    EXPECT_EQ(sc->channel(1002, cacheName), dirt);
    auto* bake = qobject_cast<VrnSnBakePointNode*>(net->node("Bake"));
    ASSERT_NE(bake, nullptr);
    EXPECT_TRUE(bake->shouldUseBakedResult());
    EXPECT_TRUE(net->node("Hidden")->isEncrypted());
    EXPECT_FALSE(net->node("Open")->isEncrypted());
    EXPECT_FALSE(blend->isEncrypted());

    // Connections carry the producing output's key.
    const struct { const char* consumer; const char* input; const char* producer; } wires[] = {{"T1", "Input", "Base"}, {"Blend", "A", "T1"},   {"Blend", "B", "Base"},     {"M", "Input", "Blend"},
                 {"Bake", "Input", "M"},  {"Hidden", "A", "Bake"}, {"Open", "Input", "Hidden"}, {"Out", "Input", "Open"}};
    for (const auto& w : wires) {
        const VrnSnBaseNode::ConnectionPoint point = net->node(w.consumer)->inputConnection(w.input);
        EXPECT_EQ(point, net->node(w.producer)->outputPoint("Output")) << w.consumer << "." << w.input;
    }
    EXPECT_EQ(net->node("M")->inputConnection("Mask").node, nullptr);
    EXPECT_EQ(net->node("Hidden")->inputConnection("B").node, nullptr);
}

TEST_F(LoaderTest, ANetworkWithoutCurrentChannelClearsTheProjectsAndTakesItsNameFromTheFile)
{
    QJsonObject root = QJsonDocument::fromJson(VrnTest::readData("networks/full.json")).object();
    root.remove("currentChannel");
    root.remove("name");
    VrnLoadedNetwork loaded;
    QString error;
    ASSERT_TRUE(VrnNetworkLoader::loadData(QJsonDocument(root).toJson(), "somewhere/studio.json", "networks", &parent, loaded, error)) << error;
    EXPECT_EQ(loaded.network->name(), "studio");
    EXPECT_EQ(loaded.currentChannel, QString());
    EXPECT_EQ(VrnProjectManager::instance().currentChannel(), nullptr);
}

// ---------------------------------------------------------------------------
// Malformed files

namespace {
// Each file's message, one line each in malformed/messages.txt.
QStringList malformedMessages()
{
    QStringList messages;
    for (const QString& line : QString::fromUtf8(VrnTest::readData("malformed/messages.txt")).split(QLatin1Char('\n')))
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            messages.append(line);
    return messages;
}
} // namespace

TEST_F(LoaderTest, EveryMalformedFileGivesOneMessageAndNothingElse)
{
    // A channel of a network that outlives the failed loads: they must not change it.
    VrnShaderNetwork keep(QStringLiteral("Keep"), &parent);
    auto* current = VrnChannel::filled("Keep", 1001, 1, 0, 0, 0, 1);
    keep.shadingContext()->addChannel(current);
    VrnProjectManager::instance().setCurrentChannel(current);

    for (const QString& message : malformedMessages()) {
        const QString file = message.section(QStringLiteral(": "), 0, 0);
        VrnLoadedNetwork loaded;
        loaded.currentChannel = "untouched";
        QString error;
        EXPECT_FALSE(VrnNetworkLoader::loadFile(file, &parent, loaded, error)) << file;
        EXPECT_EQ(error, message);
        EXPECT_EQ(loaded.network, nullptr);
        EXPECT_EQ(loaded.currentChannel, "untouched");
        EXPECT_EQ(parent.children().size(), 1) << file;
        EXPECT_EQ(VrnProjectManager::instance().currentChannel(), current) << file;
    }
}

TEST_F(LoaderTest, AContextClassThatMakesNoGlslContextIsRefused)
{
    struct PlainObjectFactory : VrnClassFactory
    {
        QPointer<QObject> create(QObject* parent) override { return new QObject(parent); }
        QString className() const override { return QStringLiteral("VrnTestPlainObject"); }
        QString typeName() const override { return QStringLiteral("VrnTestPlainObject"); }
    };
    static const bool registered = VrnClassFactory::registerMe(new PlainObjectFactory);
    ASSERT_TRUE(registered);
    const QByteArray file = R"({"format": 1, "kinds": [{"name": "Plain", "context": "VrnTestPlainObject", "outputs": ["Output"]}],
                                "nodes": [{"id": "P", "kind": "Plain"}], "root": "P"})";
    VrnLoadedNetwork loaded;
    QString error;
    EXPECT_FALSE(VrnNetworkLoader::loadData(file, "plain.json", ".", &parent, loaded, error));
    EXPECT_EQ(error, "plain.json: nodes[0].kind: context class \"VrnTestPlainObject\" of kind \"Plain\" does not make a GLSL context");
    EXPECT_TRUE(parent.children().isEmpty());
}

TEST_F(LoaderTest, EveryMalformedFileHasARow)
{
    QSet<QString> listed;
    for (const QString& message : malformedMessages())
        listed.insert(message.section(QStringLiteral(": "), 0, 0));
    for (const QString& file : QDir("malformed").entryList({"*.json"}, QDir::Files))
        EXPECT_TRUE(listed.contains("malformed/" + file)) << file;
    EXPECT_GE(listed.size(), 25);
}

// ---------------------------------------------------------------------------
// Built-in kinds in generated code

namespace {
QMap<unsigned, QString> styleOneStages(VrnShaderNetwork* network, QString& error)
{
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    if (!VrnShaderBuild::run(QStringLiteral("VrnSnGlslCodeGenerator_Style1"), network, &surface, result)) {
        error = result.errorText;
        return {};
    }
    return VrnShaderBuild::assembleStages(result, network, &surface, {});
}
} // namespace

TEST_F(LoaderTest, EveryBuiltinKindCompilesBetweenAProducerAndTheOutput)
{
    for (const VrnSnNodeKindPtr& k : VrnBuiltinKinds::all()) {
        if (k->outputs.isEmpty() || k->shaderType != VrnShaderType::AllStages)
            continue;
        // Every input fed, so that both the inputs' and the parameters' tokens are resolved.
        QJsonArray nodes{QJsonObject{{"id", "Src"}, {"kind", "Checker"}}, QJsonObject{{"id", "N"}, {"kind", k->name}},
                         QJsonObject{{"id", "Out"}, {"kind", "Output"}}};
        QJsonArray connections{QJsonObject{{"from", "N." + k->outputs.first()}, {"to", "Out.Input"}}};
        for (const VrnSnNodeInputDefinition& input : k->inputs)
            connections.append(QJsonObject{{"from", "Src.Output"}, {"to", "N." + input.name}});
        const QJsonObject file{{"format", 1},
                               {"channels", QJsonArray{QJsonObject{{"name", "Base"}, {"fill", QJsonArray{1, 0, 0, 1}}}}},
                               {"currentChannel", "Base"},
                               {"nodes", nodes},
                               {"connections", connections},
                               {"root", "Out"}};
        VrnLoadedNetwork loaded;
        QString error;
        ASSERT_TRUE(VrnNetworkLoader::loadData(QJsonDocument(file).toJson(), k->name + ".json", ".", &parent, loaded, error)) << error;
        const QMap<unsigned, QString> sources = styleOneStages(loaded.network, error);
        ASSERT_FALSE(sources.isEmpty()) << k->name << ": " << error;
        EXPECT_TRUE(VrnGlslValidator::validate(sources, error)) << k->name << ": " << error << "\n" << sources.first();
        delete loaded.network;
    }
}

// ---------------------------------------------------------------------------
// The loader's table of GLSL global names: it keeps hashes, and a hash met
// again counts only where its node confirms the text.

TEST(GlobalNameTable, ANameIsFoundWhereItsDeclarerConfirmsIt)
{
    VrnGlobalNameTable table;
    for (int i = 0; i < 100; ++i) // enough to grow the table twice
        table.insert(QStringLiteral("N%1").arg(i), i);
    const auto declares = [](int index, const QString& name) { return name == QStringLiteral("N%1").arg(index); };
    EXPECT_EQ(table.declarerOf(QStringLiteral("N0"), declares), 0);
    EXPECT_EQ(table.declarerOf(QStringLiteral("N99"), declares), 99);
    EXPECT_EQ(table.declarerOf(QStringLiteral("N100"), declares), -1);
    // A second entry of one hash, as for two texts that share it: the probe
    // goes past the entry whose node does not confirm the text.
    table.insert(QStringLiteral("N42"), 100);
    EXPECT_EQ(table.declarerOf(QStringLiteral("N42"), [](int index, const QString&) { return index == 100; }), 100);
    EXPECT_EQ(table.declarerOf(QStringLiteral("N42"), [](int, const QString&) { return false; }), -1);
}

// ---------------------------------------------------------------------------
// The order nodes are made in

TEST(NodeCreationOrder, TheBuildsWalkFirstThenTheRestInFileOrder)
{
    const struct
    {
        const char* nodes;
        const char* connections;
        const char* root;
        QVector<int> order;
    } rows[] = {
        // Listed from the sink: made from the source.
        {R"([{"id": "Out", "kind": "Output"}, {"id": "B", "kind": "Swizzle"}, {"id": "A", "kind": "ConstantColor"}])",
         R"([{"from": "B.Output", "to": "Out.Input"}, {"from": "A.Output", "to": "B.Input"}])", "Out", {2, 1, 0}},
        // Inputs in the kind's order (A before B), whatever order the file connects them in.
        {R"([{"id": "Out", "kind": "Output"}, {"id": "Sum", "kind": "Add"}, {"id": "Q", "kind": "ConstantFloat"},
            {"id": "P", "kind": "ConstantFloat"}])",
         R"([{"from": "Q.Output", "to": "Sum.B"}, {"from": "P.Output", "to": "Sum.A"}, {"from": "Sum.Output", "to": "Out.Input"}])",
         "Out", {3, 2, 1, 0}},
        // A node read twice is made once; one nothing reads comes after the walk.
        {R"([{"id": "Lone", "kind": "ConstantFloat"}, {"id": "P", "kind": "ConstantFloat"}, {"id": "Sum", "kind": "Add"}])",
         R"([{"from": "P.Output", "to": "Sum.A"}, {"from": "P.Output", "to": "Sum.B"}])", "Sum", {1, 2, 0}},
        // Entries the loader will refuse are passed over; a cycle is cut where it closes.
        {R"([{"id": "X", "kind": "Swizzle"}, 7, {"id": "Y", "kind": "Swizzle"}, {"kind": "Swizzle"}])",
         R"([{"from": "X.Output", "to": "Y.Input"}, {"from": "Y.Output", "to": "X.Input"}, {"from": "Nobody.Output", "to": "Y.Input"},
            "text", {"from": 3, "to": "X"}])",
         "Y", {0, 2, 1, 3}},
        {R"([{"id": "A", "kind": "Swizzle"}, {"id": "B", "kind": "Swizzle"}])", R"([{"from": "A.Output", "to": "B.Input"}])", "Missing", {0, 1}},
    };
    for (const auto& row : rows) {
        const QVector<int> order = VrnNodeCreationOrder::of(QJsonDocument::fromJson(row.nodes).array(),
                                                            QJsonDocument::fromJson(row.connections).array(),
                                                            QString::fromLatin1(row.root), VrnBuiltinKinds::all());
        EXPECT_EQ(order, row.order) << row.nodes;
    }
}

TEST_F(LoaderTest, NodesMadeInTheBuildsOrderAreListedInFileOrderAndTheFirstFaultOfTheFileIsReported)
{
    const QByteArray sinksFirst = R"({"format": 1, "root": "Out",
        "nodes": [{"id": "Out", "kind": "Output"}, {"id": "B", "kind": "Swizzle"}, {"id": "A", "kind": "ConstantColor"}],
        "connections": [{"from": "B.Output", "to": "Out.Input"}, {"from": "A.Output", "to": "B.Input"}]})";
    VrnLoadedNetwork loaded;
    QString error;
    ASSERT_TRUE(VrnNetworkLoader::loadData(sinksFirst, "sinks.json", ".", &parent, loaded, error)) << error;
    QStringList listed, made;
    for (VrnSnBaseNode* n : loaded.network->nodes())
        listed.append(n->id());
    for (QObject* child : loaded.network->children())
        if (auto* n = qobject_cast<VrnSnBaseNode*>(child))
            made.append(n->id());
    EXPECT_EQ(listed, QStringList({"Out", "B", "A"}));
    EXPECT_EQ(made, QStringList({"A", "B", "Out"}));
    delete loaded.network;

    // The walk meets the faulty node at the end of the file first; the message names the one before it.
    const QByteArray twoFaults = R"({"format": 1, "root": "Out",
        "nodes": [{"id": "Early", "kind": "NoSuchKind"}, {"id": "Out", "kind": "Output"}, {"id": "Late", "kind": "Swizzle", "tags": 1}],
        "connections": [{"from": "Late.Output", "to": "Out.Input"}]})";
    EXPECT_FALSE(VrnNetworkLoader::loadData(twoFaults, "faults.json", ".", &parent, loaded, error));
    EXPECT_EQ(error, "faults.json: nodes[0].kind: \"NoSuchKind\" is not a kind");
    EXPECT_TRUE(parent.children().isEmpty());
}
