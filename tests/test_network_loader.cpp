// Network files: the kinds they define, the networks they build, and one clear
// message for every malformed file with nothing left behind.

#include "VrnTestSupport.h"

#include "VrnKindLibrary.h"

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
    } else if (v.userType() == t.stringList) {
        const VrnStringList l = v.value<VrnStringList>();
        text = QStringLiteral("%1 of %2").arg(l.currentIndex()).arg(l.strings().join(QLatin1Char('|')));
    } else if (v.userType() == t.channelId) {
        text = v.value<VrnChannelId>().channelName();
    } else if (v.userType() == t.gradient) {
        const VrnGradient g = v.value<VrnGradient>();
        text = QStringLiteral("size %1 atlas %2").arg(g.size()).arg(g.useAtlas());
    } else if (v.userType() == t.locatorList) {
        const VrnLocatorList l = v.value<VrnLocatorList>();
        text = QStringLiteral("%1 x%2").arg(l.glslType()).arg(l.values().size());
    } else if (v.userType() == t.fileList) {
        text = v.value<VrnFileList>().files().join(QLatin1Char('|'));
    } else if (v.userType() == t.imageList) {
        text = v.value<VrnImageList>().channels().join(QLatin1Char('|'));
    } else if (v.userType() == t.vector2f) {
        const Vector2f x = v.value<Vector2f>();
        text = QStringLiteral("%1 %2").arg(x.x).arg(x.y);
    } else if (v.userType() == t.vector3f) {
        const Vector3f x = v.value<Vector3f>();
        text = QStringLiteral("%1 %2 %3").arg(x.x).arg(x.y).arg(x.z);
    } else if (v.userType() == t.vector4f) {
        const Vector4f x = v.value<Vector4f>();
        text = QStringLiteral("%1 %2 %3 %4").arg(x.x).arg(x.y).arg(x.z).arg(x.w);
    } else if (v.userType() == t.color) {
        const VrnColor x = v.value<VrnColor>();
        text = QStringLiteral("%1 %2 %3 %4").arg(x.r).arg(x.g).arg(x.b).arg(x.a);
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
        {"int", "\"3\"", {}, "p: expected a whole number, got a string"},
        {"float", "1e39", {}, "p: 1e+39 does not fit a float"},
        {"double", "null", {}, "p: expected a number, got null"},
        {"Vector2f", "[1, \"2\"]", {}, "p[1]: expected a number, got a string"},
        {"VrnColor", "[1, 1, 1]", {}, "p: expected 4 numbers, got 3"},
        {"VrnUserEnum", "\"Overlay\"", QVariant::fromValue(modes), "p: \"Overlay\" is not one of the options \"Normal\", \"Screen\""},
        {"VrnChannelId", "\"\"", {}, "p: must not be empty"},
        {"VrnImageList", "[\"Base\", 3]", {}, "p[1]: expected a string, got a number"},
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
    QFile source("networks/full.json");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(source.readAll()).object();
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
// The loader's message is the file's name, ": " and the row's text.
struct Malformed
{
    const char* file;
    const char* message;
};

const Malformed kMalformed[] = {
    {"malformed/not-json.json", "line 6, column 1: not valid JSON (unterminated array)"},
    {"malformed/number-too-large.json", "line 1, column 59: not valid JSON (illegal number)"},
    {"malformed/empty.json", "the file is empty"},
    {"malformed/trailing-comma.json", "line 1, column 41: not valid JSON (object is missing after a comma)"},
    {"malformed/top-level-array.json", "expected a JSON object, got an array"},
    {"malformed/repeated-key.json", "nodes[0].id: the key is given twice in one object"},
    {"malformed/repeated-key-escaped.json", "root: the key is given twice in one object"},
    {"malformed/deep-nesting.json", "line 1, column 1048: not valid JSON (too deeply nested document)"},
    {"malformed/deep-nesting-in-attribute.json", "nodes[0].attributes.X.value[0]: expected a string, got an array"},
    {"malformed/missing-format.json", "format: required key is missing"},
    {"malformed/format-2.json", "format: 2 is not a supported format version (this host reads 1)"},
    {"malformed/format-string.json", "format: expected a whole number, got a string"},
    {"malformed/missing-nodes.json", "nodes: required key is missing"},
    {"malformed/missing-root.json", "root: required key is missing"},
    {"malformed/unknown-top-level-key.json", "colour: unknown key"},
    {"malformed/odd-unknown-key.json", "[\"a\\nb\"]: unknown key"},
    {"malformed/long-unknown-key.json", "[\"Colourssssssssssssssssssssssssssssssssssssssssssssssssssssssssss...\"]: unknown key"},
    {"malformed/bad-define.json", "defines[1]: \"A B\" is not a valid define name"},
    {"malformed/define-main.json", "defines[1]: \"main\" is a name of the host's shader code"},
    {"malformed/define-gl-prefix.json", "defines[0]: \"GL_MINE\" is reserved by GLSL (it starts with \"GL_\")"},
    {"malformed/current-uv-out-of-range.json", "currentUv: 1e+300 is not in the range 1001 to 9999"},
    {"malformed/node-name-empty.json", "nodes[0].name: must not be empty"},
    // Channels
    {"malformed/channel-without-source.json", "channels[0]: a channel needs one of \"fill\", \"checker\" or \"image\""},
    {"malformed/channel-with-two-sources.json", "channels[0].checker: a channel has only one source, and \"fill\" is given too"},
    {"malformed/channel-defined-twice.json", "channels[1].name: channel \"Base\" of UV tile 1001 is defined twice"},
    {"malformed/channel-size-huge.json", "channels[0].size: 1e+12 is not in the range 1 to 2048"},
    {"malformed/checker-one-colour.json", "channels[0].checker.colors: expected 2 colours, got 1"},
    {"malformed/checker-too-many-cells.json", "channels[0].checker.cells: 9 is not in the range 1 to 8"},
    {"malformed/unreadable-image.json", "channels[0].image: cannot read image \"not-a-png.png\": it is not a PNG file"},
    {"malformed/truncated-image.json", "channels[0].image: cannot read image \"truncated.png\": the PNG file is cut off"},
    {"malformed/missing-image.json", "channels[0].image: cannot read image \"nowhere.png\": No such file or directory"},
    {"malformed/unknown-current-channel.json", "currentChannel: \"Dirt\" is not a channel of UV tile 1001"},
    {"malformed/channel-in-other-tile.json", "currentChannel: \"Base\" is not a channel of UV tile 1001"},
    {"malformed/damaged-image.json",
     "channels[0].image: cannot read image \"damaged.png\": Unable to read image data (libpng error: IDAT: invalid code lengths set)"},
    // Limits of one network, checked before anything is made
    {"malformed/channels-over-texel-budget.json",
     "channels[4].size: the channels would hold more than 16777216 texels together, the limit of one network"},
    {"malformed/images-over-budget.json", "channels[256].image: more than 256 image channels in one network"},
    {"malformed/gradients-over-budget.json",
     "nodes[0].attributes.Ramp99: the gradients would hold more than 1048576 samples together, the limit of one network"},
    {"malformed/code-over-budget.json",
     "nodes[16]: the nodes' code, tokens replaced, would come to more than 134217728 characters, the limit of one network"},
    {"malformed/reval-over-budget.json",
     "nodes[177]: re-evaluating input \"Input\" repeats every node upstream of it; with the re-evaluations before it, "
     "more than 250000 node evaluations, the limit of one network"},
    // Free text stays on one line of a comment
    {"malformed/network-name-with-comment-end.json", "name: \"Net */ x\" has \"*/\", which would end a comment"},
    {"malformed/node-name-with-newline.json",
     "nodes[1].name: \"Out\\n#define COutput vec4(1.0, 0.0, 1.0, 1.0)\\n//\" has the control character U+000A, and names are one line of text"},
    {"malformed/node-name-with-nul.json", "nodes[1].name: \"O\\u0000ut\" has the control character U+0000, and names are one line of text"},
    {"malformed/node-name-too-long.json",
     "nodes[1].name: \"NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN...\" is 300 characters long, more than 256"},
    {"malformed/kind-path-key-with-newline.json",
     "kinds[0].pathKey: \"custom/Tint\\nOutput = vec4(0.0);\" has the control character U+000A, and names are one line of text"},
    {"malformed/attribute-name-with-newline.json",
     "nodes[0].attributes[\"Look\\nvec4 x;\"]: \"Look\\nvec4 x;\" has the control character U+000A, and names are one line of text"},
    {"malformed/kind-glsl-with-carriage-return.json", "kinds[0].glsl: the code has the control character U+000D; code may hold line feeds and tabs only"},
    // Names that reach GLSL
    {"malformed/kind-output-gl-position.json", "kinds[0].outputs[0]: \"gl_Position\" is reserved by GLSL (it starts with \"gl_\")"},
    {"malformed/kind-output-reserved-word.json", "kinds[0].outputs[0]: \"float\" is a GLSL reserved word"},
    {"malformed/kind-output-host-name.json", "kinds[0].outputs[0]: \"State\" is a name of the host's shader code"},
    {"malformed/kind-parameter-double-underscore.json",
     "kinds[0].parameters[0].name: \"Gain__2\" is reserved by GLSL (it has two underscores in a row)"},
    {"malformed/node-id-gl.json", "nodes[0].id: node \"gl\" would declare \"gl_Color\", which is reserved by GLSL (it starts with \"gl_\")"},
    {"malformed/node-declares-host-name.json", "nodes[0].id: node \"Vrn\" would declare \"VrnResult\", which is a name of the host's shader code"},
    {"malformed/node-id-too-long.json",
     "nodes[0].id: node \"NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN...\" would declare "
     "\"NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN...\", which is longer than the 1024 characters the compiler reads"},
    {"malformed/generated-globals-collide.json", "nodes[1].id: node \"AB\" would declare \"ABOutput\", which node \"A\" (nodes[0]) declares too"},
    // Kinds
    {"malformed/kind-name-taken.json", "kinds[0].name: the kind name \"Multiply\" is already taken"},
    {"malformed/kind-defined-twice.json", "kinds[1].name: the kind name \"Tint\" is already taken"},
    {"malformed/kind-unknown-key.json", "kinds[0].colour: unknown key"},
    {"malformed/kind-bad-stage.json", "kinds[0].stage: \"vertex\" is not a stage (all, fragment, tess-eval or tess-control)"},
    {"malformed/kind-bad-parameter-type.json", "kinds[1].parameters[0].type: \"vec9\" is not a parameter type"},
    {"malformed/kind-bad-parameter-default.json", "kinds[0].parameters[0].default: expected a number, got an array"},
    {"malformed/kind-enum-without-options.json", "kinds[0].parameters[0]: an enum needs at least one option"},
    {"malformed/kind-options-on-float.json", "kinds[0].parameters[0].options: only an enum or a string list has options"},
    {"malformed/kind-bad-input-name.json", "kinds[0].inputs[0].name: \"In put\" is not a valid name (letters, digits and _, starting with a letter)"},
    {"malformed/kind-output-twice.json", "kinds[0].outputs[1]: output \"Output\" is declared twice"},
    {"malformed/kind-reval-unknown-input.json", "kinds[0].reval[0].input: the kind has no input \"Source\""},
    {"malformed/kind-reval-placeholder-not-in-glsl.json", "kinds[0].reval[0].placeholder: \"REVAL_INPUT\" does not appear in the kind's glsl"},
    {"malformed/kind-unknown-context-class.json", "nodes[0].kind: no class factory for context class \"VrnSnNoSuchContext\" of kind \"Odd\""},
    // Nodes
    {"malformed/nodes-not-array.json", "nodes: expected an array, got an object"},
    {"malformed/node-not-object.json", "nodes[0]: expected an object, got a string"},
    {"malformed/unknown-node-key.json", "nodes[1].colour: unknown key"},
    {"malformed/missing-node-kind.json", "nodes[0].kind: required key is missing"},
    {"malformed/unknown-kind.json", "nodes[0].kind: \"Tint\" is not a kind"},
    {"malformed/bad-node-id.json", "nodes[3].id: \"3a\" is not a valid node id"},
    {"malformed/node-id-with-underscore.json", "nodes[0].id: \"my_node\" is not a valid node id"},
    {"malformed/node-id-with-newline.json", "nodes[0].id: \"Out\\n\" is not a valid node id"},
    {"malformed/duplicate-node-id.json", "nodes[2].id: \"A\" is already the id of nodes[0]"},
    {"malformed/bad-parameter-value.json", "nodes[0].attributes.Amount: expected a number, got a string"},
    {"malformed/int-parameter-not-whole.json", "nodes[0].attributes.Int: 1.5 is not a whole number"},
    {"malformed/vector-wrong-length.json", "nodes[0].attributes.Color: expected 4 numbers, got 3"},
    {"malformed/enum-not-an-option.json", "nodes[0].attributes.Mode: \"Overlay\" is not one of the options \"Normal\", \"Multiply\", \"Screen\""},
    {"malformed/undeclared-attribute-without-type.json",
     "nodes[0].attributes.Amout: kind \"Mix\" has no parameter \"Amout\"; an attribute of its own is given as {\"type\": T, \"value\": V}"},
    {"malformed/undeclared-attribute-bad-type.json", "nodes[0].attributes.Extra.type: \"vec9\" is not a parameter type"},
    {"malformed/locator-bad-glsl-type.json", "nodes[0].attributes.Where.value.glslType: \"mat3\" is not \"vec3\" or \"mat4x4\""},
    {"malformed/unknown-channel-in-attribute.json", "nodes[0].attributes.Channel: \"Dirt\" is not a channel of UV tile 1001"},
    {"malformed/unknown-channel-in-image-list.json", "nodes[0].attributes.Images[1]: \"Dirt\" is not a channel of UV tile 1001"},
    {"malformed/unknown-channel-in-cache.json", "nodes[0].cache.channels.Output: \"Dirt\" is not a channel of UV tile 1001"},
    {"malformed/cache-unknown-output.json", "nodes[0].cache.channels.Out: kind \"ConstantColor\" has no output \"Out\""},
    {"malformed/cache-active-out-of-range.json", "nodes[0].cache.active: 3 is not in the range 0 to 2"},
    {"malformed/unknown-input-tag.json", "nodes[0].inputTags.Maks: kind \"Mask\" has no input \"Maks\""},
    {"malformed/invertable-on-plain-input.json",
     "nodes[0].inputTags.Input: \"_invertable\" on input \"Input\", which kind \"Mask\" does not declare invertible"},
    {"malformed/bake-on-plain-node.json", "nodes[1].bake: kind \"Multiply\" is not a bake point"},
    {"malformed/encrypted-not-bool.json", "nodes[0].encrypted: expected true or false, got a string"},
    // Connections and root
    {"malformed/connection-to-missing-node.json", "connections[0].from: there is no node \"Nope\""},
    {"malformed/connection-to-missing-output.json", "connections[0].from: node \"C\" has no output \"Out\""},
    {"malformed/connection-to-missing-input.json", "connections[0].to: node \"Out\" has no input \"In\""},
    {"malformed/connection-bad-from.json", "connections[0].from: \"COutput\" is not of the form \"node.output\""},
    {"malformed/connection-missing-to.json", "connections[0].to: required key is missing"},
    {"malformed/two-connections-into-one-input.json", "connections[1].to: input \"Out.Input\" is connected already by connections[0]"},
    {"malformed/cycle.json", "connections[2]: the connection closes the cycle A -> B -> A"},
    {"malformed/cycle-listed-sinks-first.json", "connections[3]: the connection closes the cycle D -> B -> A -> D"},
    {"malformed/long-cycle.json",
     "connections[19]: the connection closes the cycle N0 -> N1 -> N2 -> N3 -> ... (13 more) -> N17 -> N18 -> N19 -> N0"},
    {"malformed/cycle-through-self.json", "connections[0]: the connection closes the cycle A -> A"},
    {"malformed/root-not-a-node.json", "root: there is no node \"Output\""},
    // Not a readable file at all
    {"malformed/no-such-file.json", "cannot read the file: No such file or directory"},
    {"malformed", "cannot read the file: it is a directory"},
};
} // namespace

TEST_F(LoaderTest, EveryMalformedFileGivesOneMessageAndNothingElse)
{
    // A channel of a network that outlives the failed loads: they must not change it.
    VrnShaderNetwork keep(QStringLiteral("Keep"), &parent);
    auto* current = VrnChannel::filled("Keep", 1001, 1, 0, 0, 0, 1);
    keep.shadingContext()->addChannel(current);
    VrnProjectManager::instance().setCurrentChannel(current);

    for (const Malformed& row : kMalformed) {
        VrnLoadedNetwork loaded;
        loaded.currentChannel = "untouched";
        QString error;
        EXPECT_FALSE(VrnNetworkLoader::loadFile(row.file, &parent, loaded, error)) << row.file;
        EXPECT_EQ(error, QString::fromUtf8(row.file) + QStringLiteral(": ") + QString::fromUtf8(row.message));
        EXPECT_EQ(loaded.network, nullptr);
        EXPECT_EQ(loaded.currentChannel, "untouched");
        EXPECT_EQ(parent.children().size(), 1) << row.file;
        EXPECT_EQ(VrnProjectManager::instance().currentChannel(), current) << row.file;
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
    for (const Malformed& row : kMalformed)
        listed.insert(QString::fromUtf8(row.file));
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
