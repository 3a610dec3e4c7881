// The host's uniform block: where values land and when the block is too big.

#include "VrnTestSupport.h"

TEST(UniformBlock, ValuesLandWhereTheirLocationSays)
{
    VrnShaderUniformBlock::LocationMap locations;
    locations.insert({QStringLiteral("n"), QStringLiteral("Count")}, {2, 1});
    locations.insert({QStringLiteral("n"), QStringLiteral("Gain")}, {2, 0});
    locations.insert({QStringLiteral("n"), QStringLiteral("Tint")}, {2, 1});
    locations.insert({QStringLiteral("n"), QStringLiteral("Mode")}, {0, 0});
    locations.insert({QStringLiteral("n"), QStringLiteral("Channel")}, {2, 2});
    // Each just past the end of the array its value selects.
    const QVector<QPair<QString, QVariant>> past{{QStringLiteral("PastInts"), 1},
                                                 {QStringLiteral("PastFloats"), 0.5},
                                                 {QStringLiteral("PastVec4s"), QVariant::fromValue(VrnColor())},
                                                 {QStringLiteral("limitBakeBackground"), true}};
    locations.insert({QStringLiteral("n"), QStringLiteral("PastInts")}, {2, 5});
    locations.insert({QStringLiteral("n"), QStringLiteral("PastFloats")}, {2, 1});
    locations.insert({QStringLiteral("n"), QStringLiteral("PastVec4s")}, {2, 2});
    locations.insert({QStringLiteral("n"), QStringLiteral("limitBakeBackground")}, {2, 2});
    const VrnShaderUniformBlock::EveryFrameMap everyFrame{
        {QStringLiteral("n_background"), {QStringLiteral("n"), QStringLiteral("limitBakeBackground")}}};
    VrnShaderUniformBlock block(QStringLiteral("FragmentShaderUniformBlock"), {-9999}, {}, {-9999, -9999, -1, -1, -1}, locations,
                                everyFrame, {0.0f}, {{}, {}});

    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Count"), 7));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Gain"), 0.5));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Tint"), QVariant::fromValue(VrnColor(1, 0.5f, 0.25f, 1))));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Mode"),
                                                   QVariant::fromValue(VrnUserEnum({QStringLiteral("a"), QStringLiteral("b")}, 1, true))));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Channel"),
                                                   QVariant::fromValue(VrnChannelId(QStringLiteral("Base")))));
    for (const auto& value : past)
        EXPECT_FALSE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), value.first, value.second))
            << "outside its array: " << qPrintable(value.first);
    EXPECT_FALSE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("m"), QStringLiteral("Count"), 1)) << "no location";

    EXPECT_EQ(block.intArray(2), (QVector<int>{-9999, 7, -1, -1, -1}));
    EXPECT_EQ(block.intArray(0), QVector<int>{1});
    EXPECT_EQ(block.floatArray(), QVector<float>{0.5f});
    EXPECT_EQ(block.vec4Array().at(1), Wm3::Vector4<float>(1, 0.5f, 0.25f, 1));
    EXPECT_EQ(block.channelReferences().value({2, 2}), QStringLiteral("Base"));
    EXPECT_EQ(block.values().size(), 10);
}

TEST(UniformBlock, ValidUpToTheStd140Limit)
{
    // 16 bytes per element, whichever array holds it.
    const int limit = VrnShaderUniformBlock::kMaximumBytes / VrnShaderUniformBlock::kBytesPerElement;
    VrnShaderUniformBlock block(QStringLiteral("b"));
    block.uniformIntArray0().resize(limit / 2);
    block.uniformVec4Array().resize(limit - limit / 2);
    EXPECT_TRUE(block.isValid());
    block.uniformFloatArray().resize(1);
    EXPECT_FALSE(block.isValid());
}

TEST(UniformBlock, FileListsBecomeCubeMapTokens)
{
    // Every cube sampler of this host shows the same black map: a list with a
    // file names sampler 0, an empty one none.
    VrnShaderUniformBlock::LocationMap locations;
    locations.insert({QStringLiteral("n"), QStringLiteral("Sky")}, {2, 0});
    locations.insert({QStringLiteral("n"), QStringLiteral("None")}, {2, 2});
    locations.insert({QStringLiteral("n"), QStringLiteral("Edge")}, {2, 4});
    VrnShaderUniformBlock block(QStringLiteral("b"), {}, {}, QVector<int>(5, -9999), locations, {}, {}, {});
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Sky"),
                                                   QVariant::fromValue(VrnFileList(1, {QStringLiteral("sky.hdr")}))));
    EXPECT_TRUE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("None"), QVariant::fromValue(VrnFileList(1, {}))));
    EXPECT_FALSE(block.setShaderUniformBlockUniform(nullptr, QStringLiteral("n"), QStringLiteral("Edge"),
                                                    QVariant::fromValue(VrnFileList(1, {QStringLiteral("sky.hdr")}))))
        << "a token needs two ints";
    EXPECT_EQ(block.intArray(2), (QVector<int>{0, 0, -1, -1, -9999}));
}

TEST(UniformBlock, ValuesWrittenTogetherLandAsWrittenOneByOne)
{
    // A bake background refreshed every frame clears its vec4 slot; one that
    // is not refreshed is an ordinary int.
    const VrnShaderUniformBlock::Key refreshed(QStringLiteral("b"), QStringLiteral("limitBakeBackground"));
    const VrnShaderUniformBlock::Key plain(QStringLiteral("c"), QStringLiteral("limitBakeBackground"));
    const VrnShaderUniformBlock::Key gain(QStringLiteral("n"), QStringLiteral("Gain"));
    VrnShaderUniformBlock::LocationMap locations;
    locations.insert(refreshed, {2, 0});
    locations.insert(plain, {2, 1});
    locations.insert(gain, {2, 0});
    const VrnShaderUniformBlock::EveryFrameMap everyFrame{{QStringLiteral("Channel_b_background"), refreshed}};
    const QMap<VrnShaderUniformBlock::Key, QVariant> values{{refreshed, true}, {plain, true}, {gain, 0.25}};
    auto block = [&] {
        return new VrnShaderUniformBlock(QStringLiteral("FragmentShaderUniformBlock"), {}, {}, {5, 5}, locations, everyFrame, {0.0f},
                                         {Wm3::Vector4<float>(1, 1, 1, 1)});
    };
    std::unique_ptr<VrnShaderUniformBlock> one(block());
    std::unique_ptr<VrnShaderUniformBlock> together(block());
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        one->setShaderUniformBlockUniform(nullptr, it.key().first, it.key().second, it.value());
    together->setShaderUniformBlockUniforms(nullptr, values);
    // From a hash the values are written in key order all the same: "Gain" and
    // the refreshed background share a slot, and the later key's value stays.
    std::unique_ptr<VrnShaderUniformBlock> fromHash(block());
    QHash<VrnShaderUniformBlock::Key, QVariant> hashed;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        hashed.insert(it.key(), it.value());
    fromHash->setShaderUniformBlockUniforms(nullptr, hashed);
    EXPECT_EQ(together->vec4Array().at(0), Wm3::Vector4<float>(0, 0, 0, 0));
    EXPECT_EQ(together->intArray(2), (QVector<int>{5, 1}));
    for (const auto* b : {one.get(), together.get(), fromHash.get()}) {
        EXPECT_EQ(b->vec4Array(), together->vec4Array());
        EXPECT_EQ(b->intArray(2), together->intArray(2));
        EXPECT_EQ(b->floatArray(), (QVector<float>{0.25f}));
        EXPECT_EQ(b->values(), together->values());
    }
}

TEST(UniformBlock, KeysSharingASlotAreWrittenInKeyOrderFromAHash)
{
    // Uuids that tie on their first eight units, end inside them, hold a
    // zero unit or units above Latin-1; names decide between equal uuids.
    const QStringList uuids{QStringLiteral("{abcdefg-1}"), QStringLiteral("{abcdefg-0}"), QStringLiteral("{abcdefg"),
                            QStringLiteral("{abc"), QStringLiteral("{abc") + QChar(0), QStringLiteral("{abd"), QString(),
                            QString(QChar(0x4e2d)), QStringLiteral("{ab") + QChar(0xffff), QStringLiteral("{ac")};
    QList<VrnShaderUniformBlock::Key> keys;
    for (const QString& uuid : uuids)
        keys << VrnShaderUniformBlock::Key(uuid, QStringLiteral("Gain")) << VrnShaderUniformBlock::Key(uuid, QStringLiteral("Bias"));
    // Every pair shares one float slot: the greater key's value must stay.
    for (int a = 0; a < keys.size(); ++a)
        for (int b = a + 1; b < keys.size(); ++b) {
            const VrnShaderUniformBlock::LocationMap locations{{keys[a], {2, 0}}, {keys[b], {2, 0}}};
            VrnShaderUniformBlock block(QStringLiteral("FragmentShaderUniformBlock"), {}, {}, {}, locations, {}, {0.0f}, {});
            block.setShaderUniformBlockUniforms(nullptr, QHash<VrnShaderUniformBlock::Key, QVariant>{{keys[a], 1.0}, {keys[b], 2.0}});
            EXPECT_EQ(block.floatArray().at(0), keys[a] < keys[b] ? 2.0f : 1.0f) << a << " " << b;
        }
}

TEST(UniformBlock, OverlappingValuesFromAHashEndAsInKeyOrder)
{
    // Two values whose slots overlap, under keys that the hash gives greater
    // first: the block must end as writing them one by one in key order leaves it.
    using Key = VrnShaderUniformBlock::Key;
    struct Row
    {
        const char* what;
        VrnShaderUniformBlock::Location lesser, greater;
        QVariant a, b;
    };
    const QVector<Row> rows{
        {"an int in a file list's second int", {2, 0}, {2, 1}, QVariant::fromValue(VrnFileList(1, {QStringLiteral("sky.hdr")})), 7},
        {"an int in a file list's first int", {2, 1}, {2, 0}, 7, QVariant::fromValue(VrnFileList(1, {}))},
        {"two channels", {2, 0}, {2, 0}, QStringLiteral("Dirt"), QStringLiteral("Rust")},
        {"two image lists", {2, 0}, {2, 0}, QVariant::fromValue(VrnImageList({QStringLiteral("A")})),
         QVariant::fromValue(VrnImageList({QStringLiteral("B")}))},
        {"two locators", {2, 0}, {2, 0}, QVariant::fromValue(VrnLocatorList(QStringLiteral("vec3"), {1, 2, 3})),
         QVariant::fromValue(VrnLocatorList(QStringLiteral("vec3"), {4, 5, 6}))},
        {"two colours", {2, 0}, {2, 0}, QVariant::fromValue(VrnColor(1, 0, 0)), QVariant::fromValue(VrnColor(0, 1, 0))},
    };
    for (const Row& row : rows) {
        Key lesser, greater;
        QHash<Key, QVariant> values;
        for (int i = 0; values.isEmpty() || values.constBegin().key() != greater; ++i) {
            lesser = Key(QStringLiteral("{%1a}").arg(i), QStringLiteral("A"));
            greater = Key(QStringLiteral("{%1b}").arg(i), QStringLiteral("B"));
            values = {{lesser, row.a}, {greater, row.b}};
        }
        const VrnShaderUniformBlock::LocationMap locations{{lesser, row.lesser}, {greater, row.greater}};
        auto block = [&] {
            return std::make_unique<VrnShaderUniformBlock>(QStringLiteral("FragmentShaderUniformBlock"), QVector<int>{}, QVector<int>{},
                                                           QVector<int>(4, -9999), locations, VrnShaderUniformBlock::EveryFrameMap{},
                                                           QVector<float>{0.0f}, QVector<Wm3::Vector4<float>>(1));
        };
        auto oneByOne = block();
        oneByOne->setShaderUniformBlockUniform(nullptr, lesser.first, lesser.second, row.a);
        oneByOne->setShaderUniformBlockUniform(nullptr, greater.first, greater.second, row.b);
        auto fromHash = block();
        fromHash->setShaderUniformBlockUniforms(nullptr, values);
        EXPECT_EQ(fromHash->intArray(2), oneByOne->intArray(2)) << row.what;
        EXPECT_EQ(fromHash->vec4Array(), oneByOne->vec4Array()) << row.what;
        EXPECT_EQ(fromHash->channelReferences(), oneByOne->channelReferences()) << row.what;
        EXPECT_EQ(fromHash->imageListReferences(), oneByOne->imageListReferences()) << row.what;
        EXPECT_EQ(fromHash->locatorLists(), oneByOne->locatorLists()) << row.what;
    }
}
