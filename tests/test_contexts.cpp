// The three node contexts of the library, made the way the host makes them:
// through the class factories that the loaded plug-in registered.

#include "VrnTestSupport.h"

#include "VrnSnGlslChannelInputContext.h"
#include "VrnSnGlslIBLContext.h"

#include <QPointer>

#include <cstring>

namespace {
const QString kInputContext = QStringLiteral("VrnSnGlslChannelInputContext");
const QString kBakeContext = QStringLiteral("VrnSnGlslChannelBakeContext");
const QString kIblContext = QStringLiteral("VrnSnGlslIBLContext");
const QString kInputSource = QStringLiteral("VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslChannelInputContext");
const QString kCurrentChannel = QStringLiteral("Current Channel");

QVariant channelRef(const QString& name)
{
    return QVariant::fromValue(VrnChannelId(name));
}

// A node kind that reads a channel through its "Channel" parameter, of the
// node class and context class asked for.
VrnSnNodeKindPtr channelKind(VrnSnNodeKind::NodeClass nodeClass, const QString& contextClass,
                             const QList<VrnCustomAttribute>& extraParameters = {})
{
    QList<VrnCustomAttribute> parameters{VrnCustomAttribute(QStringLiteral("Channel"), channelRef(QStringLiteral("Current Channel")))};
    parameters += extraParameters;
    const bool bakePoint = nodeClass == VrnSnNodeKind::NodeClass::BakePoint;
    auto* k = new VrnSnNodeKind(*VrnTest::kind(bakePoint ? QStringLiteral("BakePoint") : QStringLiteral("ChannelInput"),
                                               bakePoint ? QStringList{QStringLiteral("Input")} : QStringList(),
                                               {QStringLiteral("Output")},
                                               bakePoint ? QString() : QStringLiteral("Output = texture_lookup2($Channel, State, _State);"),
                                               parameters, contextClass));
    k->nodeClass = nodeClass;
    return VrnSnNodeKindPtr(k);
}

struct Uniform { QString name; QVariant value; };

struct ContextTest : VrnTest::NetworkTest
{
    std::unique_ptr<VrnChannel> paint{VrnChannel::filled(QStringLiteral("Paint"), 1001, 2, 1, 0, 0, 1)};

    void SetUp() override
    {
        NetworkTest::SetUp();
        net->shadingContext()->addChannel(VrnChannel::filled(QStringLiteral("Albedo"), 1001, 2, 0.5f, 0.5f, 0.5f, 1));
        net->shadingContext()->addChannel(VrnChannel::filled(QStringLiteral("AlbedoCache"), 1001, 2, 0.2f, 0.2f, 0.2f, 1));
        VrnProjectManager::instance().setCurrentChannel(paint.get());
    }

    void TearDown() override
    {
        // No context is left to hear the current channel go away.
        net.reset();
        VrnProjectManager::instance().setCurrentChannel(nullptr);
    }

    // A channel input node bound to the channel (or to the current channel).
    VrnSnBaseNode* channelInput(const QString& id, const QVariant& binding = channelRef(QStringLiteral("Albedo")),
                                const QList<VrnCustomAttribute>& extraParameters = {})
    {
        VrnSnBaseNode* n = add(channelKind(VrnSnNodeKind::NodeClass::ImageSet, kInputContext, extraParameters), id);
        EXPECT_TRUE(n && n->setUserAttribute(QStringLiteral("Channel"), binding));
        return n;
    }

    static QList<Uniform>* recordUniforms(VrnSnBaseGlslContext* context)
    {
        auto* calls = new QList<Uniform>;
        QObject::connect(context, &VrnSnBaseGlslContext::uniformsSet,
                         [calls](const QString& name, const QVariant& value) { calls->append({name, value}); });
        QObject::connect(context, &QObject::destroyed, [calls]() { delete calls; });
        return calls;
    }

    static int compileRequests() { return VrnSnGlslContextManager::instance().compileRequestCount(); }
};

QString currentString(const QVariant& value)
{
    return value.value<VrnStringList>().currentString();
}
} // namespace

// A context whose class keeps the base's declarations writes just the lines
// of its cube-map samplers when a build wants only those; one of a class that
// declares more, even derived from such a class, gives its whole text.
TEST_F(ContextTest, OnlyAContextDeclaringAsTheBaseDoesWritesItsCubeLinesAlone)
{
    struct MoreThanIbl : VrnSnGlslIBLContext
    {
        using VrnSnGlslIBLContext::VrnSnGlslIBLContext;
        QString shaderDeclarationCode() const override { return QStringLiteral("uniform int Extra;\n") + VrnSnGlslIBLContext::shaderDeclarationCode(); }
    };
    const QList<VrnCustomAttribute> parameters{VrnCustomAttribute(QStringLiteral("Env"), QVariant::fromValue(VrnFileList(1))),
                                               VrnCustomAttribute(QStringLiteral("Rate"), 0.5)};
    const struct { const char* id; VrnSnNodeKind::NodeClass nodeClass; QString contextClass; bool moreThanIbl; bool cubeLinesAlone; } rows[] = {
        {"Bake", VrnSnNodeKind::NodeClass::BakePoint, kBakeContext, false, true},
        {"Ibl", VrnSnNodeKind::NodeClass::Plain, kIblContext, false, true},
        {"Input", VrnSnNodeKind::NodeClass::ImageSet, kInputContext, false, false},
        {"Derived", VrnSnNodeKind::NodeClass::Plain, kIblContext, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        VrnSnBaseNode* n = add(channelKind(row.nodeClass, row.contextClass, parameters), QString::fromLatin1(row.id));
        ASSERT_NE(n, nullptr);
        if (row.moreThanIbl)
            replaceContext<MoreThanIbl>(n);
        const QString whole = n->context()->shaderDeclarationCode();
        QString cubeLines;
        for (const QString& line : whole.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("uniform samplerCube")))
                cubeLines += line + QLatin1Char('\n');
        EXPECT_EQ(cubeLines, QStringLiteral("uniform samplerCube %1_Env;\n").arg(QLatin1String(row.id)));
        EXPECT_NE(whole, cubeLines) << "the rate is declared too";
        EXPECT_EQ(n->context()->samplerCubeDeclarationLines(), row.cubeLinesAlone ? cubeLines : whole);
    }
}

// The channel is declared directly ahead of the base's declarations, and
// named by the channel values of the node asked about.
TEST_F(ContextTest, ChannelInputDeclaresAndNamesItsChannelUniform)
{
    VrnSnBaseNode* node = channelInput(QStringLiteral("Img_7"), channelRef(QStringLiteral("Albedo")),
                                       {VrnCustomAttribute(QStringLiteral("Amount"), 0.5)});
    VrnSnBaseNode* other = channelInput(QStringLiteral("Other"));
    ASSERT_TRUE(node && other);
    VrnSnBaseGlslContext* context = node->context();
    EXPECT_EQ(context->VrnSnBaseGlslContext::shaderDeclarationCode(), QStringLiteral("uniform float Img_7_Amount;\n"));
    EXPECT_EQ(context->shaderDeclarationCode(), QStringLiteral("uniform Channel Channel_Img_7;\nuniform float Img_7_Amount;\n"));

    // expected: null for the base's answer.
    const struct { QString name; VrnSnBaseNode* node; QString expected; } cases[] = {
        {QStringLiteral("Channel"), node, QStringLiteral("Channel_Img_7.ChannelValues")},
        // The node asked about names the uniform, not the context's own node.
        {QStringLiteral("Channel"), other, QStringLiteral("Channel_Other.ChannelValues")},
        {QStringLiteral("channel"), node, QString()},
        {QStringLiteral("CHANNEL"), node, QString()},
        {QStringLiteral("Amount"), node, QString()},
        {QStringLiteral("Amount"), nullptr, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString() + (c.node ? " of " + c.node->id().toStdString() : " without node"));
        VrnLogCapture log;
        const QString name = context->uniformName(c.name, c.node);
        if (c.expected.isNull()) {
            EXPECT_EQ(name, context->VrnSnBaseGlslContext::uniformName(c.name, c.node));
            EXPECT_NE(name, QStringLiteral("Channel_Img_7.ChannelValues"));
        } else {
            EXPECT_EQ(name, c.expected);
        }
        EXPECT_TRUE(log.lines().isEmpty());
    }
    EXPECT_EQ(context->uniformName(QStringLiteral("Amount"), node), QStringLiteral("Img_7_Amount"));

    VrnLogCapture log;
    EXPECT_TRUE(context->uniformName(QStringLiteral("Channel"), nullptr).isNull());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().message, QStringLiteral("ParentNode is NULL"));
    EXPECT_EQ(log.lines().first().file, kInputSource);
}

TEST_F(ContextTest, ChannelUniformValueIsAStringListWhoseCurrentEntryIsTheChannel)
{
    // attribute: invalid: the node's own "Channel"; expectedChannel: null: the base's answer.
    const struct { const char* what; QVariant binding; VrnCustomAttribute attribute; QString expectedChannel; } cases[] = {
        {"named channel", channelRef(QStringLiteral("Albedo")), {}, QStringLiteral("Albedo")},
        {"current channel", channelRef(kCurrentChannel), {}, QStringLiteral("Paint")},
        {"channel missing from the tile", channelRef(QStringLiteral("Missing")), {}, QString()},
        {"lower-case attribute", channelRef(QStringLiteral("Albedo")),
         VrnCustomAttribute(QStringLiteral("channel"), channelRef(QStringLiteral("Albedo"))), QString()},
        {"other attribute", channelRef(QStringLiteral("Albedo")), VrnCustomAttribute(QStringLiteral("Amount"), 0.25), QString()},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VrnSnBaseNode* node = channelInput(QStringLiteral("N%1").arg(index++), c.binding);
        ASSERT_NE(node, nullptr);
        VrnSnBaseGlslContext* context = node->context();
        const VrnCustomAttribute attribute = c.attribute.isValid() ? c.attribute : node->userAttribute(QStringLiteral("Channel"));

        VrnLogCapture log;
        const QVariant value = context->uniformValue(attribute, node);
        EXPECT_TRUE(log.lines().isEmpty());
        if (c.expectedChannel.isNull()) {
            EXPECT_EQ(value, context->VrnSnBaseGlslContext::uniformValue(attribute, node));
            EXPECT_NE(value.userType(), vrnAttributeMetaTypes().stringList);
            continue;
        }
        EXPECT_EQ(value.userType(), vrnAttributeMetaTypes().stringList);
        const VrnStringList list = value.value<VrnStringList>();
        EXPECT_EQ(list.strings(), QStringList{c.expectedChannel});
        EXPECT_EQ(list.currentString(), c.expectedChannel);
    }
}

TEST_F(ContextTest, ResidentChannelIsTheImageSetUnlessTheCacheIsActive)
{
    const QSet<QString> none;
    const struct { const char* what; QString binding; int cacheActive; bool cacheAttribute; QSet<QString> expected; } cases[] = {
        {"named channel", QStringLiteral("Albedo"), 0, false, {QStringLiteral("Albedo")}},
        {"named channel, cache channel ignored", QStringLiteral("Albedo"), 0, true, {QStringLiteral("Albedo")}},
        {"cache in another state", QStringLiteral("Albedo"), 1, true, {QStringLiteral("Albedo")}},
        {"current channel", kCurrentChannel, 0, false, {QStringLiteral("Paint")}},
        {"channel missing from the tile", QStringLiteral("Missing"), 0, false, none},
        // With the cache active the node reads its cache channels, as every node does.
        {"cache active", QStringLiteral("Albedo"), 2, true, {QStringLiteral("AlbedoCache")}},
        {"cache active without a cache channel", QStringLiteral("Albedo"), 2, false, none},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VrnSnBaseNode* node = channelInput(QStringLiteral("N%1").arg(index++), channelRef(c.binding));
        ASSERT_NE(node, nullptr);
        node->setCacheActive(c.cacheActive);
        if (c.cacheAttribute) {
            ASSERT_TRUE(node->createUserAttribute(
                VrnCustomAttribute(node->cacheAttributeName(QStringLiteral("Output")), channelRef(QStringLiteral("AlbedoCache")))));
        }
        VrnSnBaseGlslContext* context = node->context();
        VrnLogCapture log;
        EXPECT_EQ(context->residentChannelSet(), c.expected);
        if (c.cacheActive == 2) {
            EXPECT_EQ(context->residentChannelSet(), context->VrnSnBaseGlslContext::residentChannelSet());
        }
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

TEST_F(ContextTest, OnlyANodeThatFollowsTheCurrentChannelReactsToItsChange)
{
    const struct { const char* what; QVariant binding; bool reacts; } cases[] = {
        {"current channel", channelRef(kCurrentChannel), true},
        {"current channel chosen from a list", QVariant::fromValue(VrnStringList({QStringLiteral("Albedo"), kCurrentChannel}, 1)), true},
        {"named channel", channelRef(QStringLiteral("Albedo")), false},
        {"case differs", channelRef(QStringLiteral("current channel")), false},
        {"no channel", channelRef(QString()), false},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString id = QStringLiteral("N%1").arg(index++);
        VrnSnBaseNode* node = channelInput(id, c.binding);
        ASSERT_NE(node, nullptr);
        VrnSnBaseGlslContext* context = node->context();
        const QList<Uniform>* calls = recordUniforms(context);
        const int requestsBefore = compileRequests();

        VrnChannel* next = VrnChannel::filled(QStringLiteral("Next%1").arg(index), 1001, 2, 0, 1, 0, 1, node);
        VrnProjectManager::instance().setCurrentChannel(next);

        if (c.reacts) {
            ASSERT_EQ(calls->size(), 1);
            EXPECT_EQ(calls->first().name, QStringLiteral("Channel_%1.ChannelValues").arg(id));
            EXPECT_EQ(currentString(calls->first().value), next->name()) << "the value names the new current channel";
            EXPECT_EQ(currentString(context->uniformValues().value(calls->first().name)), next->name());
            EXPECT_EQ(compileRequests(), requestsBefore + 1);
        } else {
            EXPECT_TRUE(calls->isEmpty());
            EXPECT_TRUE(context->uniformValues().isEmpty());
            EXPECT_EQ(compileRequests(), requestsBefore);
        }
        // Gone before the next case, so that only one node listens at a time.
        VrnProjectManager::instance().setCurrentChannel(paint.get());
        delete node;
    }
}

TEST_F(ContextTest, BakePointParentAsksForARebuildWhenItsBakedResultIsToggled)
{
    const struct { const char* what; QString contextClass; int requestsPerToggle; } cases[] = {
        {"channel input context", kInputContext, 1}, {"the bake point's own context", kBakeContext, 0},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* bake = qobject_cast<VrnSnBakePointNode*>(
            add(channelKind(VrnSnNodeKind::NodeClass::BakePoint, c.contextClass), QStringLiteral("B%1").arg(index++)));
        ASSERT_NE(bake, nullptr);
        ASSERT_STREQ(bake->context()->metaObject()->className(), qPrintable(c.contextClass));

        int requests = compileRequests();
        bake->setUseBakedResult(true);
        EXPECT_EQ(compileRequests(), requests + c.requestsPerToggle);
        requests = compileRequests();
        bake->setUseBakedResult(true); // no change, no signal
        EXPECT_EQ(compileRequests(), requests);
        bake->setUseBakedResult(false);
        EXPECT_EQ(compileRequests(), requests + c.requestsPerToggle);
    }
}

// The table slot of a virtual operation; -1 for a non-virtual one. A
// member-function pointer to a virtual holds 1 + the slot's byte offset.
template <typename Member>
std::ptrdiff_t slotOf(Member member)
{
    static_assert(sizeof(Member) == 2 * sizeof(std::ptrdiff_t), "a pointer and an adjustment");
    std::ptrdiff_t words[2];
    std::memcpy(words, &member, sizeof(member));
    return (words[0] & 1) ? (words[0] - 1) / std::ptrdiff_t(sizeof(void*)) : -1;
}

struct SerializableProbe : VrnSerializableObject
{
    static auto lastVirtual() { return &SerializableProbe::userAttributeEvent; }
};

TEST(ContextSlots, ContextVirtualsFollowTheSerializableObjectsInTheHostsOrder)
{
    using C = VrnSnBaseGlslContext;
    using Input = VrnSnGlslChannelInputContext;
    const std::vector<std::ptrdiff_t> order{
        slotOf(&C::saveObjects), slotOf(&C::onLoadCollection), slotOf(&C::setUserAttribute), slotOf(&C::resolveParsedValue),
        slotOf(&C::init), slotOf(&C::clone), slotOf(&C::id), slotOf(&C::inputs), slotOf(&C::inputsUsed), slotOf(&C::inputsConnected),
        slotOf(&C::outputPointNames), slotOf(&C::renameInput), slotOf(&C::residentChannelSet), slotOf(&C::createPropertyWidget),
        slotOf(&C::supportsAttributesFunction), slotOf(&C::attributeIsStub), slotOf(&C::inputIsStub), slotOf(&C::versionHashSource),
        slotOf(&C::isVersionable), slotOf(&C::versionMatch), slotOf(&C::upgrade), slotOf(&C::replace), slotOf(&C::onIdChanged),
        slotOf(&C::onUserAttributeCreated), slotOf(&C::onUserAttributeChanged), slotOf(&C::onUserAttributeRemoved),
        slotOf(&C::shaderDeclarationCode), slotOf(&C::shaderBodyCode), slotOf(&C::shaderBodyCodeWithShaderUniformBlock),
        slotOf(&C::shaderBodyCodeUsesOutputs), slotOf(&C::inputsRevaled), slotOf(&C::revalInfo), slotOf(&C::defaultInput),
        slotOf(&C::uniformName), slotOf(&C::uniformValue), slotOf(&C::getOpenGLType), slotOf(&C::setExpression),
        slotOf(&Input::applyExpression), slotOf(&Input::onCurrentChannelChanged)};
    EXPECT_EQ(slotOf(&VrnSerializableObject::setUserAttribute), -1) << "not a virtual of the serialisable object";
    EXPECT_EQ(order.front(), slotOf(SerializableProbe::lastVirtual()) + 1);
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_EQ(order[i], order.front() + std::ptrdiff_t(i)) << "operation " << i;
}

TEST_F(ContextTest, ApplyExpressionSetsTheCodeAndClearsOnlyThePendingFlag)
{
    VrnSnBaseNode* node = channelInput(QStringLiteral("Img"));
    ASSERT_NE(node, nullptr);
    VrnSnBaseGlslContext* context = node->context();
    ASSERT_TRUE(context->setUserAttributeFlags(QStringLiteral("Expression"), VrnCustomAttribute::Visible | VrnCustomAttribute::Tweakable));

    static_cast<VrnSnGlslChannelInputContext*>(context)->applyExpression(QStringLiteral("Output = vec4(1.0);"));
    EXPECT_EQ(context->expression(), QStringLiteral("Output = vec4(1.0);"));
    EXPECT_EQ(context->userAttribute(QStringLiteral("Expression")).flags(), VrnCustomAttribute::Visible | VrnCustomAttribute::Tweakable);
}

TEST(LibraryContexts, EachContextCarriesItsOwnExpression)
{
    ASSERT_NE(VrnTest::plugin().plugin, nullptr);
    // The bake point passes its input on; the lighting context computes the
    // irradiance from nine spherical-harmonic coefficients, scaled by the amount.

    const struct { QString className; bool expression; } cases[] = {{kInputContext, false}, {kBakeContext, true}, {kIblContext, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.className.toStdString());
        QObject owner;
        const QPointer<QObject> made = VrnClassFactory::createObject(c.className, &owner);
        auto* context = qobject_cast<VrnSnBaseGlslContext*>(made.data());
        ASSERT_NE(context, nullptr);

        if (!c.expression) {
            EXPECT_TRUE(context->userAttributeNames().isEmpty()) << "no expression and no attributes of its own";
            continue;
        }
        VrnTest::expectText(context->expression());
        EXPECT_EQ(context->userAttributeNames(), QStringList{QStringLiteral("Expression")});
        EXPECT_TRUE(context->userAttribute(QStringLiteral("Expression")).flags() & VrnCustomAttribute::Pending)
            << "set by the application, not yet by the user";
    }
}

// An input reads its default when nothing supplies it: left unconnected,
// through pass-through nodes whose chain ends unconnected, or through an
// alias of the build that names no producer.
struct DefaultInputs : VrnTest::NetworkTest
{
};

TEST_F(DefaultInputs, AnInputReadsItsDefaultWhenNothingSuppliesIt)
{
    const VrnSnNodeKindPtr source = VrnTest::kind(QStringLiteral("Source"), {}, {QStringLiteral("Output")}, QStringLiteral("Output = vec4(1.0);"));
    const VrnSnNodeKindPtr use = VrnTest::kind(QStringLiteral("Use"), {QStringLiteral("In")}, {QStringLiteral("Output")}, QStringLiteral("Output = #In;"));
    auto passKind = QSharedPointer<VrnSnNodeKind>::create(
        *VrnTest::kind(QStringLiteral("Pass"), {QStringLiteral("Input")}, {QStringLiteral("Output")}, QStringLiteral("Output = #Input;")));
    passKind->alias = true;
    const VrnSnNodeKindPtr pass = passKind;

    VrnSnBaseNode* s = add(source, QStringLiteral("S"));
    VrnSnBaseNode* loose = add(use, QStringLiteral("Loose"));
    VrnSnBaseNode* direct = add(use, QStringLiteral("Direct"));
    connect(direct, QStringLiteral("In"), s);
    VrnSnBaseNode* openPass = add(pass, QStringLiteral("OpenPass"));
    VrnSnBaseNode* throughOpen = add(use, QStringLiteral("ThroughOpen"));
    connect(throughOpen, QStringLiteral("In"), openPass);
    VrnSnBaseNode* fedPass = add(pass, QStringLiteral("FedPass"));
    connect(fedPass, QStringLiteral("Input"), s);
    VrnSnBaseNode* throughFed = add(use, QStringLiteral("ThroughFed"));
    connect(throughFed, QStringLiteral("In"), fedPass);

    VrnSnGlslNodeAliases cutOff; // the build's aliases: Direct's producer runs in another stage
    cutOff.addAlias(direct->inputConnection(QStringLiteral("In")), VrnSnBaseNode::ConnectionPoint());
    VrnSnGlslNodeAliases redirected; // ThroughOpen reads S through an alias of the build
    redirected.addAlias(throughOpen->inputConnection(QStringLiteral("In")), s->outputPoint(QStringLiteral("Output")));

    const struct
    {
        VrnSnBaseNode* node;
        const char* input;
        const VrnSnGlslNodeAliases* aliases;
        bool readsDefault;
    } rows[] = {
        {loose, "In", nullptr, true},           {direct, "In", nullptr, false},       {direct, "In", &cutOff, true},
        {throughOpen, "In", nullptr, true},     {throughOpen, "In", &redirected, false}, {throughFed, "In", nullptr, false},
        {throughFed, "In", &cutOff, false},     {direct, "NoSuchInput", nullptr, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.node->id().toStdString() + "." + row.input);
        EXPECT_EQ(row.node->context()->useDefaultInput(QString::fromLatin1(row.input), row.aliases), row.readsDefault);
    }
}
