// Style 5's uniform data: the wiring list with its reusable storage slots,
// and the instructions and parameters of nodes that read their cache.
//
// Networks are loaded from text and built by a generator made here (from the
// plug-in's library that the test links), so that its records can be read
// after the build. Node function numbers follow the kinds' version
// hashes and are tested with the node functions; here they are looked up.

#include "VrnSnGlslStyle5Steps.h"
#include "VrnTestSupport.h"

namespace {
using Info = VrnSnGlslStyle5ShaderTypeInfo;
using Style5 = VrnSnGlslCodeGenerator_Style5;
using Location = QPair<int, int>;

const QString kSource = QStringLiteral("VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslCodeGenerator_Style5");
const int U = -9999; // an int the packer leaves to the uniform block, or that nothing writes

std::string text(const QVector<int>& list)
{
    QStringList parts;
    for (int v : list)
        parts.append(QString::number(v));
    return parts.join(QLatin1Char(',')).toStdString();
}

// A network file around the given parts; "Pass" and "Split" are kinds of the file.
QByteArray network(const QString& nodes, const QString& connections, const QString& root, const QString& channels = QString())
{
    return QString::fromLatin1(R"json({"format": 1, "currentChannel": "Base",
      "channels": [{"name": "Base", "fill": [0.5, 0.5, 0.5, 1]}, {"name": "Store", "fill": [0.2, 0.4, 0.6, 1]} %4],
      "kinds": [
        {"name": "Pass", "inputs": [{"name": "Input", "default": "vec4(0.0)"}], "outputs": ["Output"], "glsl": "Output = #Input;"},
        {"name": "Split", "outputs": ["Lo", "Hi"], "glsl": "Lo = vec4(0.25);\nHi = vec4(0.75);"}
      ],
      "nodes": [%1], "connections": [%2], "root": "%3"})json")
        .arg(nodes, connections, root, channels)
        .toUtf8();
}

struct Built
{
    std::unique_ptr<QObject> owner{new QObject};
    VrnLoadedNetwork loaded;
    std::unique_ptr<Style5> generator{new Style5};
    VrnSurfaceShader surface;
    VrnShaderBuildResult result;
    bool ok = false;

    VrnShaderNetwork* net() const { return loaded.network; }
    Info fragment() const
    {
        for (const Info& r : generator->shaderTypeInfos())
            if (r.ShaderType == VrnShaderType::Fragment)
                return r;
        return Info();
    }
    VrnSnBaseGlslContext* context(const char* id) const { return net()->node(QString::fromLatin1(id))->context(); }
    // The node function that the build gave the node's kind and variant.
    int function(const Info& r, const char* id) const
    {
        VrnSnBaseGlslContext* c = context(id);
        return r.NodeFuncIndexByKey.value(VrnSnGlslStyle5Steps::versionHashOf(r, c) + VrnSnGlslStyle5Steps::variantKeyOf(r, c), -1);
    }
};

std::unique_ptr<Built> build(const QByteArray& json)
{
    auto b = std::make_unique<Built>();
    QString error;
    if (!VrnNetworkLoader::loadData(json, QStringLiteral("test.json"), QString(), b->owner.get(), b->loaded, error)) {
        ADD_FAILURE() << error.toStdString();
        return b;
    }
    b->loaded.applyDefines();
    b->ok = b->generator->buildShaderCode(&VrnSnGlslContextManager::instance(),
                                          qobject_cast<VrnSvtShadingContext*>(b->net()->shadingContext()), b->result.declarationCodes,
                                          b->result.bodyCodes, b->net()->root(), &b->surface, b->result.errorText);
    EXPECT_TRUE(b->ok) << b->result.errorText.toStdString();
    return b;
}

struct Style5Packing : ::testing::Test
{
    void SetUp() override { ASSERT_NE(VrnTest::plugin().plugin, nullptr); }
};
} // namespace

TEST_F(Style5Packing, WiringReusesEachSlotOnceItsLastReaderIsWired)
{
    const struct { const char* name; QByteArray json; QVector<int> wiring; int slotCount; } rows[] = {
        // Each output is read once: the next node's input frees the slot its output takes.
        {"a chain of three one-output nodes shares slot 0",
         network(R"({"id": "A", "kind": "Pass"}, {"id": "B", "kind": "Pass"}, {"id": "C", "kind": "Pass"})",
                 R"({"from": "A.Output", "to": "B.Input"}, {"from": "B.Output", "to": "C.Input"})", "C"),
         {-1, 0, 0, 0, 0, 0}, 1},
        // P is read by X and by Y: X cannot take its slot, Y frees both.
        {"an output read twice keeps its slot until its second reader",
         network(R"({"id": "P", "kind": "ConstantColor"}, {"id": "X", "kind": "Pass"}, {"id": "Y", "kind": "Add"})",
                 R"({"from": "P.Output", "to": "X.Input"}, {"from": "P.Output", "to": "Y.A"}, {"from": "X.Output", "to": "Y.B"})", "Y"),
         {0, 0, 1, 0, 1, 0}, 2},
        // Nobody reads Hi: slot 1 stays taken, so the others keep using slot 0.
        {"an unread output keeps its slot",
         network(R"({"id": "S", "kind": "Split"}, {"id": "Q", "kind": "Pass"}, {"id": "R", "kind": "Pass"})",
                 R"({"from": "S.Lo", "to": "Q.Input"}, {"from": "Q.Output", "to": "R.Input"})", "R"),
         {0, 1, 0, 0, 0, 0}, 2},
        // Mask's Mask input is invertible: a flag follows its slot, 1 only with "_invert".
        {"invertible inputs carry their flag",
         network(R"({"id": "K", "kind": "ConstantColor"},
                                  {"id": "M1", "kind": "Mask", "inputTags": {"Mask": ["_invertable"]}},
                                  {"id": "M2", "kind": "Mask", "inputTags": {"Mask": ["_invertable", "_invert"]}})",
                 R"({"from": "K.Output", "to": "M1.Input"}, {"from": "K.Output", "to": "M1.Mask"},
                                  {"from": "M1.Output", "to": "M2.Input"}, {"from": "K.Output", "to": "M2.Mask"})",
                 "M2"),
         {0, 0, 0, 0, 1, 1, 0, 1, 1}, 2},
        // The host tags every input its kind declares invertible "_invertable":
        // the flag slot the node function reads is there without a tag in the file, and holds 0.
        {"an invertible input without tags in the file still has its flag slot",
         network(R"({"id": "K", "kind": "ConstantColor"}, {"id": "M", "kind": "Mask"})", R"({"from": "K.Output", "to": "M.Input"})", "M"),
         {0, 0, -1, 0, 0}, 1},
        // Main list: C in 0, M reads it (C stays: the sub-list reads it too),
        // M's output in 1, freed by O. The sub-list takes 1 for its C and 2
        // for its M, whose slot O reads back; O's own output needs slot 3.
        {"a re-evaluated input's sub-list is wired inside its owner",
         network(R"({"id": "C", "kind": "Checker"}, {"id": "M", "kind": "Multiply"}, {"id": "O", "kind": "Offset"})",
                 R"({"from": "C.Output", "to": "M.A"}, {"from": "M.Output", "to": "O.Input"})", "O"),
         {0, 0, -1, 1, 1, 12, 2, 3, 1, 1, -1, 2}, 4},
        {"an unconnected re-evaluated input reads -6000 twice",
         network(R"({"id": "O", "kind": "Offset"})", "", "O"), {-1, -6000, -6000, 0}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto b = build(row.json);
        ASSERT_TRUE(b->ok);
        const Info r = b->fragment();
        EXPECT_EQ(text(r.WiringList), text(row.wiring));
        EXPECT_EQ(r.StorageSlotCount, row.slotCount);
        EXPECT_TRUE(b->result.declarationCodes.value(VrnShaderType::Fragment).startsWith(QStringLiteral("#define VRN_OUTPUT_INPUT_STORAGE_SIZE 10\n")));
    }
}

TEST_F(Style5Packing, UnreadOutputStillHoldsItsSlotAtTheEnd)
{
    const auto b = build(network(R"({"id": "S", "kind": "Split"}, {"id": "Q", "kind": "Pass"})", R"({"from": "S.Lo", "to": "Q.Input"})", "Q"));
    ASSERT_TRUE(b->ok);
    const Info r = b->fragment();
    VrnSnBaseNode* split = b->net()->node(QStringLiteral("S"));
    Info::StorageKey hi;
    hi.connectionKey = VrnSnBaseNode::connectionKey(split, QStringLiteral("Hi"));
    Info::StorageIdentity hiInMainList; // no owner, no re-evaluation entry
    hiInMainList.connectionKey = hi.connectionKey;
    EXPECT_EQ(r.StorageSlotByOutput.value(hiInMainList, -1), 1);
    EXPECT_EQ(r.RemainingConsumers.value(hiInMainList, -1), 0);
    EXPECT_EQ(r.FreeStorageSlots, QList<int>()) << "Q's output took the slot Lo left";
    ASSERT_EQ(r.OutputBySlot.size(), 2);
    EXPECT_EQ(r.OutputBySlot.at(0).connectionKey, VrnSnBaseNode::connectionKey(b->net()->node(QStringLiteral("Q")), QStringLiteral("Output")));
    EXPECT_EQ(r.OutputBySlot.at(1), hi);
}

TEST_F(Style5Packing, ConnectionKeyIsTheHostsOwn)
{
    const auto b = build(network(R"({"id": "S", "kind": "Split"})", "", "S"));
    ASSERT_TRUE(b->ok);
    VrnSnBaseNode* split = b->net()->node(QStringLiteral("S"));
    for (const QString& output : {QStringLiteral("Lo"), QStringLiteral("Hi")}) {
        EXPECT_EQ(Style5::connectionKey(split, output), split->outputPoint(output).connectionKey) << output;
        const QString text = QStringLiteral("%1.%2").arg(quintptr(split), 16, 16, QLatin1Char('0')).arg(output);
        EXPECT_EQ(Style5::connectionKey(split, output), int(qHash(text, 0)));
    }
    EXPECT_NE(Style5::connectionKey(split, QStringLiteral("Lo")), Style5::connectionKey(split, QStringLiteral("Hi")));
}

TEST_F(Style5Packing, AnEntryIsWiredOnce)
{
    const auto b = build(network(R"({"id": "C", "kind": "Checker"}, {"id": "O", "kind": "Offset"})",
                                 R"({"from": "C.Output", "to": "O.Input"})", "O"));
    ASSERT_TRUE(b->ok);
    Info r = b->fragment();
    // Main list C, O; separator; C again in O's sub-list.
    ASSERT_EQ(r.ContextEntries.size(), 4);
    EXPECT_EQ(r.WiredEntries.count(true), 3);
    const QVector<int> before = r.WiringList;
    for (const Info::ContextEntry& e : QList<Info::ContextEntry>{r.ContextEntries.at(0), r.ContextEntries.at(3), r.ContextEntries.at(2)}) {
        int cursor = 1;
        Style5::wireEntry(r, e, cursor);
        EXPECT_EQ(cursor, 1);
    }
    EXPECT_EQ(r.WiringList, before);
}

// The sub-list holds everything the re-evaluated node depends on: it does
// not stop at a producer that reads its cache.
TEST_F(Style5Packing, ReEvaluatedInputsSubListReachesPastACachedNode)
{
    const auto b = build(network(R"({"id": "C", "kind": "Checker"},
                                    {"id": "K", "kind": "Multiply", "cache": {"enabled": true, "valid": true, "active": 2, "channels": {"Output": "Store"}}},
                                    {"id": "O", "kind": "Offset"})",
                                 R"({"from": "C.Output", "to": "K.A"}, {"from": "K.Output", "to": "O.Input"})", "O"));
    ASSERT_TRUE(b->ok);
    QList<VrnSnBaseGlslContext*> subList;
    for (const Info::ContextEntry& e : b->fragment().ContextEntries)
        if (e.owner == b->context("O"))
            subList.append(e.context);
    EXPECT_EQ(subList, (QList<VrnSnBaseGlslContext*>{b->context("C"), b->context("K")}));
}

TEST_F(Style5Packing, CachedNodesReadTheirCacheThroughNodeFunctionZero)
{
    const QString cache = QStringLiteral(R"("cache": {"enabled": true, "valid": true, "active": 2, "channels": {"Output": "Store"}})");
    const auto b = build(network(QString(R"({"id": "K", "kind": "Multiply", %1},
                                                   {"id": "I", "kind": "ChannelInput", "attributes": {"Channel": "Base"}, %1},
                                                   {"id": "A", "kind": "Add"})")
                                     .arg(cache),
                                 R"({"from": "K.Output", "to": "A.A"}, {"from": "I.Output", "to": "A.B"})", "A"));
    ASSERT_TRUE(b->ok);
    const Info r = b->fragment();
    VrnSnBaseNode* k = b->net()->node(QStringLiteral("K"));
    VrnSnBaseNode* i = b->net()->node(QStringLiteral("I"));
    // K: its cache. I: the host lists its cache first, then its own live channel: the lookup reads the first.
    EXPECT_EQ(Style5::cachedChannelAttributes(i), (QStringList{i->cacheAttributeName(QStringLiteral("Output")), QStringLiteral("Channel")}));
    EXPECT_EQ(text(r.InstructionList), text({0, 0, 0, 0, 4, 1, b->function(r, "A"), 12, 3, -8888, -8888, -8888}));
    EXPECT_EQ(text(r.ParameterList), text({U, U, U, 0, U, U, U, 1, U, U, U, 2}));
    EXPECT_EQ(r.Vec4Count, 3);
    // I's block is two ints wide (two channels) though it writes one output slot.
    EXPECT_EQ(text(r.WiringList), text({0, 1, U, 0, 1, 0}));

    const QString kCache = k->cacheAttributeName(QStringLiteral("Output"));
    const Info::UniformKey kKey(k->uuidString(), kCache);
    const Info::UniformKey background(k->uuidString(), kCache + QStringLiteral("_cachedBackground"));
    EXPECT_EQ(r.UniformLocationMap.value(kKey), Location(2, 0));
    EXPECT_EQ(r.UniformLocationMap.value(background), Location(2, 0));
    EXPECT_EQ(r.UniformLocationMap.value(Info::UniformKey(i->uuidString(), QStringLiteral("Channel"))), Location(2, 8));
    EXPECT_EQ(r.UniformsToUpdateEveryFrame.value(k->context()->uniformName(kCache, k)), kKey);
    EXPECT_EQ(r.BlockUniforms.value(background), QVariant::fromValue(VrnColor()));
    EXPECT_EQ(r.BlockUniforms.value(kKey).value<VrnChannelId>().channelName(), QStringLiteral("Store"));
}

TEST_F(Style5Packing, CachedNodeWithoutLiveChannelsGetsNoParameterBlock)
{
    // The cache comes to name a channel the tile lacks; the record is told
    // it reads its cache all the same.
    const auto b = build(network(R"({"id": "K", "kind": "Multiply",
                                                   "cache": {"enabled": true, "valid": true, "active": 2, "channels": {"Output": "Store"}}},
                                                   {"id": "A", "kind": "Add"})",
                                 R"({"from": "K.Output", "to": "A.A"})", "A"));
    ASSERT_TRUE(b->ok);
    VrnSnBaseNode* k = b->net()->node(QStringLiteral("K"));
    k->setUserAttribute(k->cacheAttributeName(QStringLiteral("Output")), QVariant::fromValue(VrnChannelId(QStringLiteral("Nowhere"))));
    Info r;
    r.Ok = true;
    r.ShaderType = VrnShaderType::Fragment;
    r.Contexts = {b->context("K"), b->context("A")};
    Style5::gatherNodeInfo(r);
    Style5::gatherRevalEntries(r);
    r.ContextInfoMap[b->context("K")].readsCache = true;
    for (VrnSnBaseGlslContext* c : qAsConst(r.Contexts))
        r.ContextEntries.append(Info::ContextEntry{c, nullptr, Info::RevalEntry()});
    Style5::buildNodeFunctions(r);
    Style5::countOutputConsumers(r);
    Style5::packUniformData(r);
    EXPECT_TRUE(Style5::cachedChannelAttributes(k).isEmpty());
    EXPECT_EQ(VrnSnGlslStyle5Steps::parameterIndexOf(r, b->context("K")), -1);
    EXPECT_EQ(text(r.InstructionList), text({0, 0, 0, b->function(r, "A"), 0, 1, -8888, -8888, -8888}));
    EXPECT_TRUE(r.ParameterList.isEmpty());
    // Its output slot still has a place of its own, ahead of A's block.
    EXPECT_EQ(text(r.WiringList), text({0, 0, -1, 0}));
}

TEST_F(Style5Packing, EachParameterTypeHasItsIntsLocationAndRefresh)
{
    const auto b = build(VrnTest::readData(QStringLiteral("networks/every-parameter-type.json")));
    ASSERT_TRUE(b->ok);
    const Info r = b->fragment();
    // Floats and vectors hold their index; the text and the enum that is no
    // blend mode, and the gradient without atlas, take nothing; the matrix
    // takes one int and eight vec4s.
    EXPECT_EQ(text(r.ParameterList), text({U, U, 0, 1, 0, 1, U, U, U, U, U, U, U, U, U, U, U, U, 2, 10}));
    EXPECT_EQ(r.FloatCount, 2);
    EXPECT_EQ(r.Vec4Count, 11);
    EXPECT_EQ(r.FloatUniforms.size(), 2);
    EXPECT_EQ(r.Vec4Uniforms.size(), 11);

    VrnSnBaseNode* e = b->net()->node(QStringLiteral("E"));
    // index: -1: no location.
    const struct { const char* attribute; int index; bool everyFrame; } rows[] = {
        {"Flag", 0, false},    {"Count", 1, false},    {"Rate", 0, false},    {"Weight", 1, false}, {"Label", -1, false},
        {"Shift", 0, false},   {"Tint", 1, false},     {"Pick", -1, false},   {"Mode", 6, true},    {"Entries", 7, false},
        {"Paint", 8, false},   {"Files", 11, true},    {"Layers", 13, true},  {"Flat", -1, false},  {"Ramp", 17, false},
        {"Frame", 2, true},    {"Anchor", 10, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.attribute);
        const Info::UniformKey key(e->uuidString(), QString::fromLatin1(row.attribute));
        if (row.index < 0) {
            EXPECT_FALSE(r.UniformLocationMap.contains(key));
        } else {
            EXPECT_EQ(r.UniformLocationMap.value(key), Location(2, row.index));
        }
        EXPECT_EQ(r.UniformsToUpdateEveryFrame.value(e->context()->uniformName(key.second, e)) == key, row.everyFrame);
        EXPECT_TRUE(r.BlockUniforms.contains(key)) << "every parameter's value goes to the block";
    }

    // The block writes what the packer left to it.
    const QSharedPointer<VrnShaderUniformBlock> block = b->surface.shaderUniformBlock(QStringLiteral("FragmentShaderUniformBlock"));
    ASSERT_FALSE(block.isNull());
    // Flag, Count, the indices, Mode 2 (Screen), Entries 1, Paint for the
    // renderer, the cube-map token of Files, Layers for the renderer, Ramp row 0.
    EXPECT_EQ(text(block->intArray(2)), text({1, 3, 0, 1, 0, 1, 2, 1, U, U, U, 0, 0, U, U, U, U, 0, 2, 10}));
    EXPECT_EQ(block->floatArray(), (QVector<float>{0.25f, 0.125f}));
    EXPECT_EQ(block->vec4Array().at(0), Wm3::Vector4<float>(0.1f, 0.3f, 0, 0));
    EXPECT_EQ(block->vec4Array().at(1), Wm3::Vector4<float>(0.3f, 0.6f, 0.9f, 1));
    EXPECT_EQ(block->channelReferences().value(Location(2, 8)), QStringLiteral("Dirt"));
    EXPECT_EQ(block->imageListReferences().value(Location(2, 13)), (QStringList{QStringLiteral("Dirt"), QStringLiteral("Base")}));
    EXPECT_EQ(block->locatorLists().value(2).glslType(), QStringLiteral("mat4x4"));
    EXPECT_EQ(block->locatorLists().value(10).glslType(), QStringLiteral("vec3"));
}

TEST_F(Style5Packing, MissingAnalysisIsLoggedWithoutTheEncryptedSource)
{
    const auto b = build(network(R"({"id": "K", "kind": "ConstantColor"})", "", "K"));
    ASSERT_TRUE(b->ok);
    const QString prefix = QStringLiteral("[ !! ] Assertion 'VersionHashGlslInfoMap.contains(VersionHash)' failed: ");
    const QString typePrefix = QStringLiteral("[ !! ] Assertion 'VersionHashGlslInfoMap[VersionHash].contains(ShaderType)' failed: ");
    for (const bool encrypted : {true, false}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "open");
        Info r = b->fragment();
        const QString K = VrnSnGlslStyle5Steps::versionHashOf(r, b->context("K"));
        r.VersionHashGlslInfoMap.remove(K);
        for (Info::ContextFacts& facts : r.ContextFactsByNumber)
            facts.stageInfoKept = false; // as when the analysis was never gathered
        r.VersionHashEncrypted[K] = encrypted;
        r.VersionHashSources[K] = QStringLiteral("the kind's source");
        r.InstructionListStarts.clear();
        r.EntriesByList.clear();
        r.WiredEntries.clear();
        VrnLogCapture log;
        Style5::packUniformData(r);
        QList<QPair<int, QString>> wanted{
            {encrypted ? 1563 : 1567, encrypted ? prefix + QStringLiteral("VersionHashGlslInfoMap does not contain encrypted VersionHash : ") + K
                                                : prefix + QStringLiteral("VersionHashGlslInfoMap does not contain VersionHash : versionHashSource the kind's source")},
            {1570, typePrefix + QStringLiteral("VersionHashGlslInfoMap[VersionHash] does not contain ShaderType")}};
        for (const auto& w : wanted) {
            bool found = false;
            for (const VrnDebugLine& line : log.lines())
                found = found || (line.line == w.first && line.message == w.second && line.file == kSource);
            EXPECT_TRUE(found) << w.first << " " << w.second.toStdString();
        }
    }
}

// Contexts are mostly asked for in the list's order; a context listed twice
// keeps its first place however it is asked for.
TEST(Style5Places, AContextKeepsItsFirstPlace)
{
    auto* a = reinterpret_cast<VrnSnBaseGlslContext*>(quintptr(0x1000));
    auto* k = reinterpret_cast<VrnSnBaseGlslContext*>(quintptr(0x2000));
    const struct { QList<VrnSnBaseGlslContext*> list; QList<int> places; } rows[] = {
        {{a, k}, {0, 1, 0, 1}}, // in order, then asked again out of turn
        {{a, k, a}, {0, 1, 0, 1}},
    };
    for (const auto& row : rows) {
        Info r;
        r.Contexts = row.list;
        VrnSnGlslStyle5Steps::numberContexts(r);
        QList<int> places;
        for (VrnSnBaseGlslContext* c : {a, k, a, k})
            places.append(VrnSnGlslStyle5Steps::placeOf(r, c));
        EXPECT_EQ(places, row.places) << row.list.size() << " contexts";
    }
}
