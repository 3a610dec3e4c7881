// The plug-in library as the host meets it: the file, its metadata record, its
// two entry points, the plug-in object and what initialize() hands to the host.
//
// The first test must see the library before anything has initialised the
// plug-in object, and the last one deletes that object; gtest runs the tests
// of a file in the order written, and CTest runs each in its own process.

#include "VrnTestSupport.h"

#include "TextureToken.h"
#include "VrnClassFactory.h"
#include "VrnSnGlslCodeGeneratorManager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>
#include <QPointer>
#include <QTranslator>

#include <cstring>
#include <memory>
#include <ostream>

namespace {
const char* const kPluginClass = "VrnShaderNetworkGlslContextPlugin";
const QString kPluginSource = QStringLiteral("VrnPlugins/VrnShaderNetworkGlslContext/VrnShaderNetworkGlslContextPlugin");

using MetadataFunction = const char* (*)();
using InstanceFunction = QObject* (*)();

// The library opened directly, without the plug-in loader and without
// initialising anything. Kept loaded for the process.
QLibrary& pluginLibrary()
{
    static QLibrary* library = [] {
        auto* l = new QLibrary(VrnTest::pluginPath());
        EXPECT_TRUE(l->load()) << l->errorString().toStdString();
        return l;
    }();
    return *library;
}

template <class Function> Function entryPoint(const char* name)
{
    return reinterpret_cast<Function>(pluginLibrary().resolve(name));
}

QStringList allStyleNames()
{
    QStringList names;
    for (int style = 1; style <= 6; ++style)
        names.append(QStringLiteral("VrnSnGlslCodeGenerator_Style%1").arg(style));
    return names;
}

// Answers for the plug-in class only, so that a string that goes through
// tr() of another class, or through no translation at all, stays as it is.
class PluginTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, kPluginClass) != 0)
            return QString();
        return QStringLiteral("<%1>").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};
} // namespace

TEST(PluginLoading, GeneratorsAreRegisteredWhenTheLibraryLoadsInStyleOrder)
{
    ASSERT_TRUE(pluginLibrary().isLoaded());
    const QStringList names = VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), QStringLiteral("VrnSnGlslCodeGenerator_Style1"));
    // Styles join the library one by one, each at its own place in style
    // order, so one still missing leaves a gap but never changes the order.
    ASSERT_LE(names.size(), 6);
    int previous = -1;
    for (const QString& name : names) {
        const int place = allStyleNames().indexOf(name);
        EXPECT_GT(place, previous) << name.toStdString();
        previous = place;
    }
    for (const QString& name : names)
        EXPECT_NE(VrnSnGlslCodeGeneratorManager::instance().codeGenerator(name), nullptr) << name.toStdString();
    // Loading also made the library's four texture tokens, and nothing else made any.
    EXPECT_EQ(Quorvex::Hdq::TextureToken::constructedCount(), 4);

    // Nothing has initialised the plug-in object yet when this test runs first
    // in its process, so the registrations above came from loading alone.
    if (VrnClassFactory::factory(QStringLiteral("VrnSnGlslChannelInputContext")))
        GTEST_SKIP() << "the plug-in was initialised by an earlier test in this process";
    EXPECT_EQ(VrnClassFactory::factory(QStringLiteral("VrnSnGlslIBLContext")), nullptr);
}

TEST(PluginLoading, MetadataRecordIsTheCompactFormWithInterfaceAndClassName)
{
    const auto metadata = entryPoint<MetadataFunction>("qt_plugin_query_metadata");
    ASSERT_NE(metadata, nullptr);
    const char* record = metadata();
    ASSERT_NE(record, nullptr);

    const QByteArray iid(VrnPluginInterface_iid);
    ASSERT_GE(iid.size(), 24);
    ASSERT_LE(iid.size(), 255);
    QByteArray expected("QTMETADATA !");
    expected.append(char(0));  // format version
    expected.append(char(5));  // Qt major
    expected.append(char(15)); // Qt minor
    expected.append(char(0));  // no build requirements
    expected.append(char(0xBF));
    expected.append(char(0x02)).append(char(0x78)).append(char(iid.size())).append(iid);
    expected.append(char(0x03)).append(char(0x78)).append(char(0x21)).append(kPluginClass);
    expected.append(char(0xFF)); // end of the map: no key 4, no JSON object
    ASSERT_EQ(expected.size(), 57 + iid.size());

    const QByteArray actual(record, expected.size());
    for (int i = 0; i < expected.size(); ++i)
        ASSERT_EQ(quint8(actual.at(i)), quint8(expected.at(i))) << "first difference at byte " << i;

    // Qt's own reader agrees.
    QPluginLoader loader(VrnTest::pluginPath());
    const QJsonObject json = loader.metaData();
    EXPECT_EQ(json.value(QStringLiteral("IID")).toString(), QString::fromLatin1(iid));
    EXPECT_EQ(json.value(QStringLiteral("className")).toString(), QString::fromLatin1(kPluginClass));
    EXPECT_TRUE(json.value(QStringLiteral("MetaData")).toObject().isEmpty());
}

TEST(PluginLoading, LoaderGivesThePluginObjectBehindTheHostInterface)
{
    const VrnLoadedPlugin loaded = VrnTest::plugin();
    ASSERT_NE(loaded.instance, nullptr);
    ASSERT_NE(loaded.plugin, nullptr);

    QPluginLoader loader(VrnTest::pluginPath());
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    EXPECT_EQ(loader.instance(), loaded.instance);

    const QMetaObject* meta = loaded.instance->metaObject();
    EXPECT_STREQ(meta->className(), kPluginClass);
    EXPECT_EQ(meta->superClass(), &QObject::staticMetaObject);
    EXPECT_EQ(meta->methodCount(), meta->methodOffset()) << "no signals or slots of its own";
    EXPECT_EQ(meta->propertyCount(), meta->propertyOffset());
    EXPECT_EQ(loaded.instance->parent(), nullptr);
}

TEST(PluginLoading, MetacastAnswersForTheClassAndTheInterfaceByNameAndIdentifier)
{
    QObject* object = VrnTest::plugin().instance;
    ASSERT_NE(object, nullptr);
    auto* interface = dynamic_cast<VrnPluginInterface*>(object);
    ASSERT_NE(interface, nullptr);
    // The interface is the second base: a cast that forgets the adjustment is caught.
    ASSERT_NE(static_cast<void*>(interface), static_cast<void*>(object));

    const struct
    {
        const char* name;
        void* expected;
    } cases[] = {
        {kPluginClass, object},
        {"VrnPluginInterface", interface},
        {VrnPluginInterface_iid, interface},
        {"QObject", object},
        {"VrnShaderNetworkGlslContext", nullptr},
        {"vrnplugininterface", nullptr},
        {"com.verna.vrncore.pluginterface/2.0", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(object->qt_metacast(c.name), c.expected) << c.name;
    EXPECT_EQ(qobject_cast<VrnPluginInterface*>(object), interface);
}

TEST(PluginLoading, InterfaceAnswersNameDescriptionVendorAndVersion)
{
    VrnPluginInterface* plugin = VrnTest::plugin().plugin;
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->pluginName(), QStringLiteral("GLSL Context"));
    EXPECT_EQ(plugin->pluginDescription(), QStringLiteral("GLSL Processing Engine of the Shader Network"));
    EXPECT_FALSE(plugin->pluginAuthor().isEmpty());
    const QString vendor = plugin->pluginVendor();
    EXPECT_TRUE(vendor.endsWith(QStringLiteral(", 2012"))) << vendor.toStdString();
    EXPECT_GT(vendor.size(), 6) << "a vendor name precedes the year";
    EXPECT_EQ(plugin->pluginVersion(), 1);
    EXPECT_EQ(plugin->initializePriority(), VrnPluginInterface::NormalPriority);
    EXPECT_TRUE(plugin->uninitialize());
    EXPECT_TRUE(plugin->uninitialize()) << "uninitialize releases nothing and can be asked again";

    // Name and description are translated in the plug-in class's context; the
    // vendor and author are not translated at all.
    const QString author = plugin->pluginAuthor();
    PluginTranslator translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    EXPECT_EQ(plugin->pluginName(), QStringLiteral("<GLSL Context>"));
    EXPECT_EQ(plugin->pluginDescription(), QStringLiteral("<GLSL Processing Engine of the Shader Network>"));
    EXPECT_EQ(plugin->pluginVendor(), vendor);
    EXPECT_EQ(plugin->pluginAuthor(), author);
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(plugin->pluginName(), QStringLiteral("GLSL Context"));
}

TEST(PluginLoading, EachInitializeLogsOnceAndRegistersTheThreeContextFactories)
{
    VrnPluginInterface* plugin = VrnTest::plugin().plugin;
    ASSERT_NE(plugin, nullptr);

    const QStringList contextClasses{QStringLiteral("VrnSnGlslChannelInputContext"),
                                     QStringLiteral("VrnSnGlslChannelBakeContext"),
                                     QStringLiteral("VrnSnGlslIBLContext")};
    QList<VrnClassFactory*> seen;
    // Nothing records that initialize() ran: every call adds a new set.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const QList<VrnClassFactory*> before = VrnClassFactory::registeredFactories();
        VrnLogCapture log;
        ASSERT_TRUE(plugin->initialize());

        ASSERT_EQ(log.lines().size(), 1) << log.messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(log.lines().first().message, QStringLiteral("[ Plugin ] Shader Network - GLSL Context"));
        EXPECT_EQ(log.lines().first().file, kPluginSource);
        EXPECT_GT(log.lines().first().line, 0);

        const QList<VrnClassFactory*> after = VrnClassFactory::registeredFactories();
        ASSERT_EQ(after.size(), before.size() + 3);
        EXPECT_EQ(after.mid(0, before.size()), before);
        for (int i = 0; i < contextClasses.size(); ++i) {
            const QString& name = contextClasses.at(i);
            SCOPED_TRACE(name.toStdString());
            VrnClassFactory* factory = after.at(before.size() + i);
            EXPECT_FALSE(seen.contains(factory)) << "each round brings new factory objects";
            seen.append(factory);
            EXPECT_EQ(factory->className(), name);
            EXPECT_EQ(factory->typeName(), name);
            EXPECT_EQ(factory->metaObject(), &VrnClassFactory::staticMetaObject);
            EXPECT_EQ(VrnClassFactory::factory(name), factory) << "the latest factory answers for its class";

            QObject owner;
            const QPointer<QObject> made = factory->create(&owner);
            ASSERT_FALSE(made.isNull());
            EXPECT_STREQ(made->metaObject()->className(), qPrintable(name));
            EXPECT_EQ(made->parent(), &owner);
            EXPECT_EQ(owner.children().size(), 1);

            // Each call makes a new object.
            const QPointer<QObject> other = factory->create(nullptr);
            ASSERT_FALSE(other.isNull());
            EXPECT_NE(other.data(), made.data());
            EXPECT_EQ(other->parent(), nullptr);
            delete other.data();
        }
    }
}

// Deletes the plug-in object: keep this test last in the file.
TEST(PluginLoadingLast, InstanceIsOneObjectUntilDeletedThenANewOne)
{
    QObject* loaderInstance = VrnTest::plugin().instance;
    ASSERT_NE(loaderInstance, nullptr);
    const auto instance = entryPoint<InstanceFunction>("qt_plugin_instance");
    ASSERT_NE(instance, nullptr);

    QObject* first = instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(instance(), first);
    EXPECT_EQ(first, loaderInstance) << "the loader hands out the same process-wide object";
    first->setObjectName(QStringLiteral("first"));

    const QPointer<QObject> watch(first);
    delete first;
    ASSERT_TRUE(watch.isNull());

    // The allocator may hand the same address out again, so the new object is
    // told apart by what the deleted one carried.
    QObject* second = instance();
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->metaObject()->className(), kPluginClass);
    EXPECT_TRUE(second->objectName().isEmpty());
    EXPECT_EQ(instance(), second);

    // The loader, whose cached object is gone, comes back to the new one: the
    // process keeps a usable plug-in object after this test.
    QPluginLoader loader(VrnTest::pluginPath());
    EXPECT_EQ(loader.instance(), second);
    const VrnLoadedPlugin reloaded = VrnTest::plugin();
    EXPECT_EQ(reloaded.instance, second);
    ASSERT_NE(reloaded.plugin, nullptr);
    EXPECT_EQ(reloaded.plugin->pluginVersion(), 1);
}
